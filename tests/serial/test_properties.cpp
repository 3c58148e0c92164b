// TQCCom32 without a device: terminator decoding, construction values,
// setters, the COM number map and opening a port that doesn't exist.
#include "ComPortMap.h"
#include "QCCom32.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

struct DecodeCase {
    const char *text;
    QByteArray terminator;
};

class DecodeTerminatorTest : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeTerminatorTest, DecodesAsTheTextSays)
{
    const DecodeCase &c = GetParam();
    EXPECT_EQ(TQCCom32::DecodeTerminator(QString::fromLatin1(c.text)), c.terminator)
        << "text: " << c.text;
}

INSTANTIATE_TEST_SUITE_P(Examples, DecodeTerminatorTest, ::testing::Values(
    DecodeCase { "#13", "\r" },
    DecodeCase { "#13#10", "\r\n" },
    DecodeCase { "OK#13", "OK\r" },
    DecodeCase { "abc", "abc" },
    DecodeCase { "#", "" },
    DecodeCase { "", "" },
    DecodeCase { "#1x", "#1x" },          // no valid code: the text itself
    DecodeCase { "##", "##" },            // an empty code is not valid
    DecodeCase { "#13##10", "#13##10" },
    DecodeCase { "A#13B", "A#13B" },
    DecodeCase { "#13#", "\r" },          // trailing "#" ends the code, adds nothing
    DecodeCase { "#269", "\r" },          // codes are taken modulo 256
    DecodeCase { "#0", QByteArray(1, '\0') },
    DecodeCase { "#255#254", "\xFF\xFE" },
    DecodeCase { "#99999999999", "#99999999999" })); // beyond 32 bits: not valid

TEST(TQCCom32Properties, ConstructionValues)
{
    TQCCom32 port;
    EXPECT_FALSE(port.AllowEvents());
    EXPECT_EQ(port.Baud(), 9600);
    EXPECT_EQ(port.EndOfResponse(), QString());
    EXPECT_TRUE(port.ResponseTerminator().isEmpty());
    EXPECT_EQ(port.Handshaking(), hsNone);
    EXPECT_EQ(port.InCount(), 0);
    EXPECT_FALSE(port.InUse());
    EXPECT_EQ(port.ResponseTime(), 1000u);
    EXPECT_FALSE(port.Opened());
    EXPECT_EQ(port.Port(), 1);
    EXPECT_TRUE(port.ShowErrors());
    EXPECT_FALSE(port.TimedOut());
    EXPECT_EQ(port.Version(), QStringLiteral("1.4.0"));
    EXPECT_FALSE(port.DeviceLost());
    EXPECT_EQ(port.Handle(), -1);
}

TEST(TQCCom32Properties, SettersStoreWhileClosedAndVersionNeverChanges)
{
    TQCCom32 port;
    port.SetVersion(QStringLiteral("9.9.9"));
    port.SetBaud(115200);
    port.SetPort(7);
    port.SetHandshaking(hsHardware);
    port.SetResponseTime(500);
    port.SetEndOfResponse(QStringLiteral("#13"));
    EXPECT_EQ(port.Version(), QStringLiteral("1.4.0"));
    EXPECT_EQ(port.Baud(), 115200);
    EXPECT_EQ(port.Port(), 7);
    EXPECT_EQ(port.Handshaking(), hsHardware);
    EXPECT_EQ(port.ResponseTime(), 500u);
    EXPECT_EQ(port.EndOfResponse(), QStringLiteral("#13"));
    EXPECT_EQ(port.ResponseTerminator(), QByteArray("\r"));
    EXPECT_FALSE(port.Opened()) << "a setter must not open a closed port";
}

struct DeviceCase {
    int port;
    const char *linux;
    const char *windows;
};

class ComDeviceTest : public ::testing::TestWithParam<DeviceCase> {};

TEST_P(ComDeviceTest, MapsThePortNumber)
{
    const DeviceCase &c = GetParam();
    unsetenv(("VELTARO_COM" + std::to_string(c.port)).c_str());
    EXPECT_EQ(LinuxComDevice(c.port), QString::fromLatin1(c.linux)) << "COM" << c.port;
    EXPECT_EQ(WindowsComDevice(c.port), QString::fromLatin1(c.windows)) << "COM" << c.port;
}

INSTANTIATE_TEST_SUITE_P(Table, ComDeviceTest, ::testing::Values(
    DeviceCase { 1, "/dev/ttyUSB0", "COM1" },
    DeviceCase { 8, "/dev/ttyUSB7", "COM8" },
    DeviceCase { 9, "/dev/ttyACM0", "COM9" },
    DeviceCase { 10, "/dev/ttyACM1", "\\\\.\\COM10" },
    DeviceCase { 12, "/dev/ttyACM3", "\\\\.\\COM12" },
    DeviceCase { 16, "/dev/ttyACM7", "\\\\.\\COM16" },
    DeviceCase { 17, "/dev/ttyS0", "\\\\.\\COM17" },
    DeviceCase { 32, "/dev/ttyS15", "\\\\.\\COM32" },
    DeviceCase { 33, "", "\\\\.\\COM33" },
    DeviceCase { 0, "", "COM0" }));

TEST(ComDevice, EnvironmentNamesTheDevice)
{
    setenv("VELTARO_COM3", "/tmp/some-device", 1);
    EXPECT_EQ(LinuxComDevice(3), QStringLiteral("/tmp/some-device"));
    setenv("VELTARO_COM3", "", 1);
    EXPECT_EQ(LinuxComDevice(3), QStringLiteral("/dev/ttyUSB2")) << "an empty variable counts as unset";
    setenv("VELTARO_COM77", "/tmp/far", 1);
    EXPECT_EQ(LinuxComDevice(77), QStringLiteral("/tmp/far"));
    unsetenv("VELTARO_COM3");
    unsetenv("VELTARO_COM77");

    TQCCom32 port;
    port.SetPort(12);
    EXPECT_EQ(port.DeviceName(), ComDeviceName(12));
}

// Records the questions asked and answers as scripted.
struct ScriptedPrompts : TQCCom32Prompts {
    int retriesLeft = 0;
    QStringList asked;
    bool RetryOpen(const QString &text) override { asked << text; return retriesLeft-- > 0; }
    void PortInUse(const QString &text) override { asked << text; }
    bool RetryTimeout(const QString &text) override { asked << text; return retriesLeft-- > 0; }
};

TEST(TQCCom32Open, MissingDeviceFailsAndEverythingStaysClosed)
{
    setenv("VELTARO_COM5", "/nonexistent/tty-veltaro", 1);
    TQCCom32 port;
    port.SetPort(5);
    port.SetEndOfResponse(QStringLiteral("#13"));
    EXPECT_FALSE(port.Open());
    EXPECT_FALSE(port.Opened());
    EXPECT_FALSE(port.WriteString("#A\r"));
    EXPECT_FALSE(port.WriteString(QByteArray())) << "the port could not be opened";
    EXPECT_TRUE(port.ReadResponse().isEmpty());
    EXPECT_FALSE(port.InUse());
    EXPECT_FALSE(port.TimedOut());
    port.SetPort(0); // maps to no device at all
    EXPECT_FALSE(port.Open());
    unsetenv("VELTARO_COM5");
}

TEST(TQCCom32Open, ShowErrorsAsksRetryUntilAbort)
{
    TQCCom32 port;
    port.SetPort(33);
    ScriptedPrompts prompts;
    prompts.retriesLeft = 2;
    port.Prompts = &prompts;
    EXPECT_FALSE(port.Open());
    const QString text = QStringLiteral("Error opening COM33: ");
    EXPECT_EQ(prompts.asked, QStringList({ text, text, text }));

    prompts.asked.clear();
    port.SetShowErrors(false);
    EXPECT_FALSE(port.Open());
    EXPECT_TRUE(prompts.asked.isEmpty()) << "no questions without ShowErrors";

    port.SetShowErrors(true);
    port.Prompts = nullptr; // no one to ask: Abort
    EXPECT_FALSE(port.Open());
}

} // namespace
