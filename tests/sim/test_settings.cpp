// Settings groups: reading, writing with acknowledgement, refusals, and the
// written values surviving into the next connection.
#include "SlavePort.h"

#include <gtest/gtest.h>

namespace {

QByteArray Reply(const QByteArray &data) { return protocol::WithChecksumLine(data); }

TEST(SettingsRead, GroupsFollowTheLayouts)
{
    struct Case {
        const char *profile;
        QByteArray p0, p1, pu;
    } cases[] = {
        // Not pair-capable: the CAN group ends after the mask.
        {"fw1,2.0A", "!00B30000", "!1040" "01230000" "07FF0000", "?U\r"},
        // Pair-capable 2.0B: Tx CAN ID, the three flags and end of command.
        {"R-2481,fw2,2.0B,pair", "!00E30000", "!1140" "1A2B3C4D" "1FFFFFFF" "0ABCDEF0" "1111", "?U\r"},
        // 2.0A on a pair-capable module: the identifiers in the 2.0A places.
        {"fw3,2.0A,nopair,userbaud", "!00B30000", "!10A0" "01230000" "07FF0000" "00000321" "0000", "!U0060E2E"},
        // Version-3 firmware compares as text: 4.10 counts, 10.0 does not.
        {"fw4,preset", "!00B30000", "!1040" "00000000" "00000000" "00000001" "0000", "!U0000000"},
        {"fw10", "!00B30000", "!1040" "00000000" "00000000", "?U\r"},
    };
    for (const Case &c : cases) {
        sim::ModuleSimulator module(sim::ProfileByName(c.profile));
        ASSERT_TRUE(module.Start());
        SlavePort port(module.DevicePath());
        EXPECT_EQ(port.Ask("#P0"), Reply(c.p0)) << c.profile;
        EXPECT_EQ(port.Ask("#P1"), Reply(c.p1)) << c.profile;
        EXPECT_EQ(port.Ask("#PU"), c.pu.endsWith('\r') ? c.pu : Reply(c.pu)) << c.profile;
    }
}

TEST(SettingsWrite, WrittenGroupsAreAcknowledgedAndReadBackOnTheNextConnection)
{
    struct Case {
        const char *profile;
        QByteArray write, ack, query, readBack;
    } cases[] = {
        {"default", "$P0090A21110", "!P0\r", "#P0", "!00A21110"},
        {"fw3", "$PU091A3070F", "!PU\r", "#PU", "!U1A3070F"},
        {"fw1", "$P1151A0" "1FFFFFFF" "00000ABC", "!P1\r", "#P1", "!11A0" "1FFFFFFF" "00000ABC"},
        {"fw1", "$P115060" "07FF0000" "00010000", "!P1\r", "#P1", "!1060" "07FF0000" "00010000"},
        {"fw2,2.0B", "$P121193" "0000ABCD" "1FFFFFFF" "00000005" "1012", "!P1\r", "#P1",
         "!1193" "0000ABCD" "1FFFFFFF" "00000005" "1012"},
        {"fw3,2.0B", "$P121040" "01230000" "07FF0000" "00000456" "0000", "!P1\r", "#P1",
         "!1040" "01230000" "07FF0000" "00000456" "0000"},
    };
    for (const Case &c : cases) {
        sim::ModuleSimulator module(sim::ProfileByName(c.profile));
        ASSERT_TRUE(module.Start());
        {
            SlavePort port(module.DevicePath());
            EXPECT_EQ(port.AskChecked(c.write), c.ack) << c.write.constData();
        }
        SlavePort again(module.DevicePath());
        EXPECT_EQ(again.Ask(c.query), Reply(c.readBack)) << c.write.constData();
    }
}

TEST(SettingsWrite, ValuesLandInTheModuleSettings)
{
    sim::ModuleSimulator module(sim::ProfileByName("fw3"));
    ASSERT_TRUE(module.Start());
    SlavePort port(module.DevicePath());
    ASSERT_EQ(port.AskChecked("$P0090C21011"), "!P0\r");
    ASSERT_EQ(port.AskChecked("$PU09106070F"), "!PU\r");
    ASSERT_EQ(port.AskChecked("$P1210A2" "07FF0000" "01230000" "00000456" "1103"), "!P1\r");
    const sim::ModuleSettings s = module.Settings();
    EXPECT_EQ((std::vector<int>{s.rs232Baud, s.dataBit, s.stopBit, s.parity, s.checksum, s.errorResponse}),
              (std::vector<int>{12, 2, 1, 0, 1, 1}));
    EXPECT_EQ((std::vector<int>{s.clockMode, s.bt1, s.bt2, s.bt3}), (std::vector<int>{1, 0x06, 0x07, 0x0F}));
    EXPECT_EQ((std::vector<int>{s.canSpec, s.canBaud, s.reserved}), (std::vector<int>{0, 10, 2}));
    EXPECT_EQ(s.acceptanceCode, 0x7FFu);
    EXPECT_EQ(s.acceptanceMask, 0x123u);
    EXPECT_EQ(s.txCanId, 0x456u);
    EXPECT_EQ(QByteArray() + s.pairFlag + s.txCanIdFlag + s.respWithCanIdFlag, "110");
    EXPECT_EQ(s.endOfCommand, 3);
}

TEST(SettingsWrite, MalformedOrUnwelcomeWritesAreRefusedAndChangeNothing)
{
    const QByteArray rs232 = "$P0090B30000";
    auto checked = [](const QByteArray &text) { return protocol::WithChecksumLine(text); };
    QByteArray badChecksum = checked(rs232);
    badChecksum[badChecksum.size() - 2] = badChecksum[badChecksum.size() - 2] == '0' ? '1' : '0';
    struct Case {
        const char *profile;
        QByteArray line; // as sent, CR included
        QByteArray reply;
    } cases[] = {
        {"default", badChecksum, "?P0\r"},
        {"default", rs232 + "\r", "?P0\r"},                   // no checksum
        {"default", checked("$P0090B3000"), "?P0\r"},         // one data digit short
        {"default", checked("$P0090B300000"), "?P0\r"},       // one too many
        {"default", checked("$P0090G30000"), "?P0\r"},        // not hexadecimal
        {"default", checked("$P0080B30000"), "?P0\r"},        // wrong count
        {"refuse-writes", checked(rs232), "?P0\r"},
        {"refuse-writes", checked("$PU090000000"), "?PU\r"},
        {"refuse-writes", checked("$P115040" + QByteArray(16, '0')), "?P1\r"},
        {"fw2", checked("$PU090000000"), "?PU\r"},            // no timing group before version 3
        {"fw1", checked("$P121040" + QByteArray(24, '0') + "0000"), "?P1\r"}, // long form, not pair-capable
        {"fw2", checked("$P115040" + QByteArray(16, '0')).replace("$P115", "$P116"), "?P1\r"},
        {"fw2", checked("$P121040" + QByteArray(24, '0') + "2000"), "?P1\r"}, // a flag that is not 0 or 1
        {"fw1", checked("$P115040" "11230000" "00000000"), "?P1\r"}, // 2.0A field with a digit outside its place
        {"fw2", checked("$P121040" + QByteArray(16, '0') + "00010456" "0000"), "?P1\r"}, // 2.0A Tx ID likewise
        {"fw1", checked("$P115140" "0000000a" "00000000"), "?P1\r"}, // lower-case digit
    };
    for (const Case &c : cases) {
        sim::ModuleSimulator module(sim::ProfileByName(c.profile));
        ASSERT_TRUE(module.Start());
        SlavePort port(module.DevicePath());
        const QByteArray before = port.Ask("#P0") + port.Ask("#P1") + port.Ask("#PU");
        ASSERT_TRUE(port.Write(c.line));
        EXPECT_EQ(port.ReadLine(), c.reply) << c.profile << " " << c.line.constData();
        EXPECT_EQ(port.Ask("#P0") + port.Ask("#P1") + port.Ask("#PU"), before) << c.line.constData();
    }
}

} // namespace
