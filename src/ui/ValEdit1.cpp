// placeholder until this file is written
#include "ValEdit1.h"
TNumberEdit::TNumberEdit(QWidget *parent) : QLineEdit(parent) {}
void TNumberEdit::SetKind(TNumberEditKind k) { FKind = k; }
void TNumberEdit::SetValue(int32_t v) { FValue = v; }
void TNumberEdit::SetMaxValue(int32_t v) { FMaxValue = v; }
void TNumberEdit::SetMaxTypedLength(int l) { FMaxTypedLength = l; }
int32_t TNumberEdit::TextToValue(TNumberEditKind, const QString &) { return 0; }
QString TNumberEdit::ValueToText(TNumberEditKind, int32_t) { return {}; }
void TNumberEdit::keyPressEvent(QKeyEvent *e) { QLineEdit::keyPressEvent(e); }
void TNumberEdit::inputMethodEvent(QInputMethodEvent *e) { QLineEdit::inputMethodEvent(e); }
void TNumberEdit::dropEvent(QDropEvent *) {}
void TNumberEdit::dragEnterEvent(QDragEnterEvent *) {}
void TNumberEdit::ValidateText() {}
void TNumberEdit::Restore() {}
QString TNumberEdit::ValidChars() const { return {}; }
