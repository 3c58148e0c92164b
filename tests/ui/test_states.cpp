// The main window's start state, its three control states with their side
// effects, the close prompt and the settings command, in both programs.
#include "FormFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QTableView>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

const Edition *const kEditions[] = {&MultiModelEdition(), &SingleModelEdition()};

// Every input of both pages, as far as the edition has it.
std::vector<QWidget *> AllPageInputs(TMainForm &f)
{
    std::vector<QWidget *> w = {
        f.RS232BaudrateComboBox, f.RS232DataBitComboBox, f.RS232StopBitComboBox,
        f.RS232ParityComboBox,   f.RS232ChecksumComboBox, f.RS232RespondComboBox,
        f.CANSpecificationComboBox, f.CANBaudrateComboBox, f.CanCodeEdit, f.CanMaskEdit,
        f.ChkBox_Pair, f.CANIDEdit, f.ChkBox_TxCANID, f.ChkBox_RespWCANID, f.EndCmdRB1,
        f.EndCmdRB2, f.EndCmdRB3, f.EndCmdRB4, f.EndCmdRB5, f.DefaultButton, f.SettingButton,
        f.ClockModeEdit, f.BT1Edit, f.BT2Edit, f.BT3Edit, f.BREdit1, f.CalculateBtn,
        f.ReceiveListBox, f.ClearBitBtn, f.SaveBitBtn, f.ReceiveBitBtn, f.IDEdit, f.ModeEdit,
        f.RTREdit, f.DLCEdit, f.CANCheckBox, f.SendEdit, f.AutoBitBtn, f.StopBitBtn,
        f.SendBitBtn, f.SetBitBtn, f.IntervalEdit};
    for (TNumberEdit *d : f.DataEdits())
        w.push_back(d);
    std::erase(w, nullptr);
    return w;
}

QStringList EnabledNames(const std::vector<QWidget *> &widgets)
{
    QStringList names;
    for (QWidget *w : widgets)
        if (w->isEnabled())
            names << w->objectName();
    return names;
}

// The panel shows its whole text within its fixed width.
bool Fits(const QLabel *panel)
{
    return panel->fontMetrics().horizontalAdvance(panel->text()) <= panel->contentsRect().width();
}

// Runs AllEditStatus in operation or pair-test mode; `inside` sees the state
// while the receive loop runs, then the connection is ended.
void RunOperationState(TMainForm &f, TModuleMode mode, const std::function<void()> &inside)
{
    f.FConnected = true;
    f.FModuleMode = mode;
    bool ran = false;
    QTimer::singleShot(20, &f, [&] {
        ran = true;
        inside();
        f.DisconnectToolButtonClick();
    });
    f.AllEditStatus();
    EXPECT_TRUE(ran) << "the receive loop returned before the connection ended";
}

} // namespace

TEST(StartState, EveryInputDisabledAndStatusBarNotConnected)
{
    for (const Edition *e : kEditions) {
        SCOPED_TRACE(e->Caption.toStdString());
        FormFixture fx(*e);
        TMainForm &f = *fx.Form;
        EXPECT_TRUE(f.ConnectToolButton->isEnabled());
        EXPECT_FALSE(f.DisconnectToolButton->isEnabled());
        EXPECT_EQ(EnabledNames(AllPageInputs(f)), QStringList{});
        EXPECT_EQ(f.StatusPanels[0]->text(), "Not connected");
        EXPECT_EQ(f.StatusPanels[1]->text(), "");
        EXPECT_EQ(f.StatusPanels[2]->text(), "");
        EXPECT_EQ(f.StatusPanels[3]->text(), e->MakerNoticePrefix + "Veskora" + e->MakerNoticeSuffix);
        EXPECT_EQ(f.PageControl1->currentIndex(), e->StartPage);
        EXPECT_EQ(f.FModuleName, "R-2416");
        EXPECT_EQ(f.CompanyName, "Veskora");
        EXPECT_EQ(f.FUtilityVersion, e->UtilityVersion);
        EXPECT_EQ(f.FBaudIndex, 11);
        EXPECT_EQ(f.FModuleMode, mmNone);
        EXPECT_FALSE(f.FConnected || f.FChecksumOn || f.FConnectRequested || f.FDisplayReceived);
        EXPECT_EQ(f.ComPort.Baud(), 115200);
        EXPECT_FALSE(f.ComPort.Opened());
        EXPECT_FALSE(f.Timer2->isActive());
        EXPECT_TRUE(f.Connect1->isEnabled() && f.Disconnect1->isEnabled());
        EXPECT_TRUE(fx.Msgs.Boxes.isEmpty());
    }
}

TEST(ConfigurationState, FirmwareMajorDecidesPairAndRs232Options)
{
    struct Case {
        int major;
        bool checksumListsEnabled;
        bool pairEnabled;
    } const cases[] = {{1, true, false}, {2, false, true}, {3, false, true}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.major);
        FormFixture fx;
        TMainForm &f = *fx.Form;
        f.FConnected = true;
        f.FModuleMode = mmConfiguration;
        f.FFirmwareMajor = c.major;
        f.FFirmwareVersion = QString::number(c.major) + ".05";
        f.CANCheckBox->setEnabled(true);
        f.CANCheckBox->setChecked(true);
        f.AllEditStatus();

        EXPECT_FALSE(f.ConnectToolButton->isEnabled());
        EXPECT_TRUE(f.DisconnectToolButton->isEnabled());
        for (QWidget *w : std::initializer_list<QWidget *>{
                 f.RS232BaudrateComboBox, f.RS232DataBitComboBox, f.RS232StopBitComboBox,
                 f.RS232ParityComboBox, f.CANSpecificationComboBox, f.CANBaudrateComboBox,
                 f.CanCodeEdit, f.CanMaskEdit, f.DefaultButton, f.SettingButton})
            EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
        EXPECT_EQ(f.RS232ChecksumComboBox->isEnabled(), c.checksumListsEnabled);
        EXPECT_EQ(f.RS232RespondComboBox->isEnabled(), c.checksumListsEnabled);
        EXPECT_EQ(f.ChkBox_Pair->isEnabled(), c.pairEnabled);
        EXPECT_FALSE(f.CANCheckBox->isChecked());
        EXPECT_EQ(EnabledNames({f.ReceiveListBox, f.ClearBitBtn, f.SaveBitBtn, f.ReceiveBitBtn,
                                f.IntervalEdit, f.CANCheckBox, f.SendEdit, f.D1Edit}),
                  QStringList{});
        EXPECT_EQ(f.StatusPanels[0]->text(), "Connected to COM1");
        EXPECT_EQ(f.StatusPanels[1]->text(), "Configuration Mode");
        EXPECT_EQ(f.StatusPanels[2]->text(), "Ver: " + f.FFirmwareVersion);
        for (const QLabel *panel : f.StatusPanels)
            EXPECT_TRUE(Fits(panel)) << panel->text().toStdString();
        f.FConnected = false;
    }
}

TEST(OperationState, ResetsTheTestPageAndRunsTheLoop)
{
    struct Case {
        TModuleMode mode;
        const char *panel;
    } const cases[] = {{mmOperation, "Operation Mode"}, {mmPairTest, "PairConnTest Mode"}};
    for (const Edition *e : kEditions)
        for (const Case &c : cases) {
            SCOPED_TRACE(e->Caption.toStdString() + " " + c.panel);
            FormFixture fx(*e);
            TMainForm &f = *fx.Form;
            // A page left in use: message fields on, auto-send running at another interval.
            f.CANCheckBox->setEnabled(true);
            f.CANCheckBox->setChecked(true);
            f.IntervalEdit->setText("123");
            f.Timer2->setInterval(123);
            f.Timer2->start();
            f.FFirmwareVersion = "3.00";

            RunOperationState(f, c.mode, [&] {
                EXPECT_EQ(f.StatusPanels[1]->text(), c.panel);
                EXPECT_TRUE(Fits(f.StatusPanels[1]));
                EXPECT_EQ(f.StatusPanels[2]->text(), "Ver: 3.00");
                EXPECT_FALSE(f.Timer2->isActive());
                EXPECT_EQ(f.Timer2->interval(), 500);
                EXPECT_FALSE(f.CANCheckBox->isChecked());
                EXPECT_EQ(EnabledNames(AllPageInputs(f)),
                          (QStringList{"ReceiveListBox", "ClearBitBtn", "SaveBitBtn", "ReceiveBitBtn",
                                       "CANCheckBox", "SendEdit", "AutoBitBtn", "SendBitBtn",
                                       "IntervalEdit"}));
                EXPECT_EQ(f.ReceiveBitBtn->text(), "Stop");
                EXPECT_TRUE(f.FDisplayReceived);
                EXPECT_EQ(f.IDEdit->text(), "000");
                EXPECT_EQ(f.IDEdit->MaxTypedLength(), 3);
                EXPECT_EQ(f.ModeEdit->text(), "0");
                EXPECT_EQ(f.RTREdit->text(), "0");
                EXPECT_EQ(f.DLCEdit->text(), "8");
                for (TNumberEdit *d : f.DataEdits())
                    EXPECT_EQ(d->text(), "00");
                EXPECT_EQ(f.IntervalEdit->text(), "500");
                EXPECT_FALSE(f.SetBitBtn->isEnabled()) << "rewriting the interval must not leave Set on";
            });
            EXPECT_FALSE(f.FConnected);
            EXPECT_EQ(f.StatusPanels[0]->text(), "Not connected");
        }
}

TEST(NotConnectedState, DisconnectClearsPairFirmwareAndChecksum)
{
    FormFixture fx;
    TMainForm &f = *fx.Form;
    f.FConnected = true;
    f.FModuleMode = mmConfiguration;
    f.FFirmwareMajor = 2;
    f.FFirmwareVersion = "2.10";
    f.FChecksumOn = true;
    f.AllEditStatus();
    f.ChkBox_Pair->setChecked(true);
    ASSERT_FALSE(f.RS232ChecksumComboBox->isEnabled());

    f.DisconnectToolButtonClick();

    EXPECT_FALSE(f.ChkBox_Pair->isChecked());
    EXPECT_FALSE(f.ChkBox_Pair->isEnabled());
    EXPECT_FALSE(f.RS232ChecksumComboBox->isEnabled());
    EXPECT_FALSE(f.RS232RespondComboBox->isEnabled());
    EXPECT_EQ(f.FFirmwareVersion, "");
    EXPECT_EQ(f.FFirmwareMajor, 0);
    EXPECT_FALSE(f.FChecksumOn);
    EXPECT_EQ(f.FModuleMode, mmNone);
    EXPECT_EQ(f.StatusPanels[0]->text(), "Not connected");
    EXPECT_EQ(f.StatusPanels[1]->text(), "");
    EXPECT_EQ(f.StatusPanels[2]->text(), "");
    EXPECT_TRUE(f.ConnectToolButton->isEnabled());
}

TEST(ClosePrompt, NoKeepsTheWindowYesClosesThePortFirst)
{
    for (const Edition *e : kEditions) {
        SCOPED_TRACE(e->Caption.toStdString());
        FormFixture fx(*e);
        TMainForm &f = *fx.Form;
        ASSERT_TRUE(f.ComPort.Open());
        f.FConnected = true;
        f.FModuleMode = mmConfiguration;

        fx.Msgs.Answers = {MsgAnswer::No};
        f.QuitToolButtonClick();
        ASSERT_EQ(fx.Msgs.Boxes.size(), 1);
        EXPECT_EQ(fx.Msgs.Boxes[0].text, e->ClosePrompt);
        EXPECT_EQ(fx.Msgs.Boxes[0].title, e->Caption);
        EXPECT_EQ(fx.Msgs.Boxes[0].icon, MsgIcon::Question);
        EXPECT_EQ(fx.Msgs.Boxes[0].buttons, MsgButtons::YesNo);
        EXPECT_TRUE(f.isVisible());
        EXPECT_TRUE(f.ComPort.Opened());
        EXPECT_TRUE(f.FConnected);

        fx.Msgs.Answers = {MsgAnswer::Yes};
        f.close(); // the close box asks the same
        EXPECT_EQ(fx.Msgs.Boxes.size(), 2);
        EXPECT_FALSE(f.isVisible());
        EXPECT_FALSE(f.ComPort.Opened());
        EXPECT_FALSE(f.FConnected);
        EXPECT_TRUE(f.Closing());
    }
}

TEST(ClosePrompt, YesWhileTheReceiveLoopRunsEndsTheLoop)
{
    FormFixture fx;
    TMainForm &f = *fx.Form;
    ASSERT_TRUE(f.ComPort.Open());
    f.FConnected = true;
    f.FModuleMode = mmOperation;
    QTimer::singleShot(20, &f, [&] { f.close(); });
    f.AllEditStatus(); // returns once the close has ended the connection
    EXPECT_FALSE(f.isVisible());
    EXPECT_FALSE(f.ComPort.Opened());
    EXPECT_EQ(f.StatusPanels[0]->text(), "Not connected");
}

TEST(SettingsCommand, WhileConnectedAsksFirst)
{
    FormFixture fx;
    TMainForm &f = *fx.Form;
    ASSERT_TRUE(f.ComPort.Open());
    f.FConnected = true;
    f.FModuleMode = mmConfiguration;

    fx.Msgs.Answers = {MsgAnswer::Cancel};
    f.SettingToolButtonClick(); // no dialog: the test would hang on it otherwise
    ASSERT_EQ(fx.Msgs.Boxes.size(), 1);
    EXPECT_EQ(fx.Msgs.Boxes[0].title, "Confirm");
    EXPECT_EQ(fx.Msgs.Boxes[0].text,
              "Could not change settings while a connection is active.\r\nClose the connection and continue ?");
    EXPECT_EQ(fx.Msgs.Boxes[0].buttons, MsgButtons::OkCancel);
    EXPECT_TRUE(f.FConnected);

    fx.Msgs.Answers = {MsgAnswer::Ok};
    DialogAnswer answer;
    answer.ok = true;
    fx.AnswerNextDialog(answer);
    f.SettingToolButtonClick();
    EXPECT_FALSE(f.FConnected);
    EXPECT_FALSE(f.ComPort.Opened()) << "the settings command never connects";
    EXPECT_TRUE(f.FConnectRequested);
}
