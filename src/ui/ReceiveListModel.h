#pragma once
// The entries of the Test page's receive list: every piece of text read from
// the module while listing is on, byte for byte. The view shows them as
// Latin-1 with control characters made visible; the entries themselves are
// never altered (Save writes them back unchanged).
#include <QAbstractListModel>
#include <QByteArray>
#include <QString>
#include <vector>

class ReceiveListModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit ReceiveListModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    // Adds one entry at the end.
    void Append(const QByteArray &entry);
    // Adds several entries at the end with one row insertion (the receive
    // loop collects what arrived in one turn and adds it at once).
    void Append(std::vector<QByteArray> &&entries);
    // Removes every entry.
    void Clear();

    int Count() const { return static_cast<int>(FEntries.size()); }
    const QByteArray &Entry(int row) const { return FEntries[static_cast<size_t>(row)]; }
    const std::vector<QByteArray> &Entries() const { return FEntries; }

    // Every entry followed by CR LF: the contents of a saved list.
    QByteArray SaveImage() const;

    // How an entry reads on screen: Latin-1, with each control character
    // (0x00-0x1F, 0x7F) shown as its visible pictograph (U+2400 block).
    static QString DisplayText(const QByteArray &entry);

private:
    std::vector<QByteArray> FEntries;
};
