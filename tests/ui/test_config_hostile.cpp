// Replies that a well-behaved module never sends: empty, short, "?" head,
// garbage, over-long, bytes 0x80-0xFF and NUL, and replies that never come.
// A small scripted module on its own pseudo-terminal (COM2) answers each
// received line as the test says; the window must give the specified result
// or a clear message, and never send a malformed command.
#include "FormFixture.h"
#include "ComboIndex.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <optional>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

// Answers each line received (without its CR) with what `script` returns;
// nothing for std::nullopt.
class ScriptedModule {
public:
    using Script = std::function<std::optional<QByteArray>(const QByteArray &line)>;

    explicit ScriptedModule(Script script) : FScript(std::move(script))
    {
        if (::openpty(&FMaster, &FSlave, nullptr, nullptr, nullptr) != 0) {
            ADD_FAILURE() << "no pseudo-terminal";
            return;
        }
        termios tio{};
        if (::tcgetattr(FSlave, &tio) == 0) {
            ::cfmakeraw(&tio);
            ::tcsetattr(FSlave, TCSANOW, &tio);
        }
        FPath = QString::fromLocal8Bit(::ttyname(FSlave));
        setenv("VELTARO_COM2", FPath.toLocal8Bit().constData(), 1);
        FThread = std::thread([this] { Run(); });
    }

    ~ScriptedModule()
    {
        FStop = true;
        if (FThread.joinable())
            FThread.join();
        unsetenv("VELTARO_COM2");
        if (FMaster >= 0)
            ::close(FMaster);
        if (FSlave >= 0)
            ::close(FSlave);
    }

    QList<QByteArray> Lines() const
    {
        std::lock_guard<std::mutex> lock(FMutex);
        return FLines;
    }
    size_t Count() const { return size_t(Lines().size()); }

private:
    void Run()
    {
        QByteArray pending;
        while (!FStop) {
            pollfd p{FMaster, POLLIN, 0};
            if (::poll(&p, 1, 10) <= 0)
                continue;
            char buf[512];
            const ssize_t n = ::read(FMaster, buf, sizeof buf);
            if (n <= 0)
                continue;
            pending.append(buf, n);
            qsizetype cr;
            while ((cr = pending.indexOf('\r')) >= 0) {
                const QByteArray line = pending.left(cr);
                pending.remove(0, cr + 1);
                const std::optional<QByteArray> reply = FScript(line);
                {
                    std::lock_guard<std::mutex> lock(FMutex);
                    FLines << line + '\r';
                }
                if (reply && !reply->isEmpty() && ::write(FMaster, reply->constData(), size_t(reply->size())) < 0)
                    ADD_FAILURE() << "reply not written";
            }
        }
    }

    Script FScript;
    int FMaster = -1, FSlave = -1;
    QString FPath;
    std::thread FThread;
    std::atomic<bool> FStop{false};
    mutable std::mutex FMutex;
    QList<QByteArray> FLines;
};

using Replies = std::map<QByteArray, std::optional<QByteArray>>;

// A version-3, pair-capable module in configuration mode; `changes` replace
// the reply to a line (std::nullopt: no reply at all).
ScriptedModule::Script ConfigScript(Replies changes = {})
{
    Replies replies = {
        {"#A", "!S3.00\r"},
        {"#A64", "!S3.00\r"},
        {"#PV", "!V3.00\r"},
        {"#PC", "!CVeskora\r"},
        {"#PM", "!MR-2416XX\r"},
        {"#P0", "!00B30000\r"},
        {"#P1", "!1040" "00000000" "00000000" "00000001" "000" "0" "\r"},
        {"#PU", "!U0000000\r"},
        {"#PMC0", "!MR-2416XX\r"},
    };
    for (const auto &[line, reply] : changes)
        replies[line] = reply;
    return [replies](const QByteArray &line) -> std::optional<QByteArray> {
        const auto it = replies.find(line);
        if (it != replies.end())
            return it->second;
        for (const char *write : {"$P0", "$PU", "$P1"})
            if (line.startsWith(write))
                return QByteArray("!") + QByteArray(write).mid(1) + '\r';
        return std::nullopt;
    };
}

DialogAnswer OnCom2(const char *timeout = "150")
{
    DialogAnswer a;
    a.port = 2;
    a.timeout = timeout;
    return a;
}

void OnLines(const ScriptedModule &m, size_t count, std::function<void()> action)
{
    auto *poll = new QTimer;
    poll->setInterval(2);
    QObject::connect(poll, &QTimer::timeout, [poll, &m, count, action] {
        if (m.Count() < count)
            return;
        poll->stop();
        poll->deleteLater();
        action();
    });
    poll->start();
}

// Every write command the module got is well formed: its own name, upper-case
// hexadecimal data of the group's length, the right checksum, one CR.
void ExpectWellFormedWrites(const QList<QByteArray> &lines)
{
    static const QRegularExpression form(
        "^(\\$P009[0-9A-F]{7}|\\$PU09[0-9A-F]{7}|\\$P115[0-9A-F]{19}|\\$P121[0-9A-F]{27}[01]{3}[0-4])"
        "([0-9A-F]{2})\r$");
    for (const QByteArray &l : lines) {
        if (!l.startsWith('$'))
            continue;
        const auto m = form.match(QString::fromLatin1(l));
        ASSERT_TRUE(m.hasMatch()) << l.toStdString();
        unsigned sum = 0;
        for (char c : m.captured(1).toLatin1())
            sum += static_cast<unsigned char>(c);
        EXPECT_EQ(m.captured(2).toUInt(nullptr, 16), sum & 0xFF) << l.toStdString();
    }
}

} // namespace

TEST(ConfigHostile, WakeUpRepliesThatAreNotAModeReply)
{
    struct Row {
        std::optional<QByteArray> wakeUp, checksummed;
        QString message;
        bool portOpen;
        int linesSent;
    };
    const std::optional<QByteArray> none;
    for (const Row &r : {
             Row{QByteArray("xx\r"), none, "Timeout!!! COM2 Connect Failed!", false, 1},
             Row{QByteArray("\r"), none, "Timeout!!! COM2 Connect Failed!", false, 1},
             Row{QByteArray("\x80\xff\x00\r", 4), none, "Timeout!!! COM2 Connect Failed!", false, 1},
             Row{QByteArray("!S3.00 CAN:12\r"), none, "Please remove the CAN connector when connecting!!!", true, 1},
             Row{QByteArray("?\r"), QByteArray("?\r"), "COM2 Connect Failed!", false, 2},
             Row{none, QByteArray("!S3.00\r"), "COM2 Connect Failed!", false, 2},
             Row{none, QByteArray("t12380011223344\r"), "Remove the CAN Connector When Connecting!!!", true, 2},
         }) {
        FormFixture f;
        ScriptedModule m(ConfigScript({{"#A", r.wakeUp}, {"#A64", r.checksummed}}));
        f.Connect(OnCom2());
        EXPECT_EQ(f.Msgs.Texts(), QStringList{r.message});
        EXPECT_EQ(f.Form->ComPort.Opened(), r.portOpen) << r.message.toStdString();
        EXPECT_EQ(m.Lines().size(), r.linesSent) << r.message.toStdString();
        EXPECT_FALSE(f.Form->FConnected);
        EXPECT_FALSE(f.Form->FChecksumOn);
    }
}

TEST(ConfigHostile, AfterTheConnectorMessageTheNextConnectWorks)
{
    FormFixture f;
    int wakeUps = 0;
    ScriptedModule m([&wakeUps, normal = ConfigScript()](const QByteArray &line) -> std::optional<QByteArray> {
        if (line == "#A" && wakeUps++ == 0)
            return QByteArray("T1234567880011223344\r");
        return normal(line);
    });
    f.Connect(OnCom2());
    ASSERT_EQ(f.Msgs.Texts(), QStringList{"Please remove the CAN connector when connecting!!!"});
    f.Msgs.Clear();
    f.Connect(OnCom2());
    EXPECT_TRUE(f.Msgs.Texts().isEmpty()) << f.Msgs.Texts().join('|').toStdString();
    EXPECT_EQ(f.Form->FModuleMode, mmConfiguration);
}

TEST(ConfigHostile, ModeLetterWinsOverAQuestionMarkHead)
{
    FormFixture f;
    ScriptedModule m(ConfigScript({{"#A", QByteArray("?S2.10\r")}}));
    f.Connect(OnCom2());
    EXPECT_EQ(f.Form->FModuleMode, mmConfiguration);
    EXPECT_EQ(m.Lines().value(1), "#PV\r");
}

TEST(ConfigHostile, IdentificationWithoutRepliesOrWithOddBytes)
{
    {   // no identification replies: the wake-up version and earlier names stay
        FormFixture f;
        ScriptedModule m(ConfigScript({{"#A", QByteArray("!S2.10\r")}, {"#PV", std::nullopt},
                                       {"#PC", std::nullopt}, {"#PM", std::nullopt}}));
        f.Connect(OnCom2("80"));
        EXPECT_EQ(f.Form->StatusPanels[2]->text(), "Ver: 2.10");
        EXPECT_EQ(f.Form->CompanyName, "Veskora");
        EXPECT_EQ(f.Form->FModuleName, "R-2416");
        EXPECT_EQ(f.Form->FModuleMode, mmConfiguration);
    }
    {   // control and high bytes in the names are taken as they come
        FormFixture f;
        ScriptedModule m(ConfigScript({{"#PC", QByteArray("!CA\x00\xff" "B\x80" "CDEF\r", 12)},
                                       {"#PM", QByteArray("!M\xe9\x00-2416\r", 10)}}));
        f.Connect(OnCom2());
        EXPECT_EQ(f.Form->CompanyName, QString::fromLatin1(QByteArray("A\x00\xff" "B\x80" "CD", 7)));
        EXPECT_EQ(f.Form->FModuleName, "N-2416");
        EXPECT_EQ(f.Form->FModuleMode, mmConfiguration);
    }
}

TEST(ConfigHostile, MalformedSettingsRepliesNeverLeadToAMalformedCommand)
{
    const QByteArray longReply = "!0" + QByteArray(300, '7') + "\r";
    struct Row {
        QByteArray rs232, can;
    };
    for (const Row &r : {
             Row{"!0\r", "!1\r"},
             Row{"?00B30000\r", "?1040000000000000000\r"},
             Row{"!0ZZ~~~~~\r", "!1Z~a" "GGGGGGGG" "zzzzzzzz" "1234567X" "xyz" "q" "\r"},
             Row{QByteArray("!0\x00\xff\x80\x81\x82\x83\x84\r", 10), QByteArray("!1\x00\xff\x80\x81\x82\r", 8)},
             Row{longReply, "!1" + QByteArray(300, 'F') + "\r"},
             Row{"!00B30000\r", "!104Z" "00000000" "00000000" "00000001" "000" "0" "\r"},
         }) {
        FormFixture f;
        ScriptedModule m(ConfigScript({{"#P0", r.rs232}, {"#P1", r.can}}));
        f.Connect(OnCom2());
        const std::string row = r.rs232.left(12).toStdString();
        ASSERT_EQ(f.Form->FModuleMode, mmConfiguration) << row;
        EXPECT_TRUE(f.Msgs.Texts().isEmpty()) << row << f.Msgs.Texts().join('|').toStdString();
        EXPECT_GE(f.Form->FBaudIndex, 0) << row;
        f.Msgs.Clear();
        f.Form->SettingButton->click();
        ExpectWellFormedWrites(m.Lines());
        ASSERT_EQ(f.Msgs.Texts().size(), 1) << row;
        EXPECT_TRUE(f.Msgs.Texts()[0] == "Setting OK!!!" || f.Msgs.Texts()[0] == "Setting Failed!!!")
            << row << f.Msgs.Texts()[0].toStdString();
        f.Msgs.Clear();
        f.Form->DefaultButton->click();
        ExpectWellFormedWrites(m.Lines());
        // The defaults put every group back in range, reserved digit included.
        EXPECT_EQ(f.Msgs.Texts(), QStringList{"Setting OK!!!"}) << row;
    }
}

TEST(ConfigHostile, EmptySettingsRepliesAreReported)
{
    struct Row {
        const char *silentOn;
        QString message;
    };
    for (const Row &r : {Row{"#P0", "Get Module COM Setting Error!"},
                         Row{"#P1", "Get Module CAN Setting Error!"},
                         Row{"#PU", "Get Module CAN Setting Error2!"}}) {
        FormFixture f;
        Replies replies = {{"#P1", QByteArray("!10A0" "00000000" "00000000" "00000001" "000" "0" "\r")}};
        replies[r.silentOn] = std::nullopt;
        ScriptedModule m(ConfigScript(replies));
        f.Connect(OnCom2("80"));
        EXPECT_EQ(f.Msgs.Texts(), QStringList{r.message});
        EXPECT_TRUE(f.Form->FConnected);
        EXPECT_EQ(f.Form->FModuleMode, mmConfiguration);
        EXPECT_EQ(f.Form->FBaudIndex, 11);
    }
}

TEST(ConfigHostile, TwoZeroALayoutTakesOnlyTheLowDigits)
{
    FormFixture f;
    ScriptedModule m(ConfigScript(
        {{"#P1", QByteArray("!1040" "1A2B3C4D" "00123000" "12345000" "000" "0" "\r")}}));
    f.Connect(OnCom2());
    EXPECT_EQ(f.Form->AcceptanceCodeText, "A2B");
    // The 2.0A maximum then lowers a code above 7FF.
    EXPECT_EQ(f.Form->CanCodeEdit->text(), "7FF");
    EXPECT_EQ(f.Form->CanMaskEdit->text(), "012");
    EXPECT_EQ(f.Form->CANIDEdit->text(), "001");
}

TEST(ConfigHostile, PairReplyEndingEarlyCountsTheFlagsAsOn)
{
    FormFixture f;
    ScriptedModule m(ConfigScript({{"#P1", QByteArray("!1140" "00000000" "00000000" "0000\r")}}));
    f.Connect(OnCom2());
    TMainForm &w = *f.Form;
    EXPECT_TRUE(w.ChkBox_Pair->isChecked());
    EXPECT_TRUE(w.ChkBox_TxCANID->isChecked());
    EXPECT_TRUE(w.ChkBox_RespWCANID->isChecked());
    EXPECT_EQ(w.EndOfCommandCode, 0);
}

TEST(ConfigHostile, TimingReplyDigitsOfEitherCase)
{
    for (const QByteArray &reply : {QByteArray("!U1A3070F\r"), QByteArray("!U1a3070f\r")}) {
        FormFixture f;
        ScriptedModule m(ConfigScript(
            {{"#P1", QByteArray("!10A0" "00000000" "00000000" "00000001" "000" "0" "\r")}, {"#PU", reply}}));
        f.Connect(OnCom2());
        TMainForm &w = *f.Form;
        EXPECT_EQ(w.ClockModeEdit->text(), "1");
        EXPECT_EQ(w.BT1Edit->text(), "A3");
        EXPECT_EQ(w.BT2Edit->text(), "07");
        EXPECT_EQ(w.BT3Edit->text(), "0F");
        EXPECT_NE(w.BREdit1->text(), "0");
    }
}

// A timing reply that does not convert ends the read, and with it the
// connect procedure, through the top-level error report.
TEST(ConfigHostile, TimingReplyThatDoesNotConvertEndsTheConnect)
{
    struct Row {
        QByteArray reply;
        QString message;
    };
    for (const Row &r : {Row{"!U1A3G70F\r", "'$G' is not a valid integer value."},
                         Row{"!U1A\r", "'$\r' is not a valid integer value."},
                         Row{"!U1A30", "'$' is not a valid integer value."}}) {
        FormFixture f;
        ScriptedModule m(ConfigScript(
            {{"#P0", QByteArray("!0093000\r")},
             {"#P1", QByteArray("!10A0" "00000000" "00000000" "00000001" "000" "0" "\r")},
             {"#PU", r.reply}}));
        f.AnswerNextDialog(OnCom2());
        f.Form->Connect1->trigger();
        EXPECT_EQ(f.Msgs.Texts(), QStringList{r.message}) << r.reply.toStdString();
        EXPECT_TRUE(f.Form->FConnected);
        EXPECT_EQ(f.Form->FModuleMode, mmConfiguration);
        EXPECT_EQ(SelectedIndex(f.Form->RS232BaudrateComboBox), 9);
        EXPECT_EQ(f.Form->FBaudIndex, 11); // the steps after the read did not run
        EXPECT_EQ(f.Form->BT1Edit->text(), "00");
    }
}

// Disconnecting while a reply is awaited stops the procedure there: nothing
// more is sent, no message, and the window stays disconnected.
TEST(ConfigHostile, DisconnectWhileAReplyIsAwaitedStopsTheProcedure)
{
    for (const char *stall : {"#PV", "#PM", "#P0", "#P1", "#PU"}) {
        FormFixture f;
        Replies replies = {{"#P1", QByteArray("!10A0" "00000000" "00000000" "00000001" "000" "0" "\r")}};
        replies[stall] = std::nullopt;
        ScriptedModule m(ConfigScript(replies));
        TMainForm &w = *f.Form;
        auto *poll = new QTimer;
        poll->setInterval(2);
        QObject::connect(poll, &QTimer::timeout, [poll, &m, &w, stall] {
            if (m.Lines().isEmpty() || m.Lines().last() != QByteArray(stall) + '\r')
                return;
            poll->stop();
            poll->deleteLater();
            w.DisconnectToolButtonClick();
        });
        poll->start();
        f.Connect(OnCom2("3000"));
        EXPECT_EQ(m.Lines().last(), QByteArray(stall) + '\r') << stall;
        EXPECT_TRUE(f.Msgs.Texts().isEmpty()) << stall << f.Msgs.Texts().join('|').toStdString();
        EXPECT_FALSE(w.FConnected) << stall;
        EXPECT_EQ(w.FModuleMode, mmNone) << stall;
        EXPECT_EQ(w.StatusPanels[0]->text(), "Not connected") << stall;
        EXPECT_FALSE(w.ComPort.Opened()) << stall;
    }
}

TEST(ConfigHostile, WriteStoppedByDisconnectShowsNoOutcome)
{
    FormFixture f;
    ScriptedModule m([normal = ConfigScript()](const QByteArray &line) -> std::optional<QByteArray> {
        if (line.startsWith("$PU"))
            return std::nullopt;
        return normal(line);
    });
    f.Connect(OnCom2("3000"));
    ASSERT_EQ(f.Form->FModuleMode, mmConfiguration);
    const size_t before = m.Count();
    OnLines(m, before + 2, [&] { f.Form->DisconnectToolButtonClick(); });
    f.Form->SettingButton->click();
    EXPECT_EQ(m.Count(), before + 2); // RS-232 and timing; the CAN group never goes out
    EXPECT_TRUE(f.Msgs.Texts().isEmpty()) << f.Msgs.Texts().join('|').toStdString();
    EXPECT_FALSE(f.Form->FConnected);
}

TEST(ConfigHostile, DiagnosticReplyIsCutAtFortyOneCharactersOrAtNul)
{
    struct Row {
        QByteArray reply, shown;
    };
    const QByteArray longReply = "!M" + QByteArray(60, 'x') + "\r";
    for (const Row &r : {Row{longReply, longReply.left(41)},
                         Row{QByteArray("!MAB\x00" "CD\r", 8), "!MAB"},
                         Row{QByteArray("!M\xe9\xff\r"), QByteArray("!M\xe9\xff\r")}}) {
        FormFixture f;
        ScriptedModule m(ConfigScript({{"#PMC0", r.reply}}));
        f.Connect(OnCom2());
        f.Form->Button1->click();
        EXPECT_EQ(m.Lines().last(), "#PMC0\r");
        EXPECT_EQ(f.Form->Edit2->text(), QString::fromLatin1(r.shown));
    }
}
