// Sending from the Test page: the bytes each kind of line puts on the wire,
// auto-send and Stop, the interval rules, the message field rules, and the
// failures (a write that fails, a line that cannot be built on every tick).
#include "test_testpage_support.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <cstdlib>

using namespace testpage;

namespace {

// Fills the message fields (with "Use CAN Message" checked) as the user would
// leave them; texts are set in the order a user fills them in.
void FillMessage(TMainForm &f, const QString &id, const QString &mode, const QString &rtr,
                 const QString &dlc, const QStringList &data)
{
    f.CANCheckBox->setChecked(true);
    f.ModeEdit->setText(mode);
    f.RTREdit->setText(rtr);
    f.IDEdit->setText(id);
    f.DLCEdit->setText(dlc);
    const auto edits = f.DataEdits();
    for (int k = 0; k < 8; ++k)
        edits[size_t(k)]->setText(k < data.size() ? data[k] : QStringLiteral("0"));
}

// Presses Send and returns the bytes the module received for it.
QByteArray SendOnce(FormFixture &fx)
{
    const size_t before = fx.Sim.ReceivedCount();
    fx.Form->SendBitBtn->click();
    if (!fx.Sim.WaitForLines(before + 1, std::chrono::seconds(3)))
        return "<nothing arrived>";
    return fx.Sim.ReceivedLines().back().bytes;
}

struct FrameCase {
    const char *name;
    QString id, mode, rtr, dlc;
    QStringList data;
    QByteArray plain, checksummed; // bytes written without / with checksums
};

const std::vector<FrameCase> kFrames = {
    {"standard data", "123", "0", "0", "2", {"11", "22"}, "t12321122\r", "t1232112202\r"},
    {"standard remote", "123", "0", "1", "2", {"11", "22"}, "T1232\r", "T12321C\r"},
    {"extended data", "123", "1", "0", "2", {"11", "22"}, "e0000012321122\r", {}},
    {"extended remote, DLC 8 sends no data", "1FFFFFFF", "1", "1", "8", {"1", "2"}, "E1FFFFFFF8\r", {}},
    {"DLC 0", "7FF", "0", "0", "0", {"AA"}, "t7FF0\r", {}},
    {"DLC 3 sends only D1-D3", "1", "0", "0", "3", {"1", "", "3", "4", "5", "6", "7", "8"},
     "t0013010003\r", {}},
};

} // namespace

TEST(TestPageSend, MessageLinesWithoutChecksum)
{
    FormFixture fx(MultiModelEdition(), Operation());
    TMainForm &f = *fx.Form;
    RunSteps(fx, {{"send every frame kind", nullptr, [&] {
                       ASSERT_FALSE(f.FChecksumOn);
                       fx.Sim.ClearReceived();
                       for (const FrameCase &c : kFrames) {
                           SCOPED_TRACE(c.name);
                           FillMessage(f, c.id, c.mode, c.rtr, c.dlc, c.data);
                           EXPECT_EQ(SendOnce(fx), c.plain);
                           // SendEdit shows the line without checksum and CR.
                           EXPECT_EQ(f.SendEdit->text().toLatin1() + "\r", c.plain);
                       }
                   }}});
    EXPECT_TRUE(fx.Msgs.Texts().isEmpty()) << fx.Msgs.Texts().join(" | ").toStdString();
}

TEST(TestPageSend, ChecksumAddedWhenTheModuleAnsweredTheChecksummedWakeUp)
{
    FormFixture fx(MultiModelEdition(), Operation("refuse-plain-wakeup"));
    TMainForm &f = *fx.Form;
    RunSteps(fx, {{"send with checksums", nullptr, [&] {
                       ASSERT_TRUE(f.FChecksumOn);
                       for (const FrameCase &c : kFrames) {
                           if (c.checksummed.isEmpty())
                               continue;
                           SCOPED_TRACE(c.name);
                           FillMessage(f, c.id, c.mode, c.rtr, c.dlc, c.data);
                           EXPECT_EQ(SendOnce(fx), c.checksummed);
                           EXPECT_EQ(f.SendEdit->text().toLatin1() + "\r", c.plain);
                       }
                       // Free text carries the checksum too; an empty line is "00" + CR.
                       f.CANCheckBox->setChecked(false);
                       f.SendEdit->setText(QString());
                       EXPECT_EQ(SendOnce(fx), QByteArray("00\r"));
                       f.SendEdit->setText(QStringLiteral("AB"));
                       EXPECT_EQ(SendOnce(fx), QByteArray("AB83\r"));
                   }}});
}

TEST(TestPageSend, FreeTextGoesOutAsTypedInLatin1)
{
    struct Case {
        QString text;
        QByteArray bytes;
    };
    const std::vector<Case> cases = {
        {QString(), "\r"},                                   // the empty line: a lone CR
        {QStringLiteral("#A hello $P0"), "#A hello $P0\r"}, // commands are sent as typed
        {QStringLiteral("caf\u00e9 \u00ff"), "caf\xe9 \xff\r"},
        {QStringLiteral("\u20ac1 \u4e2d"), "?1 ?\r"}, // outside Latin-1
    };
    FormFixture fx(MultiModelEdition(), Operation());
    TMainForm &f = *fx.Form;
    RunSteps(fx, {{"send free text", nullptr, [&] {
                       ASSERT_FALSE(f.CANCheckBox->isChecked());
                       for (const Case &c : cases) {
                           f.SendEdit->setText(c.text);
                           EXPECT_EQ(SendOnce(fx), c.bytes);
                           EXPECT_EQ(f.SendEdit->text(), c.text);
                       }
                       // A long text is sent whole, nothing cut.
                       const QString longText(300, QChar('x'));
                       f.SendEdit->setText(longText);
                       EXPECT_EQ(SendOnce(fx), longText.toLatin1() + "\r");
                   }}});
}

TEST(TestPageSend, LineThatCannotBeBuiltSendsNothingAndIsReported)
{
    struct Case {
        QString id, rtr, dlc, message;
    };
    const std::vector<Case> cases = {
        {"", "0", "2", "'$' is not a valid integer value."},
        {"123", "0", "", "'' is not a valid integer value."},
    };
    FormFixture fx(MultiModelEdition(), Operation());
    TMainForm &f = *fx.Form;
    RunSteps(fx, {{"send unbuildable lines", nullptr, [&] {
                       for (const Case &c : cases) {
                           FillMessage(f, c.id, "0", c.rtr, c.dlc, {});
                           f.SendEdit->setText(QStringLiteral("previous"));
                           fx.Msgs.Clear();
                           fx.Sim.ClearReceived();
                           f.SendBitBtn->click();
                           EXPECT_EQ(fx.Msgs.Texts(), QStringList{c.message});
                           EXPECT_EQ(f.SendEdit->text(), "previous");
                       }
                       FormFixture::Pump(50);
                       EXPECT_EQ(fx.Sim.ReceivedCount(), 0u);
                       // An empty DLC is fine in a remote frame.
                       FillMessage(f, "123", "0", "1", "", {});
                       EXPECT_EQ(SendOnce(fx), QByteArray("T123\r"));
                   }}});
}

TEST(TestPageSend, AutoSendRepeatsUntilStop)
{
    FormFixture fx(MultiModelEdition(), Operation());
    TMainForm &f = *fx.Form;
    size_t atStop = 0;
    RunSteps(fx, {
        {"start", nullptr, [&] {
             f.SendEdit->setText(QStringLiteral("ping"));
             f.IntervalEdit->setText(QStringLiteral("20"));
             f.SetBitBtn->click();
             fx.Sim.ClearReceived();
             f.AutoBitBtn->click();
             EXPECT_TRUE(f.Timer2->isActive());
             EXPECT_TRUE(f.StopBitBtn->isEnabled());
             EXPECT_FALSE(f.AutoBitBtn->isEnabled());
             EXPECT_FALSE(f.SendBitBtn->isEnabled());
         }},
        {"lines arrive", [&] { return fx.Sim.ReceivedCount() >= 4; }, [&] {
             f.StopBitBtn->click();
             EXPECT_FALSE(f.Timer2->isActive());
             EXPECT_FALSE(f.StopBitBtn->isEnabled());
             EXPECT_TRUE(f.AutoBitBtn->isEnabled());
             EXPECT_TRUE(f.SendBitBtn->isEnabled());
             FormFixture::Pump(30); // the simulator takes in the last line
             atStop = fx.Sim.ReceivedCount();
         }},
        {"nothing after Stop", nullptr, [&] {
             FormFixture::Pump(150);
             EXPECT_EQ(fx.Sim.ReceivedCount(), atStop);
             for (const sim::ReceivedLine &l : fx.Sim.ReceivedLines())
                 EXPECT_EQ(l.bytes, QByteArray("ping\r"));
         }},
    });
    EXPECT_TRUE(fx.Msgs.Texts().isEmpty());
}

TEST(TestPageSend, IntervalRules)
{
    struct Case {
        QString typed;
        QString shown;
        int interval;
        bool warned;
    };
    const std::vector<Case> cases = {
        {"0", "500", 500, false},
        {"", "500", 500, true},
        {"250", "250", 250, false},
        {"00007", "7", 7, false},
        {"99999", "99999", 99999, false},
    };
    FormFixture fx(MultiModelEdition(), Operation());
    TMainForm &f = *fx.Form;
    RunSteps(fx, {{"interval texts", nullptr, [&] {
                       EXPECT_FALSE(f.SetBitBtn->isEnabled());
                       for (const Case &c : cases) {
                           SCOPED_TRACE(c.typed.toStdString());
                           f.IntervalEdit->setText(QStringLiteral("12"));
                           f.IntervalEdit->setText(c.typed);
                           EXPECT_TRUE(f.SetBitBtn->isEnabled()); // any change enables Set
                           fx.Msgs.Clear();
                           f.SetBitBtn->click();
                           EXPECT_EQ(f.IntervalEdit->text(), c.shown);
                           EXPECT_EQ(f.Timer2->interval(), c.interval);
                           EXPECT_FALSE(f.SetBitBtn->isEnabled());
                           EXPECT_EQ(fx.Msgs.Texts(),
                                     c.warned ? QStringList{"Please input a numerical value!"}
                                              : QStringList{});
                           if (c.warned) {
                               EXPECT_EQ(fx.Msgs.Boxes[0].icon, MsgIcon::Warning);
                           }
                       }
                       // Editing without Set changes nothing.
                       f.IntervalEdit->setText(QStringLiteral("42"));
                       EXPECT_EQ(f.Timer2->interval(), 99999);
                   }}});
}

TEST(TestPageSend, SetWithTheSameIntervalDoesNotRestartARunningTimer)
{
    FormFixture fx(MultiModelEdition(), Operation());
    TMainForm &f = *fx.Form;
    RunSteps(fx, {
        {"start at 500 ms", nullptr, [&] {
             f.SendEdit->setText(QStringLiteral("x"));
             f.AutoBitBtn->click();
             FormFixture::Pump(300);
             f.IntervalEdit->setText(QStringLiteral("500"));
             f.SetBitBtn->click();
             // Not restarted: at most the rest of the first period remains.
             EXPECT_LE(f.Timer2->remainingTime(), 300);
             f.IntervalEdit->setText(QStringLiteral("400"));
             f.SetBitBtn->click();
             // A new interval starts a new period.
             EXPECT_GT(f.Timer2->remainingTime(), 300);
             f.StopBitBtn->click();
         }},
    });
}

TEST(TestPageFields, MessageFieldRules)
{
    FormFixture fx(MultiModelEdition(), Operation());
    TMainForm &f = *fx.Form;
    const auto enabledData = [&f] {
        QString s;
        for (TNumberEdit *d : f.DataEdits())
            s += d->isEnabled() ? '1' : '0';
        return s;
    };
    RunSteps(fx, {{"field rules", nullptr, [&] {
                       // Checking the box enables every field whatever DLC says.
                       f.CANCheckBox->setChecked(true);
                       EXPECT_EQ(enabledData(), "11111111");
                       EXPECT_TRUE(f.IDEdit->isEnabled() && f.ModeEdit->isEnabled() &&
                                   f.RTREdit->isEnabled() && f.DLCEdit->isEnabled());
                       EXPECT_FALSE(f.SendEdit->isEnabled());

                       f.DLCEdit->setText(QStringLiteral("3"));
                       EXPECT_EQ(enabledData(), "11100000");
                       // "9" typed into DLC is refused; DLC keeps 3.
                       f.DLCEdit->setFocus();
                       f.DLCEdit->selectAll();
                       QTest::keyClicks(f.DLCEdit, QStringLiteral("9"));
                       EXPECT_EQ(f.DLCEdit->text(), "3");
                       EXPECT_EQ(enabledData(), "11100000");

                       f.RTREdit->setText(QStringLiteral("1"));
                       EXPECT_EQ(enabledData(), "00000000");
                       f.DLCEdit->setText(QStringLiteral("5")); // remote frame: no change
                       EXPECT_EQ(enabledData(), "00000000");
                       f.RTREdit->setText(QStringLiteral("0"));
                       EXPECT_EQ(enabledData(), "11111000");

                       // MODE 1 pads the identifier to 8 digits, MODE 0 keeps the last 3.
                       f.IDEdit->setText(QStringLiteral("123"));
                       f.ModeEdit->setText(QStringLiteral("1"));
                       EXPECT_EQ(f.IDEdit->text(), "00000123");
                       EXPECT_EQ(f.IDEdit->MaxTypedLength(), 8);
                       f.IDEdit->setText(QStringLiteral("1ABCDEF0"));
                       f.ModeEdit->setText(QStringLiteral("0"));
                       EXPECT_EQ(f.IDEdit->text(), "EF0");
                       EXPECT_EQ(f.IDEdit->MaxTypedLength(), 3);

                       // Extended format with an empty identifier: reported, limit already 8.
                       f.IDEdit->setText(QString());
                       fx.Msgs.Clear();
                       f.ModeEdit->setText(QStringLiteral("1"));
                       EXPECT_EQ(fx.Msgs.Texts(), QStringList{"'$' is not a valid integer value."});
                       EXPECT_EQ(f.IDEdit->text(), "");
                       EXPECT_EQ(f.IDEdit->MaxTypedLength(), 8);

                       // Clearing the box: fields off, SendEdit on; rules then idle.
                       f.CANCheckBox->setChecked(false);
                       EXPECT_EQ(enabledData(), "00000000");
                       EXPECT_FALSE(f.IDEdit->isEnabled());
                       EXPECT_TRUE(f.SendEdit->isEnabled());
                       f.IDEdit->setText(QStringLiteral("123"));
                       f.ModeEdit->setText(QStringLiteral("0"));
                       f.ModeEdit->setText(QStringLiteral("1"));
                       EXPECT_EQ(f.IDEdit->text(), "123");
                       f.DLCEdit->setText(QStringLiteral("2"));
                       EXPECT_EQ(enabledData(), "00000000");
                   }}});
}

TEST(TestPageSend, FailedWriteStopsAutoSendBeforeTheSingleReport)
{
    FormFixture fx(MultiModelEdition(), Operation());
    TMainForm &f = *fx.Form;
    ModalMessages boxes(150);
    bool stoppedWhenShown = false;
    boxes.OnShow = [&](const QString &) {
        stoppedWhenShown = !f.Timer2->isActive() && !f.StopBitBtn->isEnabled() &&
                           f.AutoBitBtn->isEnabled() && f.SendBitBtn->isEnabled();
    };
    const QByteArray device = qgetenv("VELTARO_COM1");
    RunSteps(fx, {
        {"auto-send to a port that cannot be opened", nullptr, [&] {
             f.SendEdit->setText(QStringLiteral("x"));
             f.IntervalEdit->setText(QStringLiteral("10"));
             f.SetBitBtn->click();
             f.AutoBitBtn->click();
             // The port closes under the window and its device disappears:
             // the next write has to open it again and cannot.
             setenv("VELTARO_COM1", "/nonexistent/tty-for-test", 1);
             f.ComPort.Close();
         }},
        {"reported", [&] { return !boxes.Texts.isEmpty() && boxes.Depth == 0; }, [&] {
             FormFixture::Pump(100);
             EXPECT_EQ(boxes.Texts, QStringList{"Send Messages Failed!!!"});
             EXPECT_TRUE(stoppedWhenShown);
             EXPECT_FALSE(f.Timer2->isActive());
             // A press of Send fails the same way, once.
             f.SendBitBtn->click();
             EXPECT_EQ(boxes.Texts.size(), 2);
             EXPECT_EQ(boxes.MaxDepth, 1);
             setenv("VELTARO_COM1", device.constData(), 1);
         }},
    });
}

TEST(TestPageSend, AutoSendOfAnUnbuildableLineShowsOneReportAtATime)
{
    FormFixture fx(MultiModelEdition(), Operation());
    TMainForm &f = *fx.Form;
    ModalMessages boxes(120); // each box stays open for several ticks
    RunSteps(fx, {
        {"auto-send with an empty identifier", nullptr, [&] {
             f.CANCheckBox->setChecked(true);
             f.IDEdit->setText(QString());
             f.IntervalEdit->setText(QStringLiteral("10"));
             f.SetBitBtn->click();
             fx.Sim.ClearReceived();
             f.AutoBitBtn->click();
         }},
        {"a few reports", [&] { return boxes.Texts.size() >= 3; }, [&] {
             f.StopBitBtn->click();
             EXPECT_EQ(boxes.MaxDepth, 1);
             for (const QString &t : boxes.Texts)
                 EXPECT_EQ(t, "'$' is not a valid integer value.");
             EXPECT_EQ(fx.Sim.ReceivedCount(), 0u);
         }},
    });
}
