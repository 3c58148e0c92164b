// placeholder until this file is written
#include "MainUnit.h"

void TMainForm::CANSpecificationComboBoxChange() {}
void TMainForm::CANBaudrateComboBoxChange() {}
void TMainForm::CalculateBtnClick() {}
void TMainForm::ChkBox_PairClick() {}
void TMainForm::ChkBox_TxCANIDClick() {}
void TMainForm::EndCmdRB1Click() {}
void TMainForm::EndCmdRB2Click() {}
void TMainForm::EndCmdRB3Click() {}
void TMainForm::EndCmdRB4Click() {}
void TMainForm::EndCmdRB5Click() {}
void TMainForm::Button1Click() {}
void TMainForm::Button2Click() {}
