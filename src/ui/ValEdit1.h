#pragma once
// TNumberEdit: a line edit for a 32-bit integer in decimal, hexadecimal or
// binary notation, with a key filter, an optional maximum, and its own
// OnChange that runs after its validation for every change of the text.
#include <QClipboard>
#include <QLineEdit>
#include <cstdint>
#include <functional>

enum TNumberEditKind { neDec = 0, neHex = 1, neBin = 2 };

class TNumberEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TNumberEdit(QWidget *parent = nullptr);

    TNumberEditKind Kind() const { return FKind; }
    void SetKind(TNumberEditKind kind);
    int32_t Value() const { return FValue; }
    void SetValue(int32_t value);
    int32_t MaxValue() const { return FMaxValue; }
    void SetMaxValue(int32_t maxValue);

    // Limit on typed or pasted growth; text set from code is never cut.
    // 0 = no limit. (QLineEdit::setMaxLength is never used.)
    int MaxTypedLength() const { return FMaxTypedLength; }
    void SetMaxTypedLength(int length);
    // Hexadecimal fields show typed letters in upper case.
    bool UpperCase() const { return FUpperCase; }
    void SetUpperCase(bool on) { FUpperCase = on; }

    // Runs after validation for every change, accepted, refused or emptied.
    // An exception it throws is reported and the code that set the text goes on.
    std::function<void(TNumberEdit *sender)> OnChange;

    static int32_t TextToValue(TNumberEditKind kind, const QString &text); // throws for neDec
    static QString ValueToText(TNumberEditKind kind, int32_t value);

    // The field's context menu (Undo, Redo, Cut, Copy, Paste, Delete, Select
    // All; actions named "edit-paste" and so on), with Paste going through the
    // field's filter: a paste with other characters than the notation's
    // digits, or one that grows the text past the typed limit, is refused.
    // The menu is a child of the field.
    QMenu *CreateContextMenu();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void ValidateText();
    void Restore();
    QString ValidChars() const;
    void RecordPrevious();
    QString FilterTyped(const QString &typed) const;
    bool FitsTypedLimit(qsizetype inserted, qsizetype removed) const;
    bool WithinMaximum(const QString &text, int32_t value) const;
    void Paste(QClipboard::Mode mode);

    TNumberEditKind FKind = neDec;
    int32_t FValue = 0;
    int32_t FMaxValue = 0;
    int FMaxTypedLength = 0;
    bool FUpperCase = false;
    QString FPrevText = QStringLiteral("0");
    int FPrevSelStart = 0;
};
