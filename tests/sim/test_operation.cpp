// Operation mode: lines from the program logged and answered per profile,
// traffic towards the program, the device going away, and bad input.
#include "SlavePort.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <thread>

using namespace std::chrono_literals;

namespace {

sim::Profile Operation(sim::Profile::OnLine onLine)
{
    sim::Profile p = sim::ProfileByName("operation");
    p.onLine = onLine;
    return p;
}

TEST(OperationMode, LinesAreLoggedInOrderWithTimeStamps)
{
    sim::ModuleSimulator module(Operation(sim::Profile::OnLine::Ignore));
    ASSERT_TRUE(module.Start());
    SlavePort port(module.DevicePath());
    // One line split over two writes, then two lines in one write.
    ASSERT_TRUE(port.Write("t123211"));
    ASSERT_TRUE(port.Write("22\r"));
    ASSERT_TRUE(port.Write("e0000012300\rfree text\r"));
    ASSERT_TRUE(module.WaitForLines(3, 5s));
    const auto lines = module.ReceivedLines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].bytes, "t12321122\r");
    EXPECT_EQ(lines[1].bytes, "e0000012300\r");
    EXPECT_EQ(lines[2].bytes, "free text\r");
    EXPECT_LE(lines[0].at, lines[1].at);
    EXPECT_LE(lines[1].at, lines[2].at);
    EXPECT_EQ(module.ReceivedBytes(), "t12321122\re0000012300\rfree text\r");
    EXPECT_EQ(module.ReceivedCount(), 3u);
    module.ClearReceived();
    EXPECT_TRUE(module.ReceivedLines().empty());
    EXPECT_EQ(module.ReceivedCount(), 0u);
}

TEST(OperationMode, AnswersReceivedLinesAsTheProfileSays)
{
    using OnLine = sim::Profile::OnLine;
    struct Case {
        OnLine onLine;
        QByteArray line, reply; // empty reply: none
    } cases[] = {
        {OnLine::Ignore, "t12321122\r", ""},   {OnLine::Ignore, "hello\r", ""},
        {OnLine::Acknowledge, "t12321122\r", "z\r"}, {OnLine::Acknowledge, "e0000012300\r", "z\r"},
        {OnLine::Acknowledge, "T1232\r", "Z\r"},     {OnLine::Acknowledge, "E000001230\r", "Z\r"},
        {OnLine::Acknowledge, "hello\r", "z\r"},     {OnLine::Echo, "t1232112202\r", "t1232112202\r"},
        {OnLine::Echo, "\r", "\r"},
        // Settings queries and writes are not answered in operation mode.
        {OnLine::Echo, "#PV\r", ""},                 {OnLine::Acknowledge, "#P1\r", ""},
        {OnLine::Echo, protocol::WithChecksumLine("$P0090B30000"), ""},
    };
    for (const Case &c : cases) {
        sim::ModuleSimulator module(Operation(c.onLine));
        ASSERT_TRUE(module.Start());
        SlavePort port(module.DevicePath());
        ASSERT_TRUE(port.Write(c.line));
        // The wake-up is answered in every case, so whatever comes before its
        // reply is the answer to the line.
        const QByteArray wake = protocol::WithChecksumLine("!R3.00");
        ASSERT_TRUE(port.Write("#A\r"));
        const QByteArray got = port.ReadBytes(c.reply.size() + wake.size());
        EXPECT_EQ(got, c.reply + wake) << int(c.onLine) << " " << c.line.constData();
    }
}

TEST(Traffic, CyclicLinesArriveInOrderAndAreCounted)
{
    sim::ModuleSimulator module(sim::ProfileByName("operation"));
    ASSERT_TRUE(module.Start());
    SlavePort port(module.DevicePath());
    const std::vector<QByteArray> lines = sim::SampleTrafficLines(true);
    QByteArray expected;
    for (size_t i = 0; i < 17; ++i)
        expected += lines[i % lines.size()];
    for (double rate : {0.0, 500.0}) {
        module.StartTraffic(lines, rate, 17);
        EXPECT_EQ(port.ReadBytes(expected.size()), expected) << rate;
        EXPECT_TRUE(module.WaitSendsDone(5s));
        EXPECT_FALSE(module.TrafficRunning());
    }
    EXPECT_EQ(module.TrafficLinesSent(), 34u);
    EXPECT_EQ(module.BytesSent(), uint64_t(2 * expected.size()));
    for (const QByteArray &line : lines)
        EXPECT_TRUE(HasValidChecksum(line)) << line.constData();
}

TEST(Traffic, FloodLinesAreNumberedInOrder)
{
    sim::ModuleSimulator module(sim::ProfileByName("operation"));
    ASSERT_TRUE(module.Start());
    SlavePort port(module.DevicePath());
    module.StartFlood(sim::FloodBytesPerSecond, 100ms);
    ASSERT_TRUE(module.WaitSendsDone(5s));
    const uint64_t sent = module.TrafficLinesSent();
    ASSERT_GT(sent, 0u);
    EXPECT_EQ(module.BytesSent(), sent * sim::FloodLineBytes);
    const QByteArray got = port.ReadBytes(qsizetype(sent * sim::FloodLineBytes));
    ASSERT_EQ(got.size(), qsizetype(sent * sim::FloodLineBytes));
    for (uint64_t i = 0; i < sent; ++i)
        ASSERT_EQ(got.mid(qsizetype(i * sim::FloodLineBytes), sim::FloodLineBytes), sim::FloodLine(i)) << i;
    EXPECT_EQ(sim::FloodLine(0x1234ABCD), "t1238DEADBEEF1234ABCD\r");
}

TEST(Traffic, RawPiecesAndBatchesArriveWhole)
{
    sim::ModuleSimulator module(sim::ProfileByName("operation"));
    ASSERT_TRUE(module.Start());
    SlavePort port(module.DevicePath());
    module.SendRaw("t7FF0\r\x01\xFF");
    EXPECT_EQ(port.ReadBytes(8), QByteArray("t7FF0\r\x01\xFF", 8));
    module.SendTogether({"t1230\r", "T1232\r"});
    EXPECT_EQ(port.ReadBytes(12), "t1230\rT1232\r");
    const QByteArray line = "e1ABCDEF031A2B3C\r";
    module.SendInPieces(line, 4, 5ms);
    EXPECT_EQ(port.ReadLine(), line);
    EXPECT_TRUE(module.WaitSendsDone(5s));
}

TEST(Traffic, StoppingAFloodNobodyReadsDoesNotHang)
{
    auto module = std::make_unique<sim::ModuleSimulator>(sim::ProfileByName("operation"));
    ASSERT_TRUE(module->Start());
    SlavePort port(module->DevicePath()); // open, never read
    module->StartFlood(0);
    module->SendInPieces(QByteArray(100000, 't'), 1000, 1ms);
    // Fill the pseudo-terminal, then stop everything.
    while (module->BytesSent() < 1000)
        std::this_thread::yield();
    module->StopTraffic();
    EXPECT_FALSE(module->TrafficRunning());
    module.reset();
}

TEST(Vanish, ProgramSeesTheDeviceGoAway)
{
    sim::ModuleSimulator module;
    ASSERT_TRUE(module.Start());
    const QString path = module.DevicePath();
    SlavePort port(path);
    ASSERT_EQ(port.Ask("#A"), protocol::WithChecksumLine("!S3.00"));
    module.Vanish();
    EXPECT_TRUE(module.Vanished());
    pollfd p{port.fd, POLLIN, 0};
    ASSERT_EQ(::poll(&p, 1, 5000), 1);
    EXPECT_TRUE(p.revents & (POLLHUP | POLLERR)) << p.revents;
    char c;
    errno = 0;
    const ssize_t n = ::read(port.fd, &c, 1);
    EXPECT_TRUE(n == 0 || (n < 0 && errno == EIO)) << n << " " << errno;
    EXPECT_FALSE(SlavePort(path).IsOpen());
    // Sending after the device went away is harmless.
    module.SendRaw("t1230\r");
    module.StartTraffic({"t1230\r"}, 0, 10);
    EXPECT_FALSE(module.TrafficRunning());
}

TEST(BadInput, GarbageNeverStopsTheModule)
{
    for (char mode : {'S', 'R'}) {
        sim::Profile profile = sim::ProfileByName("fw2,pair,echo");
        profile.mode = mode;
        sim::ModuleSimulator module(profile);
        ASSERT_TRUE(module.Start());
        SlavePort port(module.DevicePath());
        std::mt19937 rng(7);
        QByteArray junk;
        for (int i = 0; i < 20000; ++i)
            junk += char(rng() % 256);
        junk += QByteArray(10000, 'x'); // a long line without CR
        static const char fragments[] = "\0\r$P1\r$P121\r$P0\r$PU\r#\r$\r\n\n\r";
        junk += QByteArray(fragments, sizeof fragments - 1); // the NUL at the front included
        junk += "$P121" + QByteArray(200, 'F') + "\r";
        ASSERT_TRUE(port.Write(junk));
        ASSERT_TRUE(port.Write("\n#A64\r"));
        // Read everything it said until the wake-up reply, which must come.
        const QByteArray wake = protocol::WithChecksumLine(mode == 'S' ? "!S2.10" : "!R2.10");
        QByteArray all;
        while (!all.endsWith(wake)) {
            const QByteArray line = port.ReadLine();
            ASSERT_FALSE(line.isEmpty()) << mode;
            all += line;
        }
        EXPECT_GE(module.ReceivedCount(), 10u);
        EXPECT_EQ(module.ReceivedLines().back().bytes, "\n#A64\r");
    }
}

} // namespace
