// placeholder until this file is written
#include "MainUnit.h"

TMainForm::TMainForm(const Edition &edition, QWidget *parent) : QMainWindow(parent), FEdition(edition) {}
TMainForm::~TMainForm() = default;
void TMainForm::BuildWindow() {}
void TMainForm::BuildToolBarAndMenus() {}
void TMainForm::BuildSettingsPage() {}
void TMainForm::BuildTestPage() {}
void TMainForm::ConnectHandlers() {}
