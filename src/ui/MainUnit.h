#pragma once
// TMainForm: the program's main window. One class; its methods are spread
// over several files by concern (layout, control states, connecting and
// reading, writing, option rules, the Test page).
#include "Edition.h"
#include "QCCom32.h"
#include "ValEdit1.h"

#include <QByteArray>
#include <QMainWindow>
#include <QString>
#include <QTimer>
#include <array>
#include <cstdint>

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QTableView;
class QMenu;
class QMenuBar;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QToolBar;
class QToolButton;
class QWidget;
class QSocketNotifier;
class ReceiveListModel;

enum TModuleMode : int { mmNone = 0, mmConfiguration = 1, mmOperation = 2, mmPairTest = 3 };

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TMainForm(const Edition &edition, QWidget *parent = nullptr);
    ~TMainForm() override;

    const Edition &EditionInfo() const { return FEdition; }

    // ---- handlers (each also reachable from tests) ----
    void FormCreate();
    void QuitToolButtonClick();
    void AboutToolButtonClick();
    void SettingToolButtonClick();
    void ConnectToolButtonClick();
    void DisconnectToolButtonClick();
    void GetModuleInformation();
    void GetModuleSettings();
    void AllEditStatus();
    void SettingButtonClick();
    void DefaultButtonClick();
    void CANSpecificationComboBoxChange();
    void CANBaudrateComboBoxChange();
    void CalculateBtnClick();
    void ChkBox_PairClick();
    void ChkBox_TxCANIDClick();
    void EndCmdRB1Click();
    void EndCmdRB2Click();
    void EndCmdRB3Click();
    void EndCmdRB4Click();
    void EndCmdRB5Click();
    void Button1Click();
    void Button2Click();
    void CANCheckBoxClick();
    void ModeEditChange();
    void RTREditChange();
    void DLCEditChange();
    void SendBitBtnClick();
    void AutoBitBtnClick();
    void StopBitBtnClick();
    void Timer2Timer();
    void IntervalEditChange();
    void SetBitBtnClick();
    void ReceiveBitBtnClick();
    void ClearBitBtnClick();
    void SaveBitBtnClick();
    void ReceiveLoop();

    // ---- main-window state ----
    bool FConnected = false;
    TModuleMode FModuleMode = mmNone;
    QString FModuleName;
    QString FFirmwareVersion;
    int FFirmwareMajor = 0;
    QString FUtilityVersion;
    int FBaudIndex = 0;
    bool FChecksumOn = false;
    bool FPairTestRequested = false;
    bool FConnectRequested = false;
    bool FDisplayReceived = false; // also what ReceiveBitBtn's caption says

    // ---- state of the window's unit (survives disconnections) ----
    QByteArray LastResponse;
    QString CompanyName;
    int CANReservedCode = 0;
    int EndOfCommandCode = 0;
    int RS232BaudCode = 0, DataBitCode = 0, StopBitCode = 0, ParityCode = 0;
    int ChecksumCode = 0, ErrorResponseCode = 0;
    int CANSpecCode = 0, CANBaudCode = 0;
    QString AcceptanceCodeText, AcceptanceMaskText, TxCANIDText;
    QString PairFlag, TxCANIDFlag, RespWCANIDFlag;
    int ClockModeCode = 0, BitTiming1 = 0, BitTiming2 = 0, BitTiming3 = 0;

    // ---- non-visual parts ----
    TQCCom32 ComPort;
    QTimer *Timer2 = nullptr;

    // ---- tool bar, menus, status bar, pages ----
    QToolBar *ToolBar1 = nullptr;
    QToolButton *ConnectToolButton = nullptr, *DisconnectToolButton = nullptr,
                *SettingToolButton = nullptr, *QuitToolButton = nullptr,
                *AboutToolButton = nullptr;
    QMenuBar *MainMenu1 = nullptr;
    QMenu *F1 = nullptr, *A1 = nullptr, *Options1 = nullptr, *Help1 = nullptr;
    QAction *Exit1 = nullptr, *Connect1 = nullptr, *Disconnect1 = nullptr,
            *SerialIOsettings1 = nullptr, *About1 = nullptr;
    QWidget *StatusBar1 = nullptr;
    std::array<QLabel *, 4> StatusPanels{};
    QTabWidget *PageControl1 = nullptr;
    QWidget *TabSheet1 = nullptr, *TabSheet2 = nullptr;
    QLineEdit *Edit2 = nullptr; // hidden; absent (nullptr) in the single-model edition

    // ---- Settings page ----
    QGroupBox *RS232GroupBox = nullptr;
    QComboBox *RS232BaudrateComboBox = nullptr, *RS232DataBitComboBox = nullptr,
              *RS232StopBitComboBox = nullptr, *RS232ParityComboBox = nullptr,
              *RS232ChecksumComboBox = nullptr, *RS232RespondComboBox = nullptr;
    QGroupBox *CANGroupBox = nullptr;
    QComboBox *CANSpecificationComboBox = nullptr, *CANBaudrateComboBox = nullptr;
    TNumberEdit *CanCodeEdit = nullptr, *CanMaskEdit = nullptr, *CANIDEdit = nullptr;
    QCheckBox *ChkBox_Pair = nullptr, *ChkBox_TxCANID = nullptr, *ChkBox_RespWCANID = nullptr;
    QLabel *Label31 = nullptr, *Label33 = nullptr;
    QGroupBox *GroupBox2 = nullptr;
    QRadioButton *EndCmdRB1 = nullptr, *EndCmdRB2 = nullptr, *EndCmdRB3 = nullptr,
                 *EndCmdRB4 = nullptr, *EndCmdRB5 = nullptr;
    // User-defined timing group; all nullptr in the single-model edition.
    QGroupBox *GroupBox3 = nullptr;
    TNumberEdit *ClockModeEdit = nullptr, *BT1Edit = nullptr, *BT2Edit = nullptr,
                *BT3Edit = nullptr, *BREdit1 = nullptr;
    QPushButton *CalculateBtn = nullptr;
    QPushButton *SettingButton = nullptr, *DefaultButton = nullptr;
    QPushButton *Button1 = nullptr, *Button2 = nullptr; // hidden; nullptr in single

    // ---- Test page ----
    QLabel *ReceiveLabel = nullptr;
    // A one-column table: it appends to a long list in constant time, where a
    // list view lays out every row again on each insertion.
    QTableView *ReceiveListBox = nullptr;
    ReceiveListModel *ReceiveList = nullptr; // the entries behind ReceiveListBox
    QPushButton *ClearBitBtn = nullptr;
    QGroupBox *GroupBox1 = nullptr;
    TNumberEdit *IDEdit = nullptr, *ModeEdit = nullptr, *RTREdit = nullptr, *DLCEdit = nullptr;
    TNumberEdit *D1Edit = nullptr, *D2Edit = nullptr, *D3Edit = nullptr, *D4Edit = nullptr,
                *D5Edit = nullptr, *D6Edit = nullptr, *D7Edit = nullptr, *D8Edit = nullptr;
    std::array<TNumberEdit *, 8> DataEdits() const
    {
        return {D1Edit, D2Edit, D3Edit, D4Edit, D5Edit, D6Edit, D7Edit, D8Edit};
    }
    QCheckBox *CANCheckBox = nullptr;
    QLineEdit *SendEdit = nullptr;
    QPushButton *AutoBitBtn = nullptr, *StopBitBtn = nullptr, *SendBitBtn = nullptr,
                *SetBitBtn = nullptr, *SaveBitBtn = nullptr, *ReceiveBitBtn = nullptr;
    TNumberEdit *IntervalEdit = nullptr;

    // True while the window is closing: every loop ends at its next turn.
    bool Closing() const { return FClosing; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // The device went away while connected: end the connection as
    // Disconnect does and say so once (MainUnitStates.cpp).
    void HandleDeviceLost();

    // layout (MainUnitLayout.cpp)
    void BuildWindow();
    void BuildToolBarAndMenus();
    void BuildSettingsPage();
    void BuildTestPage();
    void ConnectHandlers();

    // exchanges (MainUnitConnect.cpp)
    // One command/reply exchange: empty LastResponse, write, read.
    // Returns false when the connection ended meanwhile (disconnect, close,
    // device gone): the caller stops.
    bool Exchange(const QByteArray &line, bool readOnlyIfWritten = false);
    bool ConnectionStillCurrent(uint64_t epoch) const;
    QString MakerNotice() const;
    void FillRs232BaudList();
    // Steps of the connect procedure: the firmware a wake-up reply names; the
    // Test page in operation mode with its receive loop; a failed attempt
    // (mode none, the message, the port closed, the states).
    void TakeFirmwareFromWakeUpReply();
    void EnterOperationMode();
    void FailConnect(const QString &message);

    const Edition &FEdition;
    bool FClosing = false;
    // Incremented whenever a connection ends; a procedure that waited for a
    // reply compares it with the value it started with.
    uint64_t FConnectionEpoch = 0;
    // Nesting depth of exchanges waiting for a reply (Connect, Setting,
    // Defaults, the hidden buttons do nothing while it is above 0).
    int FExchangeDepth = 0;
    bool FDeviceLostReported = false;
    bool FSendErrorShowing = false; // collapses repeated auto-send reports
    QSocketNotifier *FPortNotifier = nullptr;

    // ---- internals of the configuration-mode files (connect, read, write, rules) ----
    // A command is waiting for its reply: Connect, Setting, Defaults and the
    // hidden buttons do nothing meanwhile.
    bool ExchangeBusy() const;
    // Whether the last Exchange wrote its whole line.
    bool FLastWriteComplete = false;
    // Sends one settings command with its checksum; `acknowledged` tells
    // whether the reply starts with `ack`. False when the connection ended.
    bool SendSetting(const QByteArray &command, const QByteArray &ack, bool &acknowledged);
    // The hidden diagnostic buttons: one checksummed line, reply into Edit2.
    void SendDiagnosticLine(const QByteArray &text);
    // The user-defined timing fields and the Calculate button.
    void SetTimingGroupEnabled(bool enabled);
    // The end-of-command choices with their frame and captions; the pair
    // options are those plus the Tx CAN ID and response check boxes.
    void SetEndOfCommandGroupEnabled(bool enabled);
    void SetPairOptionsEnabled(bool enabled);
    void ResetTimingTexts();

    // ---- internals of the Test page file ----
    // Connected in operation or pair-test mode, and the window not closing.
    bool ReceiveLoopCondition() const;
    // Timer2's period; a running timer restarts only when it changes.
    void SetAutoSendInterval(int ms);
    // FPortNotifier on the port's current handle (made anew when it changed).
    void EnsurePortNotifier();
    // Blocks until window events arrive, with `watchPort` until the port is
    // readable too, and at most `wakeAfterMs` milliseconds.
    void WaitForEventsOrPort(bool watchPort, int wakeAfterMs);
    // Shows the entries read since the last call and keeps the newest in view.
    void ShowNewEntries();
    // The device went away: stop auto-send, end the connection, say so once.
    void ReportDeviceLoss();
    // Ends an idle wait when no event would: nested in a read, or when
    // entries wait to be shown.
    QTimer *FLoopWakeTimer = nullptr;
    int FReceiveLoopDepth = 0;

    friend class MainFormTestAccess;
};
