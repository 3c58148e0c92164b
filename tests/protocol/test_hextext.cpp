#include "ConversionError.h"
#include "HexText.h"

#include <gtest/gtest.h>

using namespace protocol;

namespace {

QString IntegerMessage(const QString &text)
{
    try {
        DecTextToInt(text);
    } catch (const ConversionError &e) {
        return e.Message();
    }
    return QStringLiteral("(no error)");
}

QString HexMessage(const QString &text)
{
    try {
        HexTextToInt(text);
    } catch (const ConversionError &e) {
        return e.Message();
    }
    return QStringLiteral("(no error)");
}

} // namespace

TEST(HexTextToInt, Accepts)
{
    struct Case { const char *text; int32_t value; };
    const Case cases[] = {
        {"0", 0}, {"00000000000", 0}, {"7", 7}, {"1ff", 0x1FF}, {"1FF", 0x1FF},
        {"aBcD", 0xABCD}, {"7FFFFFFF", 0x7FFFFFFF}, {"80000000", INT32_MIN},
        {"FFFFFFFF", -1}, {"000000001", 1}, {"0000FFFFFFFF", -1}, {"1A2B3C4D", 0x1A2B3C4D},
    };
    for (const Case &c : cases)
        EXPECT_EQ(HexTextToInt(QString::fromLatin1(c.text)), c.value) << c.text;
}

TEST(HexTextToInt, RejectsWithTheDollarText)
{
    const char *const rejected[] = {
        "", " 1", "1 ", "+1", "-1", "0x1", "$1", "G", "1g", "100000000",
        "123456789", "FFFFFFFFF", "1.0", "\t", "\xE9",
    };
    for (const char *text : rejected) {
        const QString t = QString::fromLatin1(text);
        EXPECT_EQ(HexMessage(t), QStringLiteral("'$%1' is not a valid integer value.").arg(t))
            << text;
    }
    EXPECT_EQ(HexMessage(QString()), QStringLiteral("'$' is not a valid integer value."));
    EXPECT_THROW(HexTextToInt(QStringLiteral("\u0661")), ConversionError); // Arabic-Indic one
    EXPECT_THROW(HexTextToInt(QStringLiteral("\uFF21")), ConversionError); // full-width A
}

TEST(DecTextToInt, AcceptsSignedDecimalIn32Bits)
{
    struct Case { const char *text; int32_t value; };
    const Case cases[] = {
        {"0", 0}, {"8", 8}, {"-0", 0}, {"+5", 5}, {"007", 7},
        {"2147483647", INT32_MAX}, {"-2147483648", INT32_MIN}, {"000000000002147483647", INT32_MAX},
    };
    for (const Case &c : cases)
        EXPECT_EQ(DecTextToInt(QString::fromLatin1(c.text)), c.value) << c.text;
}

TEST(DecTextToInt, RejectsWithTheText)
{
    const char *const rejected[] = {
        "", "+", "-", " 1", "1 ", "1a", "0x10", "2147483648", "-2147483649",
        "99999999999999999999", "1.5", "--1", "1e3",
    };
    for (const char *text : rejected) {
        const QString t = QString::fromLatin1(text);
        EXPECT_EQ(IntegerMessage(t), QStringLiteral("'%1' is not a valid integer value.").arg(t))
            << text;
    }
    EXPECT_EQ(IntegerMessage(QString()), QStringLiteral("'' is not a valid integer value."));
    EXPECT_THROW(DecTextToInt(QStringLiteral("\u0661")), ConversionError);
}

TEST(IntToHex, UpperCaseZeroPaddedToAMinimumWidth)
{
    struct Case { int32_t value; int width; const char *text; };
    const Case cases[] = {
        {0, 1, "0"}, {0, 3, "000"}, {7, 3, "007"}, {0x1FF, 8, "000001FF"},
        {0xABC, 1, "ABC"}, {0x1234, 3, "1234"}, {-1, 3, "FFFFFFFF"}, {-1, 1, "FFFFFFFF"},
        {INT32_MIN, 2, "80000000"}, {11, 2, "0B"}, {5, 0, "5"}, {5, -3, "5"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(IntToHex(c.value, c.width), QString::fromLatin1(c.text)) << c.value;
}

TEST(FloatingPointError, Message)
{
    EXPECT_EQ(ConversionError::FloatingPoint(QStringLiteral("1,2,3")).Message(),
              QStringLiteral("'1,2,3' is not a valid floating point value."));
}
