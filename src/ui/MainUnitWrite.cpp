// placeholder until this file is written
#include "MainUnit.h"

void TMainForm::SettingButtonClick() {}
void TMainForm::DefaultButtonClick() {}
