#pragma once
// The entries of the Test page's receive list: every piece of text read from
// the module while listing is on, byte for byte. The view shows them as
// Latin-1 with control characters made visible; the entries themselves are
// never altered (Save writes them back unchanged).
//
// Entries can be added without telling the view at once (Add) and shown
// together later (Flush): at thousands of lines a second one row insertion
// per batch keeps the view's layout work small. Count, Entry, Entries and
// SaveImage always include every entry added, shown or not.
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

    // Adds one entry at the end and shows it (with any not yet shown).
    void Append(const QByteArray &entry);
    // Adds several entries at the end and shows them with one row insertion.
    void Append(std::vector<QByteArray> &&entries);
    // Adds one entry at the end; the view learns of it at the next Flush.
    void Add(const QByteArray &entry);
    // Shows every entry added since the last Flush; false when there was none.
    bool Flush();
    bool HasUnshown() const { return FShown < FEntries.size(); }
    // Removes every entry, shown or not.
    void Clear();

    int Count() const { return static_cast<int>(FEntries.size()); }
    const QByteArray &Entry(int row) const { return FEntries[static_cast<size_t>(row)]; }
    const std::vector<QByteArray> &Entries() const { return FEntries; }

    // Every entry followed by CR LF: the contents of a saved list.
    QByteArray SaveImage() const;

    // How an entry reads on screen: Latin-1, with each control character
    // shown by its name in angle brackets ("<CR>", "<NUL>", "<DEL>", C1 codes
    // as "<9B>"), plain ASCII so every font can draw it. Very long entries
    // are cut after MaxShownCharacters with an ellipsis (on screen only).
    static QString DisplayText(const QByteArray &entry);
    static constexpr qsizetype MaxShownCharacters = 300;

private:
    std::vector<QByteArray> FEntries;
    size_t FShown = 0; // rows the view has been told of
};
