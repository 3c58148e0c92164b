#include "ValEdit1.h"

#include "ConversionError.h"
#include "HexText.h"
#include "MessageService.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>

namespace {

QChar AsciiUpper(QChar c)
{
    return (c >= u'a' && c <= u'z') ? QChar(c.unicode() - (u'a' - u'A')) : c;
}

} // namespace

TNumberEdit::TNumberEdit(QWidget *parent) : QLineEdit(parent)
{
    setText(QStringLiteral("0"));
    setAcceptDrops(false);
    connect(this, &QLineEdit::textChanged, this, &TNumberEdit::ValidateText);
}

void TNumberEdit::SetKind(TNumberEditKind kind)
{
    FKind = kind;
}

void TNumberEdit::SetValue(int32_t value)
{
    if (FMaxValue != 0 && value > FMaxValue)
        value = FMaxValue;
    FValue = value;
    setText(ValueToText(FKind, value));
}

void TNumberEdit::SetMaxValue(int32_t maxValue)
{
    FMaxValue = maxValue;
    if (FMaxValue != 0 && FMaxValue < FValue)
        SetValue(FMaxValue);
}

void TNumberEdit::SetMaxTypedLength(int length)
{
    FMaxTypedLength = length > 0 ? length : 0;
}

int32_t TNumberEdit::TextToValue(TNumberEditKind kind, const QString &text)
{
    // Hex and binary sums are kept as unsigned 32-bit patterns so that long
    // texts wrap instead of overflowing.
    uint32_t sum = 0;
    switch (kind) {
    case neDec:
        return protocol::DecTextToInt(text);
    case neHex:
        for (const QChar c : text) {
            const int digit = protocol::HexDigitValue(c);
            sum = sum * 16u + uint32_t(digit < 0 ? 0 : digit);
        }
        break;
    case neBin:
        for (const QChar c : text)
            sum = sum * 2u + (c == u'1' ? 1u : 0u);
        break;
    }
    return int32_t(sum);
}

QString TNumberEdit::ValueToText(TNumberEditKind kind, int32_t value)
{
    switch (kind) {
    case neHex:
        return QString::number(uint32_t(value), 16).toUpper();
    case neBin:
        return QString::number(uint32_t(value), 2);
    case neDec:
        break;
    }
    return QString::number(value);
}

QString TNumberEdit::ValidChars() const
{
    switch (FKind) {
    case neHex:
        return QStringLiteral("0123456789abcdefABCDEF");
    case neBin:
        return QStringLiteral("01");
    case neDec:
        break;
    }
    return QStringLiteral("0123456789");
}

void TNumberEdit::RecordPrevious()
{
    FPrevText = text();
    FPrevSelStart = hasSelectedText() ? selectionStart() : cursorPosition();
}

QString TNumberEdit::FilterTyped(const QString &typed) const
{
    const QString valid = ValidChars();
    QString accepted;
    for (const QChar c : typed) {
        if (!valid.contains(c))
            continue;
        accepted += (FUpperCase && FKind == neHex) ? AsciiUpper(c) : c;
    }
    return accepted;
}

bool TNumberEdit::FitsTypedLimit(qsizetype inserted, qsizetype removed) const
{
    if (FMaxTypedLength <= 0)
        return true;
    const qsizetype current = text().size();
    const qsizetype after = current - removed + inserted;
    return after <= FMaxTypedLength || after <= current;
}

void TNumberEdit::keyPressEvent(QKeyEvent *event)
{
    // Clipboard and undo shortcuts do nothing in these fields.
    static const QKeySequence::StandardKey blocked[] = {
        QKeySequence::Copy, QKeySequence::Paste, QKeySequence::Cut,
        QKeySequence::Undo, QKeySequence::Redo};
    for (const auto key : blocked) {
        if (event->matches(key)) {
            event->accept();
            return;
        }
    }

    if (event->key() == Qt::Key_Backspace) {
        RecordPrevious();
        QLineEdit::keyPressEvent(event);
        return;
    }

    // Ctrl with a printable key stands for a control character (Ctrl+A is
    // code 1), whatever text the platform attached to the event.
    const Qt::KeyboardModifiers mods = event->modifiers();
    const bool controlChord = (mods & Qt::ControlModifier) && !(mods & Qt::AltModifier);
    const bool printableKey = event->key() >= Qt::Key_Space && event->key() <= Qt::Key_AsciiTilde;
    // Alt or Meta with a key is a menu or system key, not a character.
    if ((mods & (Qt::AltModifier | Qt::MetaModifier)) && !(mods & Qt::ControlModifier)
        && !event->text().isEmpty()) {
        event->ignore();
        return;
    }
    // Delete carries the DEL code on some platforms but types no character.
    const bool character = controlChord ? printableKey
                                        : !event->text().isEmpty() && !event->text().contains(QChar(0x7f));
    if (!character) {
        // Keys that produce no character: arrows, Delete, Home, End. They are
        // handled by their key code; any text they carry is dropped so that
        // nothing unfiltered can be inserted.
        QKeyEvent bare(event->type(), event->key(), mods, QString(), event->isAutoRepeat(),
                       ushort(event->count()));
        QLineEdit::keyPressEvent(&bare);
        event->setAccepted(bare.isAccepted());
        return;
    }

    RecordPrevious();
    event->accept();
    if (controlChord || isReadOnly())
        return;
    const QString accepted = FilterTyped(event->text());
    if (accepted.isEmpty() || !FitsTypedLimit(accepted.size(), selectedText().size()))
        return;
    QKeyEvent filtered(event->type(), event->key(), mods, accepted, event->isAutoRepeat(),
                       ushort(event->count()));
    QLineEdit::keyPressEvent(&filtered);
    event->setAccepted(filtered.isAccepted());
}

void TNumberEdit::inputMethodEvent(QInputMethodEvent *event)
{
    // Composition text is not shown; committed text goes through the same
    // filter as typed characters.
    QString commit;
    if (!event->commitString().isEmpty()) {
        RecordPrevious();
        if (!isReadOnly()) {
            commit = FilterTyped(event->commitString());
            if (!FitsTypedLimit(commit.size(),
                                selectedText().size() + qMax(0, event->replacementLength())))
                commit.clear();
        }
    }
    QInputMethodEvent filtered;
    filtered.setCommitString(commit, event->replacementStart(), event->replacementLength());
    QLineEdit::inputMethodEvent(&filtered);
    event->accept();
}

void TNumberEdit::dragEnterEvent(QDragEnterEvent *event)
{
    event->ignore();
}

void TNumberEdit::dragMoveEvent(QDragMoveEvent *event)
{
    event->ignore();
}

void TNumberEdit::dropEvent(QDropEvent *event)
{
    event->ignore();
}

void TNumberEdit::mouseReleaseEvent(QMouseEvent *event)
{
    // The middle-button paste of the X11 selection goes through the filter.
    if (event->button() == Qt::MiddleButton && QGuiApplication::clipboard()->supportsSelection()) {
        if (!isReadOnly()) {
            deselect();
            Paste(QClipboard::Selection);
        }
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

QMenu *TNumberEdit::CreateContextMenu()
{
    // Our own menu rather than the standard one, so that Paste can be routed
    // through the filter and nothing else can insert text. The shortcuts are
    // not shown: they do nothing in these fields.
    auto *menu = new QMenu(this);
    const bool editable = !isReadOnly();
    const auto add = [this, menu](const QString &text, const char *name, bool enabled, auto slot) {
        QAction *action = menu->addAction(text);
        action->setObjectName(QLatin1String(name));
        action->setEnabled(enabled);
        connect(action, &QAction::triggered, this, slot);
    };
    add(tr("&Undo"), "edit-undo", editable && isUndoAvailable(), [this]() { undo(); });
    add(tr("&Redo"), "edit-redo", editable && isRedoAvailable(), [this]() { redo(); });
    menu->addSeparator();
    add(tr("Cu&t"), "edit-cut", editable && hasSelectedText(), [this]() { cut(); });
    add(tr("&Copy"), "edit-copy", hasSelectedText(), [this]() { copy(); });
    add(tr("&Paste"), "edit-paste",
        editable && !QGuiApplication::clipboard()->text().isEmpty(),
        [this]() { Paste(QClipboard::Clipboard); });
    add(tr("Delete"), "edit-delete", editable && hasSelectedText(), [this]() { del(); });
    menu->addSeparator();
    add(tr("Select All"), "select-all", !text().isEmpty() && selectedText() != text(),
        [this]() { selectAll(); });
    return menu;
}

void TNumberEdit::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu *menu = CreateContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
    event->accept();
}

void TNumberEdit::Paste(QClipboard::Mode mode)
{
    if (isReadOnly())
        return;
    const QString clip = QGuiApplication::clipboard()->text(mode);
    if (clip.isEmpty())
        return;
    // A paste is taken whole or not at all.
    const QString accepted = FilterTyped(clip);
    if (accepted.size() != clip.size() || !FitsTypedLimit(accepted.size(), selectedText().size()))
        return;
    RecordPrevious();
    insert(accepted);
}

bool TNumberEdit::WithinMaximum(const QString &text, int32_t value) const
{
    const QString m = ValueToText(FKind, FMaxValue);
    if (value < 0 || value > FMaxValue || text.size() > m.size())
        return false;
    return text.size() < m.size() || QString::compare(text, m, Qt::CaseSensitive) <= 0;
}

void TNumberEdit::ValidateText()
{
    const QString current = text();
    if (current.isEmpty()) {
        FValue = 0;
    } else {
        bool ok = true;
        int32_t value = 0;
        try {
            value = TextToValue(FKind, current);
        } catch (const ConversionError &) {
            ok = false;
        }
        if (ok && FMaxValue != 0)
            ok = WithinMaximum(current, value);
        if (ok) {
            FValue = value;
            FPrevText = current;
        } else {
            Restore();
        }
    }
    if (OnChange)
        Guarded([this]() { OnChange(this); });
}

void TNumberEdit::Restore()
{
    // Setting the text validates it again and fires OnChange for it.
    setText(FPrevText);
    setCursorPosition(qBound(0, FPrevSelStart, int(text().size())));
}
