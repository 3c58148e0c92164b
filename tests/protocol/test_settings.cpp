#include "ConversionError.h"
#include "Framing.h"
#include "Settings.h"

#include <gtest/gtest.h>

using namespace protocol;

namespace {

// A "#P1" reply: head, standard, baud, reserved, code, mask, Tx ID, flags, end code.
QByteArray CanReply(char standard, const QByteArray &code, const QByteArray &mask,
                    const QByteArray &txId, const QByteArray &flags = "1012")
{
    return "!P" + QByteArray(1, standard) + "A3" + code + mask + txId + flags + '\r';
}

QString TimingFailure(const QByteArray &reply)
{
    try {
        ParseTimingReply(reply);
    } catch (const ConversionError &e) {
        return e.Message();
    }
    return QStringLiteral("(no error)");
}

// The count field: its hex value equals the characters from its own first
// character to the end of the data.
void ExpectCountMatchesLength(const QByteArray &command)
{
    const int count = command.mid(3, 2).toInt(nullptr, 16);
    EXPECT_EQ(command.size() - 3, count) << command.constData();
}

} // namespace

TEST(CodeTables, ItemsInCodeOrder)
{
    EXPECT_EQ(DataBitItems(), (QStringList{"5", "6", "7", "8"}));
    EXPECT_EQ(StopBitItems(), (QStringList{"1", "2"}));
    EXPECT_EQ(ParityItems(), (QStringList{"None", "Odd", "Even"}));
    EXPECT_EQ(NoYesItems(), (QStringList{"No", "Yes"}));
    EXPECT_EQ(CanSpecItems(), (QStringList{"2.0A", "2.0B"}));
    const QStringList presets = {"10K",  "20K",  "50K",  "100K",  "125K",
                                 "250K", "500K", "800K", "1000K", "83.3K"};
    EXPECT_EQ(CanBaudItems(false), presets);
    EXPECT_EQ(CanBaudItems(true), presets + QStringList{"User-defined"});
    EXPECT_EQ(CanBaudItems(true).at(kCanBaudUserDefined), QStringLiteral("User-defined"));
}

TEST(Rs232Reply, DigitValuesUnchecked)
{
    struct Case { QByteArray reply; Rs232Codes codes; };
    const Case cases[] = {
        {"!P0B30000\r", {11, 3, 0, 0, 0, 0}},
        {"?P0E21111\r", {14, 2, 1, 1, 1, 1}},
        {"!P0C3a000\r", {12, 3, 42, 0, 0, 0}},
        {"!P0B", {11, -48, -48, -48, -48, -48}},
        {"!P", {16 * -48 - 48, -48, -48, -48, -48, -48}},
        {"", {16 * -48 - 48, -48, -48, -48, -48, -48}},
    };
    for (const Case &c : cases) {
        const Rs232Codes got = ParseRs232Reply(c.reply);
        EXPECT_EQ(got.baud, c.codes.baud) << c.reply.constData();
        EXPECT_EQ(got.dataBit, c.codes.dataBit) << c.reply.constData();
        EXPECT_EQ(got.stopBit, c.codes.stopBit) << c.reply.constData();
        EXPECT_EQ(got.parity, c.codes.parity);
        EXPECT_EQ(got.checksum, c.codes.checksum);
        EXPECT_EQ(got.errorResponse, c.codes.errorResponse);
    }
}

TEST(CanReply, CodesAtPositions3To5)
{
    const CanCodes codes = ParseCanCodes(CanReply('1', "00000000", "00000000", "00000000"));
    EXPECT_EQ(codes.standard, 1);
    EXPECT_EQ(codes.baud, 10);
    EXPECT_EQ(codes.reserved, 3);
    const CanCodes empty = ParseCanCodes("!P");
    EXPECT_EQ(empty.standard, -48);
    EXPECT_EQ(empty.reserved, -48);
}

TEST(CanReply, FieldsByLayout)
{
    const QByteArray reply = CanReply('1', "1A2B3C4D", "FFFFFFFF", "12345678");
    const CanFields b = ParseCanFields(reply, false, true);
    EXPECT_EQ(b.acceptanceCode, QByteArray("1A2B3C4D"));
    EXPECT_EQ(b.acceptanceMask, QByteArray("FFFFFFFF"));
    EXPECT_TRUE(b.hasPairPart);
    EXPECT_EQ(b.txCanId, QByteArray("12345678"));
    EXPECT_EQ(b.pairFlag, QByteArray("1"));
    EXPECT_EQ(b.txCanIdFlag, QByteArray("0"));
    EXPECT_EQ(b.respWithCanIdFlag, QByteArray("1"));
    EXPECT_EQ(b.endOfCommand, 2);

    const CanFields a = ParseCanFields(reply, true, true);
    EXPECT_EQ(a.acceptanceCode, QByteArray("A2B"));
    EXPECT_EQ(a.acceptanceMask, QByteArray("FFF"));
    EXPECT_EQ(a.txCanId, QByteArray("678"));

    const CanFields notPair = ParseCanFields(reply, false, false);
    EXPECT_FALSE(notPair.hasPairPart);
    EXPECT_TRUE(notPair.txCanId.isEmpty());
    EXPECT_TRUE(notPair.pairFlag.isEmpty());
    EXPECT_EQ(notPair.endOfCommand, 0);
}

TEST(CanReply, ZeroTxIdBecomesOne)
{
    struct Case { QByteArray txField; bool layout20A; QByteArray expected; };
    const Case cases[] = {
        {"00000000", false, "00000001"},
        {"00000000", true, "001"},
        {"12345000", true, "001"},      // 2.0A looks at positions 27-29 only
        {"00000000", true, "001"},
        {"0000000 ", false, "0000000 "},
    };
    for (const Case &c : cases) {
        const CanFields f = ParseCanFields(CanReply('0', "00000000", "00000000", c.txField),
                                           c.layout20A, true);
        EXPECT_EQ(f.txCanId, c.expected) << c.txField.constData();
    }
}

TEST(CanReply, ShortRepliesGiveShorterFields)
{
    const QByteArray cut = CanReply('1', "1A2B3C4D", "FFFFFFFF", "12345678").left(28);
    const CanFields f = ParseCanFields(cut, false, true);
    EXPECT_EQ(f.txCanId, QByteArray("1234567"));
    EXPECT_TRUE(f.pairFlag.isEmpty());
    EXPECT_TRUE(f.txCanIdFlag.isEmpty());
    EXPECT_TRUE(f.respWithCanIdFlag.isEmpty());
    EXPECT_EQ(f.endOfCommand, -48);

    for (const QByteArray &reply : {QByteArray(), QByteArray("?"), QByteArray(200, '\xFF'),
                                    QByteArray(40, '\0')}) {
        for (bool layout20A : {false, true}) {
            const CanFields g = ParseCanFields(reply, layout20A, true);
            EXPECT_LE(g.acceptanceCode.size(), layout20A ? 3 : 8);
            EXPECT_LE(g.txCanId.size(), 8);
            EXPECT_LE(g.pairFlag.size(), 1);
        }
    }
}

TEST(TimingReply, EachCharacterConvertedOnItsOwn)
{
    for (const QByteArray &reply : {QByteArray("!U1A3070F\r"), QByteArray("!U1a3070f\r"),
                                    QByteArray("?U1A3070F")}) {
        const BitTimingCodes t = ParseTimingReply(reply);
        EXPECT_EQ(t.clockMode, 1);
        EXPECT_EQ(t.bt1, 0xA3);
        EXPECT_EQ(t.bt2, 0x07);
        EXPECT_EQ(t.bt3, 0x0F);
    }
}

TEST(TimingReply, NonHexOrMissingCharacterFails)
{
    struct Case { QByteArray reply; const char *message; };
    const Case cases[] = {
        {"!UG000000\r", "'$G' is not a valid integer value."},
        {"!U000000G\r", "'$G' is not a valid integer value."},
        {"!U0 00000\r", "'$ ' is not a valid integer value."},
        {"!U00000\r", "'$\r' is not a valid integer value."},
        {"!U000000", "'$' is not a valid integer value."},
        {"", "'$' is not a valid integer value."},
    };
    for (const Case &c : cases)
        EXPECT_EQ(TimingFailure(c.reply), QString::fromLatin1(c.message)) << c.reply.constData();
    EXPECT_THROW(ParseTimingReply(QByteArray("!U\0\0\0\0\0\0\0", 9)), ConversionError);
    EXPECT_THROW(ParseTimingReply("!U+1234567"), ConversionError);
}

TEST(Rs232Command, Layout)
{
    EXPECT_EQ(BuildRs232Command(11, 3, 0, 0, 0, 0), QByteArray("$P0090B30000"));
    EXPECT_EQ(BuildRs232Command(14, 3, 1, 2, 1, 1), QByteArray("$P0090E31211"));
    ExpectCountMatchesLength(BuildRs232Command(0, 0, 0, 0, 0, 0));
    EXPECT_EQ(BuildRs232Command(-1, 3, 0, 0, 0, 0), QByteArray("$P009FFFFFFFF30000"));
}

TEST(TimingCommand, Layout)
{
    EXPECT_EQ(PresetTimingCommand(), QByteArray("$PU090000000"));
    EXPECT_EQ(BuildTimingCommand(1, 0xA3, 0x07, 0x0F), QByteArray("$PU091A3070F"));
    ExpectCountMatchesLength(BuildTimingCommand(15, 255, 255, 255));
}

TEST(CanCommand, Examples)
{
    struct Case { CanCommandInput in; bool longForm; const char *command; };
    CanCommandInput defaults;
    defaults.baudIndex = 4;
    CanCommandInput code7 = defaults;
    code7.acceptanceCode = 7;
    CanCommandInput b = defaults;
    b.specIndex = 1;
    b.spec20A = false;
    b.acceptanceCode = 0x1FF;
    b.acceptanceMask = -1;
    CanCommandInput pairOff = b;
    pairOff.acceptanceCode = 0;
    pairOff.acceptanceMask = 0;
    CanCommandInput pairOn = b;
    pairOn.txCanId = 0x7FF;
    pairOn.pair = '1';
    pairOn.txFlag = '1';
    pairOn.respFlag = '0';
    pairOn.endOfCommand = 3;
    CanCommandInput pairOn20A = code7;
    pairOn20A.txCanId = 0x123;
    pairOn20A.pair = '1';
    pairOn20A.endOfCommand = 1;
    const Case cases[] = {
        {defaults, false, "$P115040" "0000000000000000"},
        {code7, false, "$P115040" "00070000" "00000000"},
        {b, false, "$P115140" "000001FF" "FFFFFFFF"},
        {pairOff, true, "$P121140" "00000000" "00000000" "00000001" "000" "0"},
        {pairOn, true, "$P121140" "000001FF" "FFFFFFFF" "000007FF" "110" "3"},
        {pairOn20A, true, "$P121040" "00070000" "00000000" "00000123" "100" "1"},
    };
    for (const Case &c : cases) {
        const QByteArray command = BuildCanCommand(c.in, c.longForm);
        EXPECT_EQ(command, QByteArray(c.command));
        ExpectCountMatchesLength(command);
    }
}

TEST(CanCommand, IdentifiersKeepTheirFieldWidths)
{
    // Values wider than the layout allows are cut to 11 (2.0A) or 29 (2.0B) bits.
    CanCommandInput a;
    a.acceptanceCode = -1;
    a.acceptanceMask = 0x12345;
    a.txCanId = -1;
    EXPECT_EQ(BuildCanCommand(a, true), QByteArray("$P121000" "07FF0000" "03450000" "000007FF" "0000"));
    CanCommandInput b;
    b.spec20A = false;
    b.specIndex = 1;
    b.txCanId = -1;
    EXPECT_EQ(BuildCanCommand(b, true), QByteArray("$P121100" "00000000" "00000000" "1FFFFFFF" "0000"));
    ExpectCountMatchesLength(BuildCanCommand(a, false));
}

TEST(CommandLines, ChecksumAndCarriageReturnAppended)
{
    const QByteArray text = BuildRs232Command(11, 3, 0, 0, 0, 0);
    const QByteArray line = WithChecksumLine(text);
    EXPECT_EQ(line, text + AddChksum(text) + '\r');
    EXPECT_EQ(line.size(), 15);
    EXPECT_EQ(WithChecksumLine(BuildCanCommand({}, false)).size(), 27);
    EXPECT_EQ(WithChecksumLine(BuildCanCommand({}, true)).size(), 39);
}
