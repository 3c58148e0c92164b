#include "ReceiveListModel.h"

#include <algorithm>
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
    if (role == Qt::DisplayRole)
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
    static const char *const names[32] = {"NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL",
                                          "BS",  "HT",  "LF",  "VT",  "FF",  "CR",  "SO",  "SI",
                                          "DLE", "DC1", "DC2", "DC3", "DC4", "NAK", "SYN", "ETB",
                                          "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US"};
    QString text;
    text.reserve(std::min<qsizetype>(entry.size(), MaxShownCharacters) + 8);
    for (char c : entry) {
        if (text.size() >= MaxShownCharacters) {
            text.append(QChar(0x2026)); // the rest of a very long entry is not drawn
            break;
        }
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20) {
            text.append(u'<').append(QLatin1String(names[b])).append(u'>');
        } else if (b == 0x7F) {
            text.append(QLatin1String("<DEL>"));
        } else if (b >= 0x80 && b < 0xA0) {
            // C1 control codes: no glyph in Latin-1 either.
            text.append(QStringLiteral("<%1>").arg(int(b), 2, 16, QChar(u'0')).toUpper());
        } else {
            text.append(QChar(char16_t(b))); // Latin-1
        }
    }
    return text;
}
