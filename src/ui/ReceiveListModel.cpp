#include "ReceiveListModel.h"

#include <iterator>

ReceiveListModel::ReceiveListModel(QObject *parent) : QAbstractListModel(parent) {}

int ReceiveListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(FShown);
}

QVariant ReceiveListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() < 0 || static_cast<size_t>(index.row()) >= FShown)
        return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return DisplayText(Entry(index.row()));
    if (role == Qt::EditRole)
        return Entry(index.row());
    return {};
}

void ReceiveListModel::Add(const QByteArray &entry)
{
    // std::vector grows geometrically: appending stays amortised O(1).
    FEntries.push_back(entry);
}

bool ReceiveListModel::Flush()
{
    if (!HasUnshown())
        return false;
    beginInsertRows(QModelIndex(), static_cast<int>(FShown), Count() - 1);
    FShown = FEntries.size();
    endInsertRows();
    return true;
}

void ReceiveListModel::Append(const QByteArray &entry)
{
    Add(entry);
    Flush();
}

void ReceiveListModel::Append(std::vector<QByteArray> &&entries)
{
    FEntries.insert(FEntries.end(), std::make_move_iterator(entries.begin()),
                    std::make_move_iterator(entries.end()));
    entries.clear();
    Flush();
}

void ReceiveListModel::Clear()
{
    beginResetModel();
    std::vector<QByteArray>().swap(FEntries);
    FShown = 0;
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
    QString text(entry.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (char c : entry) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20)
            *out++ = QChar(char16_t(0x2400 + b)); // NUL..US pictographs, CR shows as U+240D
        else if (b == 0x7F)
            *out++ = QChar(char16_t(0x2421));     // DEL
        else
            *out++ = QChar(char16_t(b));          // Latin-1
    }
    return text;
}
