// placeholder until this file is written
#include "MainUnit.h"

void TMainForm::FormCreate() {}
void TMainForm::QuitToolButtonClick() {}
void TMainForm::AboutToolButtonClick() {}
void TMainForm::SettingToolButtonClick() {}
void TMainForm::AllEditStatus() {}
void TMainForm::closeEvent(QCloseEvent *) {}
void TMainForm::HandleDeviceLost() {}
