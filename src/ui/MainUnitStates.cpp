// The main window's start state, its control states for each connection
// state, leaving the program, and the About and settings commands.
#include "MainUnit.h"
#include "WidgetState.h"

#include "AboutVeskora.h"
#include "MessageService.h"
#include "SettingsDlg.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QTableView>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include <initializer_list>

void TMainForm::FormCreate()
{
    FModuleName = QStringLiteral("R-2416");
    CompanyName = QStringLiteral("Veskora");
    FUtilityVersion = FEdition.UtilityVersion;
    FFirmwareVersion.clear();
    FFirmwareMajor = 0;
    ComPort.SetBaud(115200);
    CANReservedCode = 0;
    FConnected = false;
    FBaudIndex = 11;
    EndOfCommandCode = 0;
    FModuleMode = mmNone;
    FChecksumOn = false;
    FPairTestRequested = false;
    CANCheckBox->setChecked(false);
    AllEditStatus();
    SetEnabled({IDEdit, RTREdit, DLCEdit, ModeEdit}, false);
    for (TNumberEdit *d : DataEdits())
        d->setEnabled(false);
    SetEnabled({ChkBox_Pair, CANIDEdit}, false);
    SetPairOptionsEnabled(false);
    SetTimingGroupEnabled(false);
}

void TMainForm::AllEditStatus()
{
    const std::initializer_list<QWidget *> settingsInputs = {
        RS232BaudrateComboBox, RS232DataBitComboBox,     RS232StopBitComboBox,
        RS232ParityComboBox,   RS232ChecksumComboBox,    RS232RespondComboBox,
        CANSpecificationComboBox, CANBaudrateComboBox,   CanCodeEdit,
        CanMaskEdit,           DefaultButton,            SettingButton};
    const std::initializer_list<QWidget *> receiveControls = {ReceiveLabel, ReceiveListBox, ClearBitBtn,
                                                              SaveBitBtn, ReceiveBitBtn};

    if (!FConnected) {
        ConnectToolButton->setEnabled(true);
        DisconnectToolButton->setEnabled(false);
        SetEnabled(settingsInputs, false);
        CANIDEdit->setEnabled(false);
        ChkBox_Pair->setChecked(false);
        ChkBox_Pair->setEnabled(false);
        SetPairOptionsEnabled(false);
        SetTimingGroupEnabled(false);
        SetEnabled(receiveControls, false);
        SetEnabled({AutoBitBtn, StopBitBtn, SendBitBtn}, false);
        CANCheckBox->setChecked(false);
        for (TNumberEdit *d : DataEdits())
            d->setEnabled(false);
        SetEnabled({IntervalEdit, CANCheckBox, SendEdit}, false);
        SetBitBtn->setEnabled(false);
        Timer2->stop();
        FChecksumOn = false;
        FFirmwareVersion.clear();
        FFirmwareMajor = 0;
        StatusPanels[0]->setText(QStringLiteral("Not connected"));
        StatusPanels[1]->clear();
        StatusPanels[2]->clear();
        return;
    }

    StatusPanels[2]->setText(QStringLiteral("Ver: ") + FFirmwareVersion);
    ConnectToolButton->setEnabled(false);
    DisconnectToolButton->setEnabled(true);
    StatusPanels[0]->setText(QStringLiteral("Connected to COM") + QString::number(ComPort.Port()));

    if (FModuleMode == mmConfiguration) {
        SetEnabled({RS232BaudrateComboBox, RS232DataBitComboBox, RS232StopBitComboBox,
                    RS232ParityComboBox},
                   true);
        if (FFirmwareMajor < 2)
            SetEnabled({RS232ChecksumComboBox, RS232RespondComboBox}, true);
        SetEnabled({CANSpecificationComboBox, CANBaudrateComboBox, CanCodeEdit, CanMaskEdit,
                    DefaultButton, SettingButton},
                   true);
        if (FFirmwareMajor > 1)
            ChkBox_Pair->setEnabled(true);
        SetEnabled(receiveControls, false);
        StatusPanels[1]->setText(QStringLiteral("Configuration Mode"));
        CANCheckBox->setChecked(false);
        for (TNumberEdit *d : DataEdits())
            d->setEnabled(false);
        SetEnabled({IntervalEdit, CANCheckBox, SendEdit}, false);
        return;
    }

    if (FModuleMode != mmOperation && FModuleMode != mmPairTest)
        return;

    SetEnabled(settingsInputs, false);
    SetEnabled({AutoBitBtn, StopBitBtn, SendBitBtn}, false);
    SetEnabled({CANIDEdit, ChkBox_Pair}, false);
    SetPairOptionsEnabled(false);
    SetTimingGroupEnabled(false);
    SetEnabled(receiveControls, true);
    ReceiveBitBtn->setText(QStringLiteral("Stop"));
    FDisplayReceived = true;
    StatusPanels[1]->setText(FModuleMode == mmOperation ? QStringLiteral("Operation Mode")
                                                        : QStringLiteral("PairConnTest Mode"));
    Timer2->stop();
    AutoBitBtn->setEnabled(true);
    StopBitBtn->setEnabled(false);
    SendBitBtn->setEnabled(true);
    CANCheckBox->setChecked(false);
    SetEnabled({IntervalEdit, CANCheckBox, SendEdit}, true);
    SetEnabled({IDEdit, ModeEdit, RTREdit, DLCEdit}, false);
    IDEdit->setText(QStringLiteral("000"));
    IDEdit->SetMaxTypedLength(3);
    ModeEdit->setText(QStringLiteral("0"));
    RTREdit->setText(QStringLiteral("0"));
    DLCEdit->setText(QStringLiteral("8"));
    for (TNumberEdit *d : DataEdits())
        d->setText(QStringLiteral("00"));
    IntervalEdit->setText(QStringLiteral("500"));
    SetAutoSendInterval(500);
    SetBitBtn->setEnabled(false);
    ReceiveLoop();
}

void TMainForm::closeEvent(QCloseEvent *event)
{
    event->ignore();
    Guarded([&] {
        if (!ConfirmYesNo(FEdition.ClosePrompt))
            return;
        // A connection, or an exchange still waiting for its reply, ends first;
        // every loop on the stack then ends at its next turn.
        if (FConnected || FExchangeDepth > 0 || ComPort.InUse())
            DisconnectToolButtonClick();
        FClosing = true;
        event->accept();
    });
}

void TMainForm::QuitToolButtonClick()
{
    close();
}

void TMainForm::AboutToolButtonClick()
{
    TAboutBoxForm about(this, true);
    about.exec();
}

void TMainForm::SettingToolButtonClick()
{
    if (FConnected) {
        if (!ConfirmOkCancel(QStringLiteral("Confirm"),
                             QStringLiteral("Could not change settings while a connection is active.\r\n"
                                            "Close the connection and continue ?")))
            return;
        DisconnectToolButtonClick();
    }
    TSettingsForm dialog(this);
    dialog.exec();
}

void TMainForm::HandleDeviceLost()
{
    if (FDeviceLostReported)
        return; // already being reported
    FDeviceLostReported = true;
    const int port = ComPort.Port();
    const QString device = ComPort.DeviceName();
    DisconnectToolButtonClick();
    ShowError(QStringLiteral("The device of COM%1 (%2) went away. The connection is closed.")
                  .arg(port)
                  .arg(device));
    FDeviceLostReported = false;
}
