// The connection settings dialog: what it shows when it opens, its checks,
// what Ok writes back, the ways of leaving it, and the device line.
#include "FormFixture.h"
#include "MainUnit.h"
#include "MessageService.h"
#include "RecordingMessages.h"
#include "SettingsDlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <ostream>
#include <optional>
#include <unistd.h>

// Readable QString values in failure messages.
inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QStringList &l, std::ostream *os) { PrintTo(l.join('|'), os); }

namespace {

// Result of a dialog that the test left open (it was not closed by the dialog's own rules).
constexpr int kLeftOpen = 99;

// Shows `dialog` with exec(); `drive` runs once the dialog is the active
// modal window. A dialog that `drive` leaves open ends with kLeftOpen.
int ExecDialog(TSettingsForm &dialog, const std::function<void(TSettingsForm &)> &drive)
{
    QTimer poll;
    poll.setInterval(1);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (QApplication::activeModalWidget() != &dialog)
            return;
        poll.stop();
        drive(dialog);
        if (dialog.isVisible())
            dialog.done(kLeftOpen);
    });
    poll.start();
    return dialog.exec();
}

// Sets an environment variable for the lifetime of the object.
class ScopedEnv {
public:
    ScopedEnv(const char *name, const QString &value) : FName(name)
    {
        if (const char *old = std::getenv(name))
            FOld = QByteArray(old);
        setenv(name, value.toLocal8Bit().constData(), 1);
    }
    ~ScopedEnv()
    {
        if (FOld)
            setenv(FName, FOld->constData(), 1);
        else
            unsetenv(FName);
    }

private:
    const char *FName;
    std::optional<QByteArray> FOld;
};

class SettingsDialogTest : public ::testing::Test {
protected:
    void Make(const Edition &edition)
    {
        SetProgramTitle(edition.Caption);
        Form = std::make_unique<TMainForm>(edition);
    }
    void SetUp() override { Make(MultiModelEdition()); }

    void ShowPage(int index)
    {
        ASSERT_NE(Form->PageControl1, nullptr);
        Form->PageControl1->setCurrentIndex(index);
    }

    // Opens a dialog, fills it as given (nullopt leaves a field as opened) and presses Ok.
    int OkWith(std::optional<QString> port, std::optional<QString> timeout,
               std::optional<QString> baud = std::nullopt, bool pair = false)
    {
        TSettingsForm dialog(Form.get());
        return ExecDialog(dialog, [&](TSettingsForm &d) {
            if (port)
                d.PortComboBox->setEditText(*port);
            if (timeout)
                d.TimeOutEdit->setText(*timeout);
            if (baud)
                d.R2416Baud->setEditText(*baud);
            d.PairCheckBox->setChecked(pair);
            d.OkButton->click();
        });
    }

    RecordingMessages Msgs;
    std::unique_ptr<TMainForm> Form;
};

TEST_F(SettingsDialogTest, SettingsPageFixesTheBaudRateAt115200)
{
    ShowPage(0);
    Form->FBaudIndex = 7;
    Form->ComPort.SetBaud(9600);
    TSettingsForm dialog(Form.get());
    EXPECT_EQ(dialog.R2416Baud->currentIndex(), 11);
    EXPECT_EQ(dialog.R2416Baud->currentText(), "115200");
    EXPECT_FALSE(dialog.R2416Baud->isEnabled());

    ASSERT_EQ(ExecDialog(dialog, [](TSettingsForm &d) { d.OkButton->click(); }), QDialog::Accepted);
    EXPECT_EQ(Form->ComPort.Baud(), 115200);
}

TEST_F(SettingsDialogTest, TestPageProposesTheModulesBaudIndex)
{
    ShowPage(1);
    const struct {
        int baudIndex;
        QString text;
    } cases[] = {{7, "9600"}, {11, "115200"}, {0, "110"}, {14, "921600"}, {15, ""}, {-1, ""}, {1000, ""}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.baudIndex);
        Form->FBaudIndex = c.baudIndex;
        TSettingsForm dialog(Form.get());
        EXPECT_TRUE(dialog.R2416Baud->isEnabled());
        EXPECT_EQ(dialog.R2416Baud->currentText(), c.text);
        EXPECT_EQ(dialog.R2416Baud->currentIndex(), c.text.isEmpty() ? -1 : c.baudIndex);
    }
}

TEST_F(SettingsDialogTest, OpensWithPortTimeoutAndAnUntickedPairTest)
{
    const struct {
        int port;
        QString text;
    } cases[] = {{1, "COM1"}, {9, "COM9"}, {32, "COM32"}, {0, ""}, {33, ""}, {-4, ""}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.port);
        Form->ComPort.SetPort(c.port);
        Form->ComPort.SetResponseTime(750);
        Form->FPairTestRequested = true; // an earlier Ok with the box ticked
        TSettingsForm dialog(Form.get());
        EXPECT_EQ(dialog.PortComboBox->currentText(), c.text);
        EXPECT_EQ(dialog.PortComboBox->currentIndex(), c.text.isEmpty() ? -1 : c.port - 1);
        EXPECT_EQ(dialog.TimeOutEdit->text(), "750");
        EXPECT_FALSE(dialog.PairCheckBox->isChecked());
    }
}

TEST_F(SettingsDialogTest, InvalidInputIsRefusedAndChangesNothing)
{
    const struct {
        QString port, timeout;
        QString title, text;
    } cases[] = {
        {"", "500", "Error", "Please, enter a valid port name."},
        {" \t  ", "500", "Error", "Please, enter a valid port name."},
        {QString(QChar(1)) + " ", "abc", "Error", "Please, enter a valid port name."},
        {"COM2", "-1", "Error", "Please, enter a valid Timeout."},
        {"COM2", "abc", "Veltaro", "'abc' is not a valid integer value."},
        {"COM2", "", "Veltaro", "'' is not a valid integer value."},
        {"COM2", "1.5", "Veltaro", "'1.5' is not a valid integer value."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE((c.port + "|" + c.timeout).toStdString());
        Msgs.Clear();
        Form->ComPort.SetPort(4);
        Form->ComPort.SetResponseTime(1000);
        Form->ComPort.SetBaud(9600);
        Form->FConnectRequested = false;

        EXPECT_EQ(OkWith(c.port, c.timeout, QString("19200")), kLeftOpen);
        ASSERT_EQ(Msgs.Boxes.size(), 1);
        EXPECT_EQ(Msgs.Boxes[0].icon, MsgIcon::Error);
        EXPECT_EQ(Msgs.Boxes[0].buttons, MsgButtons::Ok);
        EXPECT_EQ(Msgs.Boxes[0].title, c.title);
        EXPECT_EQ(Msgs.Boxes[0].text, c.text);
        EXPECT_EQ(Form->ComPort.Port(), 4);
        EXPECT_EQ(Form->ComPort.ResponseTime(), 1000u);
        EXPECT_EQ(Form->ComPort.Baud(), 9600);
        EXPECT_FALSE(Form->FConnectRequested);
    }
}

TEST_F(SettingsDialogTest, OkWritesTheChoicesBack)
{
    const struct {
        QString port, timeout, baud;
        bool pair;
        int expectPort;
        uint32_t expectTimeout;
        int expectBaud;
    } cases[] = {
        {"COM5", "250", "9600", false, 5, 250, 9600},
        {"COM32", "0", "115200", true, 32, 0, 115200},
        {"com7", "999999", "250000", false, 7, 999999, 250000}, // hand-typed rate, any case
        {"  COM3", "10", "921600", false, 0, 10, 921600},        // matches no entry as typed
        {"COM99", "10", "110", true, 0, 10, 110},
        {"/dev/ttyUSB0", "10", "110", false, 0, 10, 110},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.port.toStdString());
        Msgs.Clear();
        Form->FConnectRequested = false;
        Form->FPairTestRequested = !c.pair;
        EXPECT_EQ(OkWith(c.port, c.timeout, c.baud, c.pair), QDialog::Accepted);
        EXPECT_TRUE(Msgs.Boxes.isEmpty()) << Msgs.Texts().join('|').toStdString();
        EXPECT_EQ(Form->ComPort.Port(), c.expectPort);
        EXPECT_EQ(Form->ComPort.ResponseTime(), c.expectTimeout);
        EXPECT_EQ(Form->ComPort.Baud(), c.expectBaud);
        EXPECT_TRUE(Form->FConnectRequested);
        EXPECT_EQ(Form->FPairTestRequested, c.pair);
    }
}

TEST_F(SettingsDialogTest, TheTimeoutFieldTakesAtMostSixCharacters)
{
    TSettingsForm dialog(Form.get());
    dialog.TimeOutEdit->clear();
    QTest::keyClicks(dialog.TimeOutEdit, "12345678");
    EXPECT_EQ(dialog.TimeOutEdit->text(), "123456");
}

TEST_F(SettingsDialogTest, BaudRateThatIsNotANumberStopsAfterPortAndTimeout)
{
    Form->ComPort.SetPort(4);
    Form->ComPort.SetResponseTime(1000);
    Form->ComPort.SetBaud(9600);
    EXPECT_EQ(OkWith(QString("COM6"), QString("300"), QString("fast")), kLeftOpen);
    EXPECT_EQ(Msgs.Texts(), QStringList{"'fast' is not a valid integer value."});
    EXPECT_EQ(Msgs.Boxes.value(0).title, "Veltaro");
    EXPECT_EQ(Form->ComPort.Port(), 6);
    EXPECT_EQ(Form->ComPort.ResponseTime(), 300u);
    EXPECT_EQ(Form->ComPort.Baud(), 9600);
    EXPECT_FALSE(Form->FConnectRequested);
}

TEST_F(SettingsDialogTest, CancelEscAndCloseBoxWithdrawTheConnectRequest)
{
    const struct {
        const char *name;
        std::function<void(TSettingsForm &)> leave;
    } ways[] = {
        {"Cancel", [](TSettingsForm &d) { d.CancelButton->click(); }},
        {"Esc", [](TSettingsForm &d) { QTest::keyClick(d.OkButton, Qt::Key_Escape); }},
        {"close box", [](TSettingsForm &d) { d.close(); }},
    };
    for (const auto &way : ways) {
        SCOPED_TRACE(way.name);
        Form->ComPort.SetPort(2);
        Form->FConnectRequested = true; // left by an earlier Ok
        TSettingsForm dialog(Form.get());
        EXPECT_EQ(ExecDialog(dialog,
                             [&](TSettingsForm &d) {
                                 d.PortComboBox->setCurrentIndex(8);
                                 way.leave(d);
                             }),
                  QDialog::Rejected);
        EXPECT_FALSE(Form->FConnectRequested);
        EXPECT_EQ(Form->ComPort.Port(), 2);
    }
}

TEST_F(SettingsDialogTest, OpensWithOkFocusedAndTabsInTheDescribedOrder)
{
    ShowPage(1); // the baud list is enabled there, so Tab reaches it
    TSettingsForm dialog(Form.get());
    QStringList order;
    ExecDialog(dialog, [&](TSettingsForm &d) {
        // The dialog's window becomes active a little after it is shown.
        FormFixture::WaitUntil([] { return QApplication::focusWidget() != nullptr; });
        QWidget *focus = QApplication::focusWidget();
        order << (focus ? focus->objectName() : "none");
        for (int i = 0; i < 6; ++i) {
            QWidget *target = QApplication::focusWidget();
            QTest::keyClick(target ? target : static_cast<QWidget *>(&d), Qt::Key_Tab);
            focus = QApplication::focusWidget();
            // An editable list's own line edit stands for the list.
            while (focus && focus->objectName().isEmpty())
                focus = focus->parentWidget();
            order << (focus ? focus->objectName() : "none");
        }
        d.CancelButton->click();
    });
    EXPECT_EQ(order.join(' ').toStdString(),
              "OkButton CancelButton PortComboBox TimeOutEdit R2416Baud PairCheckBox OkButton");
}

TEST_F(SettingsDialogTest, EnterPressesOk)
{
    Form->FConnectRequested = false;
    TSettingsForm dialog(Form.get());
    EXPECT_EQ(ExecDialog(dialog, [](TSettingsForm &d) { QTest::keyClick(d.TimeOutEdit, Qt::Key_Return); }),
              QDialog::Accepted);
    EXPECT_TRUE(Form->FConnectRequested);
}

TEST_F(SettingsDialogTest, ControlsAndTextsPerEdition)
{
    const struct {
        const Edition *edition;
        QString baudLabel;
        int bauds;
    } cases[] = {{&MultiModelEdition(), "module's Baud", 15}, {&SingleModelEdition(), "R-2416 Baud", 12}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.edition->Caption.toStdString());
        Make(*c.edition);
        TSettingsForm dialog(Form.get());
        EXPECT_EQ(dialog.windowTitle(), "Settings");
        EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
        EXPECT_EQ(dialog.GroupBox1->title(), "PC's RS-232 Settings");
        EXPECT_EQ(dialog.Label1->text(), "COM Port");
        EXPECT_EQ(dialog.Label2->text(), "Timeout");
        EXPECT_EQ(dialog.Label3->text(), "ms");
        EXPECT_EQ(dialog.Label4->text(), c.baudLabel);
        EXPECT_EQ(dialog.PairCheckBox->text(), "PairConnection Test");
        EXPECT_EQ(dialog.OkButton->text(), "Ok");
        EXPECT_EQ(dialog.CancelButton->text(), "Cancel");
        EXPECT_TRUE(dialog.OkButton->isDefault());

        ASSERT_EQ(dialog.PortComboBox->count(), 32);
        for (int i = 0; i < 32; ++i)
            EXPECT_EQ(dialog.PortComboBox->itemText(i), QString("COM%1").arg(i + 1));
        ASSERT_EQ(dialog.R2416Baud->count(), c.bauds);
        EXPECT_EQ(dialog.R2416Baud->itemText(0), "110");
        EXPECT_EQ(dialog.R2416Baud->itemText(11), "115200");
        for (QComboBox *box : {dialog.PortComboBox, dialog.R2416Baud}) {
            EXPECT_TRUE(box->isEditable());
            EXPECT_EQ(box->insertPolicy(), QComboBox::NoInsert);
        }
        // Typing Enter in a list adds nothing to it.
        QTest::keyClicks(dialog.PortComboBox, "COM77");
        QTest::keyClick(dialog.PortComboBox, Qt::Key_Return);
        EXPECT_EQ(dialog.PortComboBox->count(), 32);

        // Screen readers name each field by its caption.
        EXPECT_EQ(dialog.Label1->buddy(), dialog.PortComboBox);
        EXPECT_EQ(dialog.Label2->buddy(), dialog.TimeOutEdit);
        EXPECT_EQ(dialog.Label4->buddy(), dialog.R2416Baud);
    }
}

TEST_F(SettingsDialogTest, SingleModelEditionStartsWithTheBaudListEnabled)
{
    Make(SingleModelEdition());
    ASSERT_NE(Form->PageControl1, nullptr);
    ASSERT_EQ(Form->PageControl1->currentIndex(), 1);
    TSettingsForm dialog(Form.get());
    EXPECT_TRUE(dialog.R2416Baud->isEnabled());
    EXPECT_EQ(dialog.R2416Baud->currentText(), "115200");
}

class Pty {
public:
    Pty()
    {
        FMaster = posix_openpt(O_RDWR | O_NOCTTY);
        if (FMaster >= 0 && grantpt(FMaster) == 0 && unlockpt(FMaster) == 0)
            FPath = QString::fromLocal8Bit(ptsname(FMaster));
    }
    ~Pty()
    {
        if (FMaster >= 0)
            ::close(FMaster);
    }
    QString Path() const { return FPath; }

private:
    int FMaster = -1;
    QString FPath;
};

TEST_F(SettingsDialogTest, DeviceLineNamesWhatTheChosenPortOpens)
{
    Pty pty;
    ASSERT_FALSE(pty.Path().isEmpty());
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString link = dir.filePath("converter");
    ASSERT_TRUE(QFile::link(pty.Path(), link));
    const QString missing = dir.filePath("gone");

    ScopedEnv com1("VELTARO_COM1", pty.Path());
    ScopedEnv com2("VELTARO_COM2", missing);
    ScopedEnv com3("VELTARO_COM3", link);
    Form->ComPort.SetPort(1);
    TSettingsForm dialog(Form.get());
    // The label may shorten a long line; its tool tip has it whole.
    const auto line = [&] { return dialog.DeviceLabel->toolTip(); };

    EXPECT_EQ(line(), "Opens " + pty.Path());
    EXPECT_EQ(dialog.DeviceLabel->text(), line());
    EXPECT_EQ(dialog.DeviceLabel->textFormat(), Qt::PlainText);

    dialog.PortComboBox->setCurrentIndex(1);
    EXPECT_EQ(line(), missing + " does not exist.");

    dialog.PortComboBox->setCurrentIndex(2);
    EXPECT_EQ(line(), "Opens " + link + " (" + pty.Path() + ")");

    dialog.PortComboBox->setEditText("printer");
    EXPECT_EQ(line(), "No such COM port: connecting will fail.");

    dialog.PortComboBox->setEditText("com1");
    EXPECT_EQ(line(), "Opens " + pty.Path());
}

} // namespace
