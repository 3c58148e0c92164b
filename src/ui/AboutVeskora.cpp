// placeholder until this file is written
#include "AboutVeskora.h"
#include "MainUnit.h"
TAboutBoxForm::TAboutBoxForm(TMainForm *owner) : QDialog(owner), FOwner(owner) {}
TAboutBoxForm::TAboutBoxForm(TMainForm *owner, bool modal) : QDialog(owner), FModal(modal), FOwner(owner) {}
void TAboutBoxForm::FormCreate() {}
void TAboutBoxForm::Panel1Click() {}
void TAboutBoxForm::FormKeyDown() {}
bool TAboutBoxForm::eventFilter(QObject *w, QEvent *e) { return QDialog::eventFilter(w, e); }
void TAboutBoxForm::keyPressEvent(QKeyEvent *) {}
void TAboutBoxForm::mousePressEvent(QMouseEvent *) {}
void TAboutBoxForm::Build() {}
