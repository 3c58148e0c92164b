// placeholder until this file is written
#include "MainUnit.h"

void TMainForm::CANCheckBoxClick() {}
void TMainForm::ModeEditChange() {}
void TMainForm::RTREditChange() {}
void TMainForm::DLCEditChange() {}
void TMainForm::SendBitBtnClick() {}
void TMainForm::AutoBitBtnClick() {}
void TMainForm::StopBitBtnClick() {}
void TMainForm::Timer2Timer() {}
void TMainForm::IntervalEditChange() {}
void TMainForm::SetBitBtnClick() {}
void TMainForm::ReceiveBitBtnClick() {}
void TMainForm::ClearBitBtnClick() {}
void TMainForm::SaveBitBtnClick() {}
void TMainForm::ReceiveLoop() {}
