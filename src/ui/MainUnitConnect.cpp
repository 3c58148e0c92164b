// Connecting to a module, identifying it, reading its settings, and the
// command/reply exchange that every configuration-mode procedure uses.
#include "MainUnit.h"

#include "ComboIndex.h"
#include "Framing.h"
#include "HexText.h"
#include "Identification.h"
#include "MessageService.h"
#include "Settings.h"
#include "SettingsDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>

namespace {

constexpr int kSettingsPage = 0;
constexpr int kTestPage = 1;
constexpr int32_t kConfigurationBaud = 115200;

// Counts a waiting exchange for as long as it is in scope.
class DepthGuard {
public:
    explicit DepthGuard(int &depth) : FDepth(depth) { ++FDepth; }
    ~DepthGuard() { --FDepth; }
    DepthGuard(const DepthGuard &) = delete;
    DepthGuard &operator=(const DepthGuard &) = delete;

private:
    int &FDepth;
};

QString Latin1(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes);
}

} // namespace

bool TMainForm::ExchangeBusy() const
{
    return FExchangeDepth > 0 || ComPort.InUse();
}

bool TMainForm::ConnectionStillCurrent(uint64_t epoch) const
{
    return epoch == FConnectionEpoch && !Closing();
}

bool TMainForm::Exchange(const QByteArray &line, bool readOnlyIfWritten)
{
    const uint64_t epoch = FConnectionEpoch;
    LastResponse.clear();
    FLastWriteComplete = ComPort.WriteString(line);
    if (ComPort.DeviceLost()) {
        HandleDeviceLost();
        return false;
    }
    if (readOnlyIfWritten && !FLastWriteComplete)
        return true;
    QByteArray reply;
    {
        DepthGuard depth(FExchangeDepth);
        reply = ComPort.ReadResponse();
    }
    // While the reply was awaited the user may have disconnected or closed
    // the window; then nothing more may be done with this connection.
    if (!ConnectionStillCurrent(epoch))
        return false;
    if (ComPort.DeviceLost()) {
        HandleDeviceLost();
        return false;
    }
    LastResponse = reply;
    return true;
}

QString TMainForm::MakerNotice() const
{
    return FEdition.MakerNoticePrefix + CompanyName + FEdition.MakerNoticeSuffix;
}

void TMainForm::FillRs232BaudList()
{
    // The single-model edition keeps its fixed list whatever the model.
    if (!FEdition.FixedRs232Bauds.isEmpty())
        return;
    RS232BaudrateComboBox->clear();
    RS232BaudrateComboBox->addItems(protocol::Rs232BaudListForModel(FModuleName));
    // A freshly filled list has no selection until the settings read picks one.
    SelectIndex(RS232BaudrateComboBox, -1);
}

void TMainForm::TakeFirmwareFromWakeUpReply()
{
    FFirmwareVersion = Latin1(protocol::FirmwareVersionFromReply(LastResponse));
    FFirmwareMajor = protocol::FirmwareMajorFromReply(LastResponse);
}

void TMainForm::EnterOperationMode()
{
    PageControl1->setCurrentIndex(kTestPage);
    FModuleMode = mmOperation;
    FConnected = true;
    AllEditStatus(); // runs the receive loop: returns when the connection has ended
    if (Closing())
        return;
    AllEditStatus();
}

void TMainForm::FailConnect(const QString &message)
{
    FModuleMode = mmNone;
    FConnected = false;
    ShowError(message);
    ComPort.Close(); // nothing to do when the port never opened
    AllEditStatus();
}

void TMainForm::ConnectToolButtonClick()
{
    if (ExchangeBusy() || Closing())
        return;
    FConnectRequested = false;
    {
        TSettingsForm dialog(this);
        dialog.exec();
    }
    if (!FConnectRequested || Closing())
        return;

    const uint64_t epoch = FConnectionEpoch;
    const QString port = QString::number(ComPort.Port());
    // Stops the procedure when the connection ended while a reply was awaited.
    const auto stillCurrent = [this, epoch] {
        if (ConnectionStillCurrent(epoch))
            return true;
        if (Closing() && !FConnected)
            ComPort.Close();
        return false;
    };

    if (!ComPort.Open()) {
        FailConnect(QStringLiteral("Open COM") + port + QStringLiteral(" Error!"));
        return;
    }

    if (FPairTestRequested) {
        PageControl1->setCurrentIndex(kTestPage);
        FModuleMode = mmPairTest;
        FConnected = true;
        AllEditStatus();
        return;
    }

    FChecksumOn = false;
    if (!Exchange(protocol::kWakeUp) || !stillCurrent())
        return;
    if (LastResponse.size() > protocol::kMaxWakeUpReplyLength) {
        ShowError(QStringLiteral("Please remove the CAN connector when connecting!!!"));
        return;
    }

    const unsigned char mode = protocol::ReplyAt(LastResponse, 2);
    if (mode == 'S') {
        TakeFirmwareFromWakeUpReply();
        if (ComPort.Baud() != kConfigurationBaud) {
            PageControl1->setCurrentIndex(kTestPage);
            FModuleMode = mmOperation;
        } else {
            PageControl1->setCurrentIndex(kSettingsPage);
            FModuleMode = mmConfiguration;
            FConnected = true;
            GetModuleInformation();
            if (!stillCurrent())
                return;
            FillRs232BaudList();
            AllEditStatus();
            GetModuleSettings();
            if (!stillCurrent())
                return;
        }
        FConnected = true;
        AllEditStatus(); // in operation mode: returns when the connection has ended
        if (Closing())
            return;
        const int index = SelectedIndex(RS232BaudrateComboBox);
        if (index >= 0)
            FBaudIndex = index;
        AllEditStatus();
        return;
    }

    if (mode == 'R') {
        TakeFirmwareFromWakeUpReply();
        EnterOperationMode();
        return;
    }

    if (!LastResponse.isEmpty() && protocol::ReplyAt(LastResponse, 1) != '?') {
        FailConnect(QStringLiteral("Timeout!!! COM") + port + QStringLiteral(" Connect Failed!"));
        return;
    }

    // No answer, or the plain wake-up refused: try the checksummed one once.
    if (!Exchange(protocol::kWakeUpChecksummed) || !stillCurrent())
        return;
    if (LastResponse.size() > protocol::kMaxWakeUpReplyLength) {
        ShowError(QStringLiteral("Remove the CAN Connector When Connecting!!!"));
        return;
    }
    if (protocol::ReplyAt(LastResponse, 2) == 'R') {
        TakeFirmwareFromWakeUpReply();
        FChecksumOn = true; // this module wants every line checksummed
        EnterOperationMode();
        return;
    }
    FailConnect(QStringLiteral("COM") + port + QStringLiteral(" Connect Failed!"));
}

void TMainForm::DisconnectToolButtonClick()
{
    // Any procedure still waiting for a reply sees the change and stops.
    ++FConnectionEpoch;
    ComPort.Close();
    FConnected = false;
    AllEditStatus();
    FModuleMode = mmNone;
}

void TMainForm::GetModuleInformation()
{
    if (!Exchange(protocol::kQueryVersion))
        return;
    if (!LastResponse.isEmpty())
        FFirmwareVersion = Latin1(protocol::FirmwareVersionFromReply(LastResponse));
    StatusPanels[2]->setText(QStringLiteral("Ver: ") + FFirmwareVersion);

    if (!Exchange(protocol::kQueryCompany))
        return;
    if (!LastResponse.isEmpty())
        CompanyName = Latin1(protocol::CompanyNameFromReply(LastResponse));
    StatusPanels[3]->setText(MakerNotice());

    if (!Exchange(protocol::kQueryModel))
        return;
    if (!LastResponse.isEmpty())
        FModuleName = Latin1(FEdition.MultiModel ? protocol::ModelNameFromReply(LastResponse)
                                                 : protocol::SingleModelNameFromReply(LastResponse));
}

void TMainForm::GetModuleSettings()
{
    using namespace protocol;

    if (!Exchange(kQueryRs232))
        return;
    if (LastResponse.isEmpty()) {
        ShowError(QStringLiteral("Get Module COM Setting Error!"));
        return;
    }
    const Rs232Codes rs = ParseRs232Reply(LastResponse);
    RS232BaudCode = rs.baud;
    DataBitCode = rs.dataBit;
    StopBitCode = rs.stopBit;
    ParityCode = rs.parity;
    ChecksumCode = rs.checksum;
    ErrorResponseCode = rs.errorResponse;
    SelectIndex(RS232BaudrateComboBox, RS232BaudCode);
    SelectIndex(RS232DataBitComboBox, DataBitCode);
    SelectIndex(RS232StopBitComboBox, StopBitCode);
    SelectIndex(RS232ParityComboBox, ParityCode);
    SelectIndex(RS232ChecksumComboBox, ChecksumCode);
    SelectIndex(RS232RespondComboBox, ErrorResponseCode);

    if (!Exchange(kQueryCan))
        return;
    if (LastResponse.isEmpty()) {
        ShowError(QStringLiteral("Get Module CAN Setting Error!"));
        return;
    }
    const CanCodes can = ParseCanCodes(LastResponse);
    CANSpecCode = can.standard;
    CANBaudCode = can.baud;
    CANReservedCode = can.reserved;
    SelectIndex(CANSpecificationComboBox, CANSpecCode);
    const bool layout20A = SelectedIndex(CANSpecificationComboBox) == 0;
    const bool pairCapable = IsPairCapable(FFirmwareMajor);
    const CanFields fields = ParseCanFields(LastResponse, layout20A, pairCapable);
    AcceptanceCodeText = Latin1(fields.acceptanceCode);
    AcceptanceMaskText = Latin1(fields.acceptanceMask);
    if (fields.hasPairPart)
        TxCANIDText = Latin1(fields.txCanId);
    SelectIndex(CANBaudrateComboBox, CANBaudCode);

    // The module's texts are placed whatever maximum an earlier read or
    // change of the CAN standard left; the CAN-standard rule below sets them again.
    for (TNumberEdit *field : {CanCodeEdit, CanMaskEdit, CANIDEdit})
        field->SetMaxValue(0);
    CanCodeEdit->setText(AcceptanceCodeText);
    CanMaskEdit->setText(AcceptanceMaskText);
    CANIDEdit->setText(TxCANIDText);

    if (pairCapable) {
        PairFlag = Latin1(fields.pairFlag);
        TxCANIDFlag = Latin1(fields.txCanIdFlag);
        RespWCANIDFlag = Latin1(fields.respWithCanIdFlag);
        const QString off = QStringLiteral("0");
        if (PairFlag == off) {
            ChkBox_Pair->setChecked(false);
            ChkBox_PairClick();
        } else {
            ChkBox_Pair->setChecked(true);
            ChkBox_PairClick();
            ChkBox_TxCANID->setChecked(TxCANIDFlag != off);
            ChkBox_TxCANIDClick();
            ChkBox_RespWCANID->setChecked(RespWCANIDFlag != off);
            switch (fields.endOfCommand) {
            case 0: EndCmdRB1Click(); break;
            case 1: EndCmdRB2Click(); break;
            case 2: EndCmdRB3Click(); break;
            case 3: EndCmdRB4Click(); break;
            case 4: EndCmdRB5Click(); break;
            default: break; // an unknown code changes no choice
            }
        }
    }

    if (!FEdition.HasUserDefinedTiming || !IsVersion3Firmware(FFirmwareVersion)) {
        CANSpecificationComboBoxChange();
        return;
    }

    if (SelectedIndex(CANBaudrateComboBox) == kCanBaudUserDefined) {
        if (!Exchange(kQueryTiming))
            return;
        if (LastResponse.isEmpty()) {
            ShowError(QStringLiteral("Get Module CAN Setting Error2!"));
            return;
        }
        const BitTimingCodes timing = ParseTimingReply(LastResponse); // throws on a non-hex digit
        ClockModeCode = timing.clockMode;
        BitTiming1 = timing.bt1;
        BitTiming2 = timing.bt2;
        BitTiming3 = timing.bt3;
        ClockModeEdit->setText(IntToHex(ClockModeCode, 1));
        BT1Edit->setText(IntToHex(BitTiming1, 2));
        BT2Edit->setText(IntToHex(BitTiming2, 2));
        BT3Edit->setText(IntToHex(BitTiming3, 2));
        SetTimingGroupEnabled(true);
        CalculateBtnClick();
    } else {
        ResetTimingTexts();
        SetTimingGroupEnabled(false);
    }
    CANSpecificationComboBoxChange();
}
