// placeholder until this file is written
#include "SettingsDlg.h"
#include "MainUnit.h"
TSettingsForm::TSettingsForm(TMainForm *owner) : QDialog(owner), FOwner(owner) {}
void TSettingsForm::FormCreate() {}
void TSettingsForm::OkButtonClick() {}
void TSettingsForm::CancelButtonClick() {}
void TSettingsForm::reject() { QDialog::reject(); }
void TSettingsForm::closeEvent(QCloseEvent *e) { QDialog::closeEvent(e); }
void TSettingsForm::Build() {}
void TSettingsForm::UpdateDeviceLabel() {}
