// ReadResponse against a real pseudo-terminal: collecting replies, timeouts,
// and handlers that run inside the wait through the event pump.
#include "PtyPair.h"
#include "QCCom32.h"

#include <QElapsedTimer>
#include <QStringList>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

constexpr int Com = 40;

class ReadResponseTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        port.SetPort(Com);
        port.SetBaud(115200);
        port.SetEndOfResponse(QStringLiteral("#13"));
        port.SetResponseTime(2000);
        port.SetShowErrors(false);
        port.OnTimeout = [this](TQCCom32 *sender) {
            EXPECT_EQ(sender, &port);
            ++timeouts;
        };
        ASSERT_TRUE(port.Open());
    }

    // Bytes written to the master reach the slave's queue asynchronously.
    void WaitForInCount(int32_t count)
    {
        for (int i = 0; i < 2000 && port.InCount() < count; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ASSERT_EQ(port.InCount(), count);
    }

    // With AllowEvents, the pump sends one piece per call.
    void PumpSends(QList<QByteArray> pieces)
    {
        port.SetAllowEvents(true);
        port.EventPump = [this, pieces] {
            if (pumpCalls < pieces.size())
                module.Send(pieces[pumpCalls]);
            ++pumpCalls;
        };
    }

    PtyPair module { Com };
    TQCCom32 port;
    int timeouts = 0;
    qsizetype pumpCalls = 0;
};

TEST_F(ReadResponseTest, ReplyInPiecesIsCollectedUpToTheCarriageReturn)
{
    PumpSends({ "!", "P0", "12", "3\r" });
    EXPECT_EQ(port.ReadResponse(), QByteArray("!P0123\r"));
    EXPECT_FALSE(port.TimedOut());
    EXPECT_FALSE(port.InUse());
    EXPECT_EQ(timeouts, 0);
}

TEST_F(ReadResponseTest, ReplyFromAnotherThreadWhileWaitingWithoutEvents)
{
    std::thread sender([this] {
        module.Send("R1");
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        module.Send("00\r");
    });
    const QByteArray reply = port.ReadResponse();
    sender.join();
    EXPECT_EQ(reply, QByteArray("R100\r"));
    EXPECT_FALSE(port.TimedOut());
}

TEST_F(ReadResponseTest, BytesAfterTheTerminatorInTheSameReadComeWithIt)
{
    module.Send("OK\rNEXT");
    WaitForInCount(7);
    EXPECT_EQ(port.ReadResponse(), QByteArray("OK\rNEXT"));
    EXPECT_EQ(port.InCount(), 0);
    // What arrives later waits for the next call, nothing of the last reply with it.
    module.Send("B\r");
    EXPECT_EQ(port.ReadResponse(), QByteArray("B\r"));
}

TEST_F(ReadResponseTest, BytesWaitingBeforeTheCommandComeFirst)
{
    module.Send("t1");
    WaitForInCount(2);
    ASSERT_TRUE(port.WriteString("#A\r"));
    ASSERT_EQ(module.Receive(3), QByteArray("#A\r"));
    module.Send("R\r");
    EXPECT_EQ(port.ReadResponse(), QByteArray("t1R\r"));
}

TEST_F(ReadResponseTest, SilentModuleTimesOutOnceAfterTheResponseTime)
{
    port.SetResponseTime(500);
    PumpSends({});
    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(port.ReadResponse().isEmpty());
    EXPECT_GE(clock.elapsed(), 500);
    EXPECT_TRUE(port.TimedOut());
    EXPECT_EQ(timeouts, 1);
    EXPECT_GE(pumpCalls, 1) << "the pump also runs in the pass in which time ran out";
    EXPECT_FALSE(port.InUse());

    // TimedOut stays set until the next wait begins, which clears it.
    EXPECT_TRUE(port.TimedOut());
    module.Send("x\r");
    EXPECT_EQ(port.ReadResponse(), QByteArray("x\r"));
    EXPECT_FALSE(port.TimedOut());
    EXPECT_EQ(timeouts, 1);
}

TEST_F(ReadResponseTest, ZeroResponseTimeStillCollectsWhatIsWaiting)
{
    module.Send("ab");
    WaitForInCount(2);
    port.SetResponseTime(0);
    EXPECT_EQ(port.ReadResponse(), QByteArray("ab"));
    EXPECT_TRUE(port.TimedOut());
    EXPECT_EQ(timeouts, 1);
}

TEST_F(ReadResponseTest, CarriageReturnLineFeedTerminatorNeedsBoth)
{
    port.SetEndOfResponse(QStringLiteral("#13#10"));
    // The pair is split over two reads in the second and third pieces.
    PumpSends({ "A\r", "B\r", "\n", "C\r\n" });
    EXPECT_EQ(port.ReadResponse(), QByteArray("A\rB\r\n"));
    EXPECT_FALSE(port.TimedOut());
}

TEST_F(ReadResponseTest, LiteralFallbackTerminatorIsMatchedAcrossPieces)
{
    port.SetEndOfResponse(QStringLiteral("#1x"));
    PumpSends({ "data#", "1", "x", "more" });
    EXPECT_EQ(port.ReadResponse(), QByteArray("data#1x"));
}

TEST_F(ReadResponseTest, HashAloneMakesASingleReadWithoutWaiting)
{
    port.SetEndOfResponse(QStringLiteral("#"));
    PumpSends({ "late" });
    EXPECT_TRUE(port.ReadResponse().isEmpty());
    module.Send("abc");
    WaitForInCount(3);
    EXPECT_EQ(port.ReadResponse(), QByteArray("abc"));
    EXPECT_EQ(pumpCalls, 0) << "a single read neither waits nor pumps";
    EXPECT_FALSE(port.TimedOut());
    EXPECT_EQ(timeouts, 0);
}

TEST_F(ReadResponseTest, NestedReadFromThePumpIsRefusedAndDisturbsNothing)
{
    struct RecordingPrompts : TQCCom32Prompts {
        QStringList asked;
        bool RetryOpen(const QString &) override { return false; }
        void PortInUse(const QString &text) override { asked << text; }
        bool RetryTimeout(const QString &) override { return false; }
    } prompts;
    port.Prompts = &prompts;
    port.SetShowErrors(true);
    port.SetAllowEvents(true);
    QByteArray nested = "not called";
    port.EventPump = [&] {
        if (pumpCalls++ > 0)
            return;
        module.Send("OK\r");
        WaitForInCount(3);
        EXPECT_TRUE(port.InUse());
        nested = port.ReadResponse();
        EXPECT_TRUE(port.InUse());
        EXPECT_EQ(port.InCount(), 3) << "the refused read took nothing";
    };
    EXPECT_EQ(port.ReadResponse(), QByteArray("OK\r"));
    EXPECT_TRUE(nested.isEmpty());
    EXPECT_EQ(prompts.asked, QStringList { QStringLiteral("Port is in use -- operation aborted") });
    EXPECT_FALSE(port.TimedOut());
    EXPECT_FALSE(port.InUse());
}

TEST_F(ReadResponseTest, WriteFromThePumpGoesOutAtOnceAndItsAnswerJoinsTheReply)
{
    port.SetAllowEvents(true);
    port.EventPump = [&] {
        if (pumpCalls++ > 0)
            return;
        EXPECT_TRUE(port.WriteString("t1230\r"));
        EXPECT_EQ(module.Receive(6), QByteArray("t1230\r"));
        module.Send("z\r");
    };
    module.Send("t4");
    EXPECT_EQ(port.ReadResponse(), QByteArray("t4z\r"));
}

TEST_F(ReadResponseTest, CloseFromThePumpEndsTheWaitWithWhatWasCollected)
{
    port.SetResponseTime(5000);
    port.SetAllowEvents(true);
    port.EventPump = [&] {
        ++pumpCalls;
        if (pumpCalls == 1) {
            module.Send("par");
            WaitForInCount(3);
        } else {
            port.Close();
        }
    };
    EXPECT_EQ(port.ReadResponse(), QByteArray("par"));
    EXPECT_EQ(pumpCalls, 2) << "no pass may run on a closed port";
    EXPECT_FALSE(port.Opened());
    EXPECT_FALSE(port.TimedOut());
    EXPECT_EQ(timeouts, 0);
    EXPECT_FALSE(port.InUse());
}

TEST_F(ReadResponseTest, BaudChangeFromThePumpReopensAndTheWaitGoesOn)
{
    port.SetAllowEvents(true);
    port.EventPump = [&] {
        ++pumpCalls;
        if (pumpCalls == 1)
            port.SetBaud(9600);
        else if (pumpCalls == 2)
            module.Send("S\r");
    };
    EXPECT_EQ(port.ReadResponse(), QByteArray("S\r"));
    EXPECT_TRUE(port.Opened());
    EXPECT_EQ(port.Baud(), 9600);
}

TEST_F(ReadResponseTest, FarEndClosedMidWaitEndsItAndReportsTheLoss)
{
    port.SetResponseTime(10000);
    std::thread unplug([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        module.CloseMaster();
    });
    EXPECT_TRUE(port.ReadResponse().isEmpty());
    unplug.join();
    EXPECT_TRUE(port.DeviceLost());
    EXPECT_FALSE(port.TimedOut()) << "the wait must end on the loss, not run to its deadline";
    EXPECT_EQ(timeouts, 0);
    EXPECT_EQ(port.InCount(), 0);
    EXPECT_FALSE(port.WriteString("#A\r"));
    EXPECT_TRUE(port.ReadResponse().isEmpty());
    EXPECT_TRUE(port.Opened()) << "the window decides when to close";
    port.Close();
    EXPECT_FALSE(port.DeviceLost());
}

TEST_F(ReadResponseTest, FarEndClosedFromThePumpEndsTheWaitInThatPass)
{
    port.SetResponseTime(10000);
    port.SetAllowEvents(true);
    port.EventPump = [&] {
        if (pumpCalls++ == 0)
            module.CloseMaster();
    };
    EXPECT_TRUE(port.ReadResponse().isEmpty());
    EXPECT_EQ(pumpCalls, 1);
    EXPECT_TRUE(port.DeviceLost());
    EXPECT_FALSE(port.TimedOut());
}

TEST_F(ReadResponseTest, TimeoutRetryKeepsWhatCameAndWaitsAfresh)
{
    struct RetryOncePrompts : TQCCom32Prompts {
        PtyPair *module = nullptr;
        QStringList asked;
        bool RetryOpen(const QString &) override { return false; }
        void PortInUse(const QString &) override {}
        bool RetryTimeout(const QString &text)
        override
        {
            asked << text;
            if (asked.size() > 1)
                return false;
            module->Send("te\r");
            return true;
        }
    } prompts;
    prompts.module = &module;
    port.Prompts = &prompts;
    port.SetShowErrors(true);
    port.SetResponseTime(100);
    module.Send("la");
    EXPECT_EQ(port.ReadResponse(), QByteArray("late\r"));
    EXPECT_EQ(prompts.asked, QStringList { QStringLiteral("Timeout waiting for response.") });
    EXPECT_EQ(timeouts, 1) << "OnTimeout runs before the question";
    EXPECT_FALSE(port.TimedOut());
}

} // namespace
