// Opening, configuring, writing and losing a real pseudo-terminal device.
#include "PtyPair.h"
#include "QCCom32.h"
#include "SerialLineRate.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <thread>

namespace {

constexpr int ComA = 40;
constexpr int ComB = 41;

termios SlaveTermios(const PtyPair &pty)
{
    termios t {};
    EXPECT_EQ(tcgetattr(pty.Slave(), &t), 0);
    return t;
}

QByteArray AllByteValues()
{
    QByteArray bytes;
    for (int i = 0; i < 256; ++i)
        bytes.append(static_cast<char>(i));
    return bytes;
}

class DeviceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        port.SetPort(ComA);
        port.SetBaud(115200);
        port.SetShowErrors(false);
    }
    PtyPair module { ComA };
    TQCCom32 port;
};

TEST_F(DeviceTest, OpenMakesACookedLineRaw8N1)
{
    ASSERT_TRUE(SlaveTermios(module).c_lflag & ICANON) << "the helper should start cooked";
    ASSERT_TRUE(port.Open());
    EXPECT_EQ(port.DeviceName(), QString::fromStdString(module.Path()));
    EXPECT_GE(port.Handle(), 0);
    const termios t = SlaveTermios(module);
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
    EXPECT_EQ(t.c_iflag & (ICRNL | INLCR | IGNCR | IXON | IXOFF | PARMRK | ISTRIP), 0u);
    EXPECT_EQ(t.c_oflag & OPOST, 0u);
    EXPECT_EQ(t.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS), tcflag_t(CS8));
    EXPECT_EQ(t.c_cflag & (CLOCAL | CREAD), tcflag_t(CLOCAL | CREAD));
    EXPECT_EQ(t.c_cc[VMIN], 0);
    EXPECT_EQ(t.c_cc[VTIME], 0);

    // A different Handshaking reopens (pseudo-terminals keep no CRTSCTS, so
    // the reopen shows as the line set up afresh over a mark of the test's).
    ASSERT_TRUE(SetLineRate(module.Slave(), 4800));
    port.SetHandshaking(hsHardware);
    EXPECT_TRUE(port.Opened());
    EXPECT_EQ(LineRate(module.Slave()), 115200);
}

TEST_F(DeviceTest, AnyRateIsSetAndZeroLeavesTheRateAlone)
{
    ASSERT_TRUE(port.Open());
    for (const int32_t baud : { 9600, 115200, 250000, 1000000, 31250 }) {
        port.SetBaud(baud);
        ASSERT_TRUE(port.Opened());
        EXPECT_EQ(LineRate(module.Slave()), baud);
    }
    port.SetBaud(0); // never B0, which would hang the line up
    ASSERT_TRUE(port.Opened());
    EXPECT_EQ(LineRate(module.Slave()), 31250);
    EXPECT_TRUE(port.WriteString("#A\r"));
    EXPECT_EQ(module.Receive(3), QByteArray("#A\r"));
}

TEST_F(DeviceTest, AllByteValuesPassUnchangedBothWays)
{
    const QByteArray bytes = AllByteValues();
    ASSERT_TRUE(port.WriteString(bytes));
    EXPECT_EQ(module.Receive(bytes.size()), bytes);

    port.SetEndOfResponse(QStringLiteral("#255")); // the last value ends the reply
    module.Send(bytes);
    EXPECT_EQ(port.ReadResponse(), bytes);
    EXPECT_FALSE(port.TimedOut());
}

TEST_F(DeviceTest, LargeWriteGoesOutWholeThroughAFullQueue)
{
    QByteArray big;
    for (int i = 0; i < 1024; ++i)
        big += AllByteValues();
    QByteArray received;
    std::thread reader([&] { received = module.Receive(big.size()); });
    EXPECT_TRUE(port.WriteString(big));
    reader.join();
    EXPECT_EQ(received.size(), big.size());
    EXPECT_TRUE(received == big);
}

TEST_F(DeviceTest, WriteThatTheFarEndNeverTakesFailsInsteadOfHanging)
{
    port.SetBaud(100000000); // a short write budget: about a second
    ASSERT_TRUE(port.Open());
    EXPECT_FALSE(port.WriteString(QByteArray(4 << 20, 'x')));
    EXPECT_TRUE(port.Opened());
    EXPECT_FALSE(port.DeviceLost());
}

TEST_F(DeviceTest, EmptyWriteOpensThePortAndSendsNothing)
{
    EXPECT_TRUE(port.WriteString(QByteArray()));
    EXPECT_TRUE(port.Opened());
    EXPECT_TRUE(module.Receive(1, 100).isEmpty());
}

TEST_F(DeviceTest, ASecondOpenOfAnOpenDeviceFails)
{
    ASSERT_TRUE(port.Open());
    TQCCom32 other;
    other.SetPort(ComA);
    other.SetShowErrors(false);
    EXPECT_FALSE(other.Open());
    EXPECT_FALSE(other.Opened());
    EXPECT_FALSE(other.WriteString("x"));
    port.Close();
    EXPECT_TRUE(other.Open()) << "closing frees the device";
}

TEST_F(DeviceTest, DestructionClosesTheDevice)
{
    {
        TQCCom32 first;
        first.SetPort(ComA);
        ASSERT_TRUE(first.Open());
    }
    EXPECT_TRUE(port.Open());
    port.Close();
    port.Close(); // closing a closed port does nothing
    EXPECT_FALSE(port.Opened());
    EXPECT_EQ(port.Handle(), -1);
    EXPECT_EQ(port.InCount(), 0);
}

TEST_F(DeviceTest, PortChangeReopensOnlyForANewValue)
{
    PtyPair moduleB { ComB };
    ASSERT_TRUE(port.Open());
    // A mark the component would overwrite if it reopened the line.
    ASSERT_TRUE(SetLineRate(module.Slave(), 4800));
    port.SetPort(ComA);
    EXPECT_EQ(LineRate(module.Slave()), 4800) << "same Port: no reopen";

    port.SetPort(ComB);
    ASSERT_TRUE(port.Opened());
    EXPECT_EQ(port.DeviceName(), QString::fromStdString(moduleB.Path()));
    EXPECT_TRUE(port.WriteString("#A\r"));
    EXPECT_EQ(moduleB.Receive(3), QByteArray("#A\r"));
    TQCCom32 other;
    other.SetPort(ComA);
    EXPECT_TRUE(other.Open()) << "the old device was released";

    port.SetPort(0); // no such device
    EXPECT_FALSE(port.Opened());
    EXPECT_EQ(port.Port(), 0);
}

TEST_F(DeviceTest, OpenRetryReadsThePortAgain)
{
    struct RedirectPrompts : TQCCom32Prompts {
        TQCCom32 *port = nullptr;
        QString asked;
        bool RetryOpen(const QString &text) override
        {
            asked = text;
            port->SetPort(ComA);
            return true;
        }
        void PortInUse(const QString &) override {}
        bool RetryTimeout(const QString &) override { return false; }
    } prompts;
    prompts.port = &port;
    port.Prompts = &prompts;
    port.SetShowErrors(true);
    port.SetPort(99);
    EXPECT_TRUE(port.Open());
    EXPECT_EQ(prompts.asked, QStringLiteral("Error opening COM99: "));
    EXPECT_EQ(port.Port(), ComA);
}

TEST_F(DeviceTest, LossIsSeenByInCountAndClearedByClose)
{
    ASSERT_TRUE(port.Open());
    module.CloseMaster();
    EXPECT_EQ(port.InCount(), 0);
    EXPECT_TRUE(port.DeviceLost());
    EXPECT_FALSE(port.WriteString("#A\r"));
    EXPECT_FALSE(port.Open()) << "the device is gone";
    EXPECT_FALSE(port.DeviceLost());

    PtyPair replacement { ComA };
    EXPECT_TRUE(port.Open());
    EXPECT_FALSE(port.DeviceLost());
    EXPECT_TRUE(port.WriteString("ok"));
    EXPECT_EQ(replacement.Receive(2), QByteArray("ok"));
}

} // namespace
