// The Settings page's option rules (identifier widths, pair connection,
// fixed Tx CAN ID, end of command), the user-defined bit timing, and the
// hidden diagnostic buttons.
#include "MainUnit.h"
#include "WidgetState.h"

#include "BitRate.h"
#include "ComboIndex.h"
#include "Framing.h"
#include "HexText.h"
#include "Identification.h"
#include "Settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QTableView>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>

#include <initializer_list>

namespace {

constexpr int32_t kMax11Bit = 0x7FF;
constexpr int32_t kMax29Bit = 0x1FFFFFFF;
constexpr int kDiagnosticReplyShown = 41;

} // namespace

void TMainForm::SetTimingGroupEnabled(bool enabled)
{
    SetEnabled({ClockModeEdit, BT1Edit, BT2Edit, BT3Edit, BREdit1, CalculateBtn}, enabled);
}

void TMainForm::SetEndOfCommandGroupEnabled(bool enabled)
{
    SetEnabled({EndCmdRB1, EndCmdRB2, EndCmdRB3, EndCmdRB4, EndCmdRB5, GroupBox2, Label31, Label33},
               enabled);
}

void TMainForm::SetPairOptionsEnabled(bool enabled)
{
    SetEnabled({ChkBox_TxCANID, ChkBox_RespWCANID}, enabled);
    SetEndOfCommandGroupEnabled(enabled);
}

void TMainForm::ResetTimingTexts()
{
    if (!ClockModeEdit)
        return; // no user-defined timing in this edition
    ClockModeEdit->setText(QStringLiteral("0"));
    BT1Edit->setText(QStringLiteral("00"));
    BT2Edit->setText(QStringLiteral("00"));
    BT3Edit->setText(QStringLiteral("00"));
    BREdit1->setText(QStringLiteral("0"));
}

void TMainForm::CANSpecificationComboBoxChange()
{
    const bool spec20A = SelectedIndex(CANSpecificationComboBox) == 0;
    for (TNumberEdit *field : {CanCodeEdit, CanMaskEdit, CANIDEdit}) {
        field->SetMaxTypedLength(spec20A ? 3 : 8);
        field->SetMaxValue(spec20A ? kMax11Bit : kMax29Bit);
        field->setText(protocol::IntToHex(field->Value(), spec20A ? 3 : 8));
    }
}

void TMainForm::CANBaudrateComboBoxChange()
{
    if (!ClockModeEdit || !protocol::IsVersion3Firmware(FFirmwareVersion))
        return;
    if (SelectedIndex(CANBaudrateComboBox) == protocol::kCanBaudUserDefined) {
        SetTimingGroupEnabled(true);
        return;
    }
    SetTimingGroupEnabled(false);
    ResetTimingTexts();
}

void TMainForm::CalculateBtnClick()
{
    if (!BREdit1)
        return;
    const int clockMode = ClockModeEdit->Value();
    const int bt1 = protocol::HexTextToInt(BT1Edit->text());
    const int bt2 = protocol::HexTextToInt(BT2Edit->text());
    const int bt3 = protocol::HexTextToInt(BT3Edit->text());
    const double rate = protocol::CalculateBitRate(clockMode, bt1, bt2, bt3);
    BREdit1->setText(protocol::FormatBitRate(rate, QLocale()));
}

void TMainForm::ChkBox_PairClick()
{
    if (ChkBox_Pair->isChecked()) {
        SetEnabled({CANIDEdit, ChkBox_TxCANID}, true);
        ChkBox_RespWCANID->setEnabled(EndOfCommandCode != 0);
        SetEndOfCommandGroupEnabled(true);
        // With pair connection the module uses neither line checksums nor
        // error responses.
        SelectIndex(RS232ChecksumComboBox, 0);
        SelectIndex(RS232RespondComboBox, 0);
        SetEnabled({RS232ChecksumComboBox, RS232RespondComboBox}, false);
        return;
    }
    CANIDEdit->setEnabled(false);
    SetPairOptionsEnabled(false);
    if (FConnected)
        SetEnabled({RS232ChecksumComboBox, RS232RespondComboBox}, true);
}

void TMainForm::ChkBox_TxCANIDClick()
{
    if (ChkBox_TxCANID->isChecked()) {
        CANIDEdit->setEnabled(true);
        return;
    }
    const bool spec20A = SelectedIndex(CANSpecificationComboBox) == 0;
    CANIDEdit->setText(protocol::IntToHex(CANIDEdit->Value(), spec20A ? 3 : 8));
    CANIDEdit->setEnabled(false);
}

void TMainForm::EndCmdRB1Click()
{
    // "None": the module needs the fixed Tx CAN ID and cannot answer with it.
    EndOfCommandCode = 0;
    EndCmdRB1->setChecked(true);
    ChkBox_TxCANID->setChecked(true);
    ChkBox_TxCANID->setVisible(false);
    ChkBox_RespWCANID->setChecked(false);
    ChkBox_RespWCANID->setEnabled(false);
    if (!ChkBox_Pair->isChecked())
        CANIDEdit->setEnabled(false);
}

namespace {

void ApplyEndOfCommand(int &code, int value, QRadioButton *own, QCheckBox *txCanId,
                       QCheckBox *respWithCanId)
{
    code = value;
    own->setChecked(true);
    txCanId->setVisible(true);
    respWithCanId->setEnabled(true);
}

} // namespace

void TMainForm::EndCmdRB2Click()
{
    ApplyEndOfCommand(EndOfCommandCode, 1, EndCmdRB2, ChkBox_TxCANID, ChkBox_RespWCANID);
}

void TMainForm::EndCmdRB3Click()
{
    ApplyEndOfCommand(EndOfCommandCode, 2, EndCmdRB3, ChkBox_TxCANID, ChkBox_RespWCANID);
}

void TMainForm::EndCmdRB4Click()
{
    ApplyEndOfCommand(EndOfCommandCode, 3, EndCmdRB4, ChkBox_TxCANID, ChkBox_RespWCANID);
}

void TMainForm::EndCmdRB5Click()
{
    ApplyEndOfCommand(EndOfCommandCode, 4, EndCmdRB5, ChkBox_TxCANID, ChkBox_RespWCANID);
}

void TMainForm::SendDiagnosticLine(const QByteArray &text)
{
    ReceiveListBox->setEnabled(true);
    if (!Exchange(protocol::WithChecksumLine(text), true) || !FLastWriteComplete)
        return;
    QByteArray shown = LastResponse.left(kDiagnosticReplyShown);
    const qsizetype nul = shown.indexOf('\0');
    if (nul >= 0)
        shown.truncate(nul);
    Edit2->setText(QString::fromLatin1(shown));
}

void TMainForm::Button1Click()
{
    if (!Edit2 || ExchangeBusy())
        return;
    SendDiagnosticLine(QByteArrayLiteral("#PM"));
}

void TMainForm::Button2Click()
{
    if (!Edit2 || ExchangeBusy())
        return;
    Edit2->clear();
    SendDiagnosticLine(QByteArrayLiteral("SM1"));
}
