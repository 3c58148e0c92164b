// Wake-up and identification over the pseudo-terminal, per model and profile.
#include "SlavePort.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

struct ModelCase {
    const char *profile;
    QByteArray model;
    qsizetype modelReplyLength; // what the program decides the name by
};

class Identification : public testing::TestWithParam<ModelCase> {};

TEST_P(Identification, WakeUpAndQueriesHaveTheLengthsTheProgramReadsBy)
{
    const ModelCase &c = GetParam();
    sim::ModuleSimulator module(sim::ProfileByName(c.profile));
    ASSERT_TRUE(module.Start());
    SlavePort port(module.DevicePath());
    ASSERT_TRUE(port.IsOpen());

    const QByteArray wake = port.Ask("#A");
    EXPECT_EQ(wake, protocol::WithChecksumLine("!S3.00"));
    EXPECT_LE(wake.size(), 10);
    EXPECT_EQ(port.Ask("#A64"), wake);

    EXPECT_EQ(port.Ask("#PV"), protocol::WithChecksumLine("!V3.00"));
    EXPECT_EQ(port.Ask("#PC"), protocol::WithChecksumLine("!CVeskora"));
    const QByteArray model = port.Ask("#PM");
    EXPECT_EQ(model, protocol::WithChecksumLine("!M" + c.model));
    EXPECT_EQ(model.size(), c.modelReplyLength);
    // The hidden diagnostic form of the model query answers the same.
    EXPECT_EQ(port.Ask("#PMC0"), model);
}

INSTANTIATE_TEST_SUITE_P(Models, Identification,
                         testing::Values(ModelCase{"R-2416", "R-2416", 11}, ModelCase{"R-2416B", "R-2416B", 12},
                                         ModelCase{"R-2416-GX", "R-2416-GX", 14}, ModelCase{"R-2481", "R-2481", 11},
                                         ModelCase{"unknown", "R-2416XY", 13}));

TEST(IdentificationReplies, CarryTheirChecksumAndFollowProfileOverrides)
{
    sim::Profile p = sim::ProfileByName("fw1");
    p.maker = "Acme Co";
    p.model = "X-1";
    p.mode = 'Q'; // a mode letter the program does not know
    sim::ModuleSimulator module(p);
    ASSERT_TRUE(module.Start());
    SlavePort port(module.DevicePath());
    for (const char *cmd : {"#A", "#PV", "#PC", "#PM"})
        EXPECT_TRUE(HasValidChecksum(port.Ask(cmd))) << cmd;
    EXPECT_EQ(port.Ask("#A"), protocol::WithChecksumLine("!Q1.05"));
    EXPECT_EQ(port.Ask("#PC"), protocol::WithChecksumLine("!CAcme Co"));
    EXPECT_EQ(port.Ask("#PM"), protocol::WithChecksumLine("!MX-1"));
    EXPECT_EQ(port.AskChecked("SM1").left(4), "!SM1");
    EXPECT_EQ(port.Ask("#PX"), "?\r");
}

TEST(WakeUp, RefusedPlainWakeUpLeavesOnlyTheChecksummedOne)
{
    for (const char *mode : {"config", "operation"}) {
        sim::ModuleSimulator module(sim::ProfileByName(QString("refuse-plain-wakeup,") + mode));
        ASSERT_TRUE(module.Start());
        SlavePort port(module.DevicePath());
        const QByteArray refusal = port.Ask("#A");
        EXPECT_EQ(refusal, "?A\r") << mode;
        EXPECT_EQ(port.Ask("#A64"), protocol::WithChecksumLine(mode[0] == 'c' ? "!S3.00" : "!R3.00")) << mode;
    }
}

TEST(WakeUp, SilentModuleAnswersNothingButLogsTheLines)
{
    sim::ModuleSimulator module(sim::ProfileByName("silent"));
    ASSERT_TRUE(module.Start());
    SlavePort port(module.DevicePath());
    ASSERT_TRUE(port.Write("#A\r#A64\r#PV\r"));
    ASSERT_TRUE(module.WaitForLines(3, 5s));
    // Once it speaks again, the first byte that arrives belongs to the next reply.
    module.SetProfile(sim::ProfileByName("default"));
    EXPECT_EQ(port.Ask("#PV"), protocol::WithChecksumLine("!V3.00"));
    EXPECT_EQ(module.ReceivedBytes(), "#A\r#A64\r#PV\r#PV\r");
}

TEST(WakeUp, ProgramReopeningItsEndFindsTheModuleStillThere)
{
    sim::ModuleSimulator module;
    ASSERT_TRUE(module.Start());
    for (int i = 0; i < 3; ++i) {
        SlavePort port(module.DevicePath());
        ASSERT_TRUE(port.IsOpen()) << i;
        EXPECT_EQ(port.Ask("#A"), protocol::WithChecksumLine("!S3.00")) << i;
    }
}

TEST(Profiles, WordsCombineAndUnknownWordsAreReported)
{
    bool ok = false;
    const sim::Profile p = sim::ProfileByName("R-2481, fw2, 2.0B, pair, userbaud, operation, echo", &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(p.model, "R-2481");
    EXPECT_EQ(p.firmware, "2.10");
    EXPECT_EQ(p.mode, 'R');
    EXPECT_EQ(p.settings.canSpec, 1);
    EXPECT_EQ(p.settings.canBaud, 10);
    EXPECT_EQ(p.settings.pairFlag, '1');
    EXPECT_EQ(p.settings.rs232Baud, 14);
    EXPECT_EQ(p.onLine, sim::Profile::OnLine::Echo);

    sim::ProfileByName("R-2416,bogus", &ok);
    EXPECT_FALSE(ok);
    sim::ProfileByName("", &ok);
    EXPECT_TRUE(ok);
}

} // namespace
