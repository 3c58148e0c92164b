// Writing the Settings page to the module, and restoring the defaults.
#include "MainUnit.h"

#include "BitRate.h"
#include "ComboIndex.h"
#include "ConversionError.h"
#include "Framing.h"
#include "HexText.h"
#include "Identification.h"
#include "MessageService.h"
#include "Settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLocale>

namespace {

const QString kGx = QStringLiteral("R-2416-GX");
const QString kR2481 = QStringLiteral("R-2481");
constexpr double kGxMaxKbps = 125.0;
constexpr int kBaudIndex115200 = 11;
constexpr int kBaudIndex921600 = 14;

// The "$"+text conversion of an acceptance field. On success the field
// shows the value as eight digits (where its maximum lets it) and that text
// becomes the stored one; on failure the stored text is put back.
bool TakeAcceptanceField(TNumberEdit *field, QString &stored)
{
    int32_t value = 0;
    try {
        value = protocol::HexTextToInt(field->text());
    } catch (const ConversionError &) {
        field->setText(stored);
        return false;
    }
    field->setText(protocol::IntToHex(value, 8));
    stored = field->text();
    return true;
}

bool AllSelected(std::initializer_list<int> indexes)
{
    for (int i : indexes)
        if (i < 0)
            return false;
    return true;
}

} // namespace

bool TMainForm::SendSetting(const QByteArray &command, const QByteArray &ack, bool &acknowledged)
{
    acknowledged = false;
    if (!Exchange(protocol::WithChecksumLine(command), true))
        return false;
    acknowledged = FLastWriteComplete && protocol::IsAcknowledged(LastResponse, ack);
    return true;
}

void TMainForm::SettingButtonClick()
{
    using namespace protocol;
    if (ExchangeBusy() || Closing())
        return;

    const bool timing = FEdition.HasUserDefinedTiming && IsVersion3Firmware(FFirmwareVersion);
    const int canBaud = SelectedIndex(CANBaudrateComboBox);

    if (FEdition.MultiModel) {
        if (timing) {
            if (canBaud == kCanBaudUserDefined) {
                const double rate = ParseBitRate(BREdit1->text(), QLocale()); // throws
                if (rate > kGxMaxKbps && FModuleName == kGx) {
                    ShowError(QStringLiteral("CAN baud rate of R-2416-GX can not over than 125K!!!"));
                    return;
                }
                if (rate == 0) {
                    ShowError(QStringLiteral("Please calculate the CAN baud rate!!!"));
                    return;
                }
            } else if (canBaud >= 5 && canBaud <= 8 && FModuleName == kGx) {
                ShowError(QStringLiteral("CAN baud rate of R-2416-GX can not over than 125K!!!"));
                return;
            }
        }
        if (!IsVersion3Firmware(FFirmwareVersion) && FModuleName == kR2481) {
            SelectIndex(RS232BaudrateComboBox, kBaudIndex921600);
            ShowError(QStringLiteral("The firmware version is less than version 3.00, it just uses "
                                     "one RS-232 baud rate 921600!!!"));
            return;
        }
    }

    // A group whose list shows no selection is not sent: its command would
    // not fit the module's layout. It then counts as not acknowledged.
    bool rs232Acked = false;
    const int baud = SelectedIndex(RS232BaudrateComboBox);
    const int dataBit = SelectedIndex(RS232DataBitComboBox);
    const int stopBit = SelectedIndex(RS232StopBitComboBox);
    const int parity = SelectedIndex(RS232ParityComboBox);
    const int checksum = SelectedIndex(RS232ChecksumComboBox);
    const int respond = SelectedIndex(RS232RespondComboBox);
    if (AllSelected({baud, dataBit, stopBit, parity, checksum, respond})) {
        if (!SendSetting(BuildRs232Command(baud, dataBit, stopBit, parity, checksum, respond),
                         kAckRs232, rs232Acked))
            return;
    }

    bool timingAcked = true;
    if (timing) {
        QByteArray command;
        if (canBaud == kCanBaudUserDefined) {
            // Converted in field order, so a failure names the first bad text.
            const int clockMode = HexTextToInt(ClockModeEdit->text());
            const int bt1 = HexTextToInt(BT1Edit->text());
            const int bt2 = HexTextToInt(BT2Edit->text());
            const int bt3 = HexTextToInt(BT3Edit->text());
            command = BuildTimingCommand(clockMode, bt1, bt2, bt3);
        } else {
            command = PresetTimingCommand();
        }
        if (!SendSetting(command, kAckTiming, timingAcked))
            return;
    }

    // Whether a value converted decides, not its sign: 80000000..FFFFFFFF
    // are valid 32-bit patterns that the module takes.
    TakeAcceptanceField(CanCodeEdit, AcceptanceCodeText);
    const bool maskConverted = TakeAcceptanceField(CanMaskEdit, AcceptanceMaskText);

    char pairText = '0', txText = '0', respText = '0';
    if (ChkBox_Pair->isChecked()) {
        pairText = '1';
        txText = ChkBox_TxCANID->isChecked() ? '1' : '0';
        respText = ChkBox_RespWCANID->isChecked() ? '1' : '0';
    } else {
        CANIDEdit->SetValue(0);
        EndCmdRB1Click();
    }

    const int standard = SelectedIndex(CANSpecificationComboBox);
    const bool spec20A = standard == 0;
    if (CANIDEdit->Value() == 0) {
        CANIDEdit->SetValue(1);
        CANIDEdit->setText(spec20A ? QStringLiteral("001") : QStringLiteral("00000001"));
    }
    bool canAcked = false;
    // The reserved digit is carried back as read; a reply that held no digit
    // there cannot be written back in one character.
    const bool reservedFits = CANReservedCode >= 0 && CANReservedCode <= 15;
    if (standard >= 0 && canBaud >= 0 && reservedFits) {
        CanCommandInput in;
        in.specIndex = standard;
        in.baudIndex = canBaud;
        in.reserved = CANReservedCode;
        in.spec20A = spec20A;
        in.acceptanceCode = CanCodeEdit->Value();
        in.acceptanceMask = CanMaskEdit->Value();
        in.txCanId = CANIDEdit->Value();
        in.pair = pairText;
        in.txFlag = txText;
        in.respFlag = respText;
        in.endOfCommand = EndOfCommandCode;
        if (!SendSetting(BuildCanCommand(in, IsPairCapable(FFirmwareMajor)), kAckCan, canAcked))
            return;
    }

    if (rs232Acked && timingAcked && canAcked && maskConverted) {
        ShowInformation(QStringLiteral("Setting OK!!!"));
        if (baud >= 0)
            FBaudIndex = baud;
    } else {
        ShowError(QStringLiteral("Setting Failed!!!"));
    }
}

void TMainForm::DefaultButtonClick()
{
    if (ExchangeBusy() || Closing())
        return;
    SelectIndex(RS232BaudrateComboBox, FEdition.MultiModel && FModuleName == kR2481
                                           ? kBaudIndex921600
                                           : kBaudIndex115200);
    SelectIndex(RS232DataBitComboBox, 3);
    SelectIndex(RS232StopBitComboBox, 0);
    SelectIndex(RS232ParityComboBox, 0);
    SelectIndex(RS232ChecksumComboBox, 0);
    SelectIndex(RS232RespondComboBox, 0);
    SelectIndex(CANSpecificationComboBox, 0);
    SelectIndex(CANBaudrateComboBox, 4);
    CANReservedCode = 0;
    CanCodeEdit->setText(QStringLiteral("000"));
    CanMaskEdit->setText(QStringLiteral("000"));
    ChkBox_Pair->setChecked(false);
    SetTimingGroupEnabled(false);
    ResetTimingTexts();
    EndCmdRB1Click();
    ChkBox_PairClick();
    SettingButtonClick();
}
