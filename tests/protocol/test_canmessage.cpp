#include "CanMessage.h"
#include "ConversionError.h"

#include <gtest/gtest.h>

using namespace protocol;

namespace {

const std::array<int32_t, 8> kData = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88};

QString Failure(const char *id, const char *mode, const char *rtr, const char *dlc,
                const std::array<int32_t, 8> &data = kData)
{
    try {
        BuildCanMessageLine(QString::fromLatin1(id), QString::fromLatin1(mode),
                            QString::fromLatin1(rtr), QString::fromLatin1(dlc), data);
    } catch (const ConversionError &e) {
        return e.Message();
    }
    return QStringLiteral("(no error)");
}

} // namespace

TEST(CanMessageLine, Examples)
{
    struct Case { const char *id, *mode, *rtr, *dlc; const char *line; };
    const Case cases[] = {
        {"123", "0", "0", "2", "t12321122"},
        {"123", "0", "1", "2", "T1232"},
        {"123", "1", "0", "2", "e0000012321122"},
        {"123", "1", "1", "2", "E000001232"},
        {"123", "0", "0", "0", "t1230"},
        {"1", "1", "1", "8", "E000000018"},
        {"1", "0", "0", "3", "t0013112233"},
        {"7FF", "0", "0", "1", "t7FF111"},
        {"fff", "0", "0", "1", "tFFF111"},
        {"1FFFFFFF", "1", "0", "0", "e1FFFFFFF0"},
        {"FFFFFFFF", "1", "0", "0", "eFFFFFFFF0"},
        {"0123", "0", "0", "0", "t1230"},       // leading zeros do not count
        {"123", "", "", "", "E00000123"},       // empty MODE and RTR are not "0"
        {"123", "0", "", "", "T123"},
        {"123", "0", "0", "8", "t12381122334455667788"},
    };
    for (const Case &c : cases) {
        const QByteArray line = BuildCanMessageLine(
            QString::fromLatin1(c.id), QString::fromLatin1(c.mode), QString::fromLatin1(c.rtr),
            QString::fromLatin1(c.dlc), kData);
        EXPECT_EQ(line, QByteArray(c.line)) << c.id << "/" << c.mode << c.rtr << c.dlc;
    }
    EXPECT_EQ(BuildCanMessageLine("123", "1", "0", "8", kData).size(), 26);
}

TEST(CanMessageLine, DataBytesAreTheLowByteOfEachValue)
{
    const std::array<int32_t, 8> data = {0, 0xFF, 0x100, -1, 0x1234, 0, 0, 0};
    EXPECT_EQ(BuildCanMessageLine("1", "0", "0", "5", data), QByteArray("t0015" "00FF00FF34"));
}

TEST(CanMessageLine, ConversionFailures)
{
    struct Case { const char *id, *mode, *rtr, *dlc; const char *message; };
    const Case cases[] = {
        {"", "0", "0", "2", "'$' is not a valid integer value."},
        {"", "1", "1", "", "'$' is not a valid integer value."},
        {"12G", "0", "0", "2", "'$12G' is not a valid integer value."},
        {"123", "0", "0", "", "'' is not a valid integer value."},
        {"123", "1", "0", "x", "'x' is not a valid integer value."},
        // Fields that would break the line's layout.
        {"1000", "0", "0", "0", "'$1000' is not a valid integer value."},
        {"FFFFFFFF", "0", "0", "0", "'$FFFFFFFF' is not a valid integer value."},
        {"123", "0", "0", "9", "'9' is not a valid integer value."},
        {"123", "0", "0", "-1", "'-1' is not a valid integer value."},
        {"123", "0", "0", "08", "'08' is not a valid integer value."},
        {"123", "0", "0", "+8", "'+8' is not a valid integer value."},
        {"123", "0", "1", "x", "'x' is not a valid integer value."},
        {"123", "0", "1", "12", "'12' is not a valid integer value."},
    };
    for (const Case &c : cases)
        EXPECT_EQ(Failure(c.id, c.mode, c.rtr, c.dlc), QString::fromLatin1(c.message))
            << c.id << "/" << c.mode << c.rtr << c.dlc;
}

TEST(OutgoingLine, ChecksumOnlyWhenOn)
{
    const QByteArray line = BuildCanMessageLine("123", "0", "0", "2", kData);
    EXPECT_EQ(OutgoingLine(line, false), QByteArray("t12321122\r"));
    EXPECT_EQ(OutgoingLine(line, true), QByteArray("t1232112202\r"));
    EXPECT_EQ(OutgoingLine("", false), QByteArray("\r"));
    EXPECT_EQ(OutgoingLine("", true), QByteArray("00\r"));
    const QByteArray longText(100, 'A');
    EXPECT_EQ(OutgoingLine(longText, true), longText + "64\r"); // 100 * 65 = 0x1964
}

TEST(FreeText, Latin1WithQuestionMarks)
{
    EXPECT_EQ(FreeTextBytes(QStringLiteral("#PM")), QByteArray("#PM"));
    EXPECT_EQ(FreeTextBytes(QStringLiteral("caf\u00E9 \u00FF")), QByteArray("caf\xE9 \xFF"));
    EXPECT_EQ(FreeTextBytes(QStringLiteral("\u20AC1")), QByteArray("?1"));
    EXPECT_EQ(FreeTextBytes(QString::fromUcs4(U"\U0001F600x")), QByteArray("?x"));
    EXPECT_EQ(FreeTextBytes(QString(QChar(0)) + "a"), QByteArray("\0a", 2));
    EXPECT_EQ(FreeTextBytes(QString()), QByteArray());
}
