#include "Framing.h"

#include <gtest/gtest.h>

#include <climits>

using namespace protocol;

TEST(Checksum, SumsEveryByteModulo256)
{
    struct Case { QByteArray text; QByteArray expected; };
    const QByteArray sum419 = QByteArray(4, char(100)) + char(19); // 0x1A3
    const Case cases[] = {
        {"#A", "64"},
        {"", "00"},
        {sum419, "A3"},
        {"$P0090B30000", AddChksum("$P0090B30000")},
        {"t12321122", "02"},
        {QByteArray(1, '\xFF'), "FF"},
        {QByteArray(2, '\x80'), "00"},             // high bytes count unsigned
        {QByteArray("\0\x01", 2), "01"},           // an embedded NUL is a byte like any other
        {QByteArray(300, 'A'), "2C"},              // longer than any command: 300*65 = 0x4C2C
    };
    for (const Case &c : cases)
        EXPECT_EQ(AddChksum(c.text), c.expected) << c.text.toHex().constData();
}

TEST(Checksum, LeadCharacterCountsAndTerminatorDoesNot)
{
    EXPECT_NE(AddChksum("#PM"), AddChksum("PM"));
    EXPECT_EQ(WithChecksumLine("#A"), QByteArray("#A64\r"));
    EXPECT_EQ(WithChecksumLine(""), QByteArray("00\r"));
}

TEST(AscToInt, DigitValues)
{
    struct Case { unsigned char c; int value; };
    const Case cases[] = {
        {'0', 0}, {'9', 9}, {'A', 10}, {'F', 15}, {'a', 42}, {'f', 47},
        {0, -48}, {'\r', -35}, {'G', 16}, {0xFF, 200}, {':', 3},
    };
    for (const Case &c : cases)
        EXPECT_EQ(AscToInt(c.c), c.value) << int(c.c);
}

TEST(ReplyAccess, PositionsOutsideTheReplyReadAsNul)
{
    const QByteArray reply = "!S3.0\r";
    EXPECT_EQ(ReplyAt(reply, 1), '!');
    EXPECT_EQ(ReplyAt(reply, 6), '\r');
    for (int pos : {0, -1, 7, 1000, INT_MIN, INT_MAX})
        EXPECT_EQ(ReplyAt(reply, pos), 0) << pos;
    EXPECT_EQ(ReplyAt(QByteArray(), 1), 0);
    EXPECT_EQ(ReplyDigit(reply, 3), 3);
    EXPECT_EQ(ReplyDigit(reply, 40), -48);
    EXPECT_EQ(ReplyAt(QByteArray(1, '\xE9'), 1), 0xE9);
}

TEST(ReplyAccess, TextFieldsComeOutShorter)
{
    struct Case { int pos; int len; QByteArray expected; };
    const QByteArray reply = "!PABCDEF\r";
    const Case cases[] = {
        {3, 4, "ABCD"}, {7, 4, "EF\r"}, {9, 8, "\r"}, {10, 3, ""}, {3, 0, ""},
        {3, -5, ""}, {0, 2, "!"}, {-5, 3, ""}, {INT_MAX, INT_MAX, ""}, {1, INT_MAX, reply},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ReplyText(reply, c.pos, c.len), c.expected) << c.pos << "," << c.len;
    EXPECT_EQ(ReplyText(QByteArray(), 3, 4), QByteArray());
}

TEST(Acknowledgement, ComparesTheFirstThreeCharacters)
{
    struct Case { QByteArray reply; bool ok; };
    const Case cases[] = {
        {"!P0\r", true}, {"!P0", true}, {"!P0XYZ\r", true}, {"?P0\r", false},
        {"!P", false}, {"", false}, {"!p0\r", false}, {"!P1\r", false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(IsAcknowledged(c.reply, "!P0"), c.ok) << c.reply.constData();
}
