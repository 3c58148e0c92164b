// placeholder until this file is written
#include "MainUnit.h"

void TMainForm::ConnectToolButtonClick() {}
void TMainForm::DisconnectToolButtonClick() {}
void TMainForm::GetModuleInformation() {}
void TMainForm::GetModuleSettings() {}
bool TMainForm::Exchange(const QByteArray &, bool) { return false; }
bool TMainForm::ConnectionStillCurrent(uint64_t) const { return false; }
QString TMainForm::MakerNotice() const { return {}; }
void TMainForm::FillRs232BaudList() {}
