#include "ReceiveListModel.h"

ReceiveListModel::ReceiveListModel(QObject *parent) : QAbstractListModel(parent) {}

int ReceiveListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : Count();
}

QVariant ReceiveListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() < 0 || index.row() >= Count())
        return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return DisplayText(Entry(index.row()));
    if (role == Qt::EditRole)
        return Entry(index.row());
    return {};
}

void ReceiveListModel::Append(const QByteArray &entry)
{
    const int row = Count();
    beginInsertRows(QModelIndex(), row, row);
    FEntries.push_back(entry);
    endInsertRows();
}

void ReceiveListModel::Append(std::vector<QByteArray> &&entries)
{
    if (entries.empty())
        return;
    const int first = Count();
    beginInsertRows(QModelIndex(), first, first + static_cast<int>(entries.size()) - 1);
    // std::vector grows geometrically, so appending stays amortised O(1).
    FEntries.insert(FEntries.end(), std::make_move_iterator(entries.begin()),
                    std::make_move_iterator(entries.end()));
    endInsertRows();
    entries.clear();
}

void ReceiveListModel::Clear()
{
    beginResetModel();
    std::vector<QByteArray>().swap(FEntries);
    endResetModel();
}

QByteArray ReceiveListModel::SaveImage() const
{
    qsizetype total = 0;
    for (const QByteArray &e : FEntries)
        total += e.size() + 2;
    QByteArray image;
    image.reserve(total);
    for (const QByteArray &e : FEntries) {
        image.append(e);
        image.append("\r\n", 2);
    }
    return image;
}

QString ReceiveListModel::DisplayText(const QByteArray &entry)
{
    QString text;
    text.reserve(entry.size());
    for (char c : entry) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20)
            text.append(QChar(char16_t(0x2400 + b)));
        else if (b == 0x7F)
            text.append(QChar(char16_t(0x2421)));
        else
            text.append(QChar(char16_t(b)));
    }
    return text;
}
