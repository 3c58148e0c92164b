#include "BitRate.h"
#include "ConversionError.h"

#include <gtest/gtest.h>

using namespace protocol;

namespace {

struct RateCase { int clockMode, bt1, bt2, bt3; const char *text; };

// Decimal text with '.' as in the C locale.
const RateCase kRates[] = {
    {0, 0x06, 0x0E, 0x2E, "125.00"},
    {0, 0x00, 0x00, 0x00, "2500.00"},
    {1, 0x00, 0x00, 0x00, "5000.00"},
    {7, 0x00, 0x00, 0x00, "5000.00"},
    {0, 0x01, 0x01, 0x01, "2500.00"},   // bit 0 of every register is ignored
    {0, 0x81, 0x71, 0x81, "2500.00"},   // so are bit 7 and bits 4-6 of bit timing 2
    {0, 0x7E, 0x0E, 0x7E, "6.25"},
    {1, 0x7E, 0x0E, 0x7E, "12.50"},
    {0, 0x0E, 0x0E, 0x0A, "78.13"},     // exactly 78.125
    {0, 0x0E, 0x0E, 0x7E, "50.00"},
};

QString WithSeparator(const char *text, const QLocale &locale)
{
    return QString::fromLatin1(text).replace(QLatin1Char('.'), locale.decimalPoint());
}

} // namespace

TEST(BitRate, RegisterExamplesInCAndCommaLocales)
{
    for (const QLocale &locale : {QLocale::c(), QLocale(QLocale::German)}) {
        for (const RateCase &c : kRates) {
            const double rate = CalculateBitRate(c.clockMode, c.bt1, c.bt2, c.bt3);
            const QString text = FormatBitRate(rate, locale);
            EXPECT_EQ(text, WithSeparator(c.text, locale)) << c.text;
            EXPECT_NEAR(ParseBitRate(text, locale), QString::fromLatin1(c.text).toDouble(), 1e-9);
        }
    }
    EXPECT_EQ(FormatBitRate(125.0, QLocale(QLocale::German)), QStringLiteral("125,00"));
}

TEST(BitRate, TiesRoundHalfUpWithoutGrouping)
{
    struct Case { double kbps; const char *text; };
    const Case cases[] = {
        {78.125, "78.13"}, {15.625, "15.63"}, {0.125, "0.13"}, {0.005, "0.01"},
        {0.004, "0.00"}, {0.0, "0.00"}, {9.999, "10.00"}, {9.875, "9.88"}, {99.999, "100.00"},
        {1234567.0, "1234567.00"}, {125.005, "125.00"} /* stored just below the tie */, {1e-300, "0.00"},
        {-78.125, "-78.13"}, {-0.001, "0.00"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(FormatBitRate(c.kbps, QLocale::c()), QString::fromLatin1(c.text)) << c.kbps;
    EXPECT_EQ(FormatBitRate(1234567.0, QLocale(QLocale::German)), QStringLiteral("1234567,00"));
    EXPECT_EQ(FormatBitRate(1234567.0, QLocale(QLocale::English)), QStringLiteral("1234567.00"));
}

TEST(BitRate, ReadBackAcceptsTheLocaleNumberOnly)
{
    const QLocale german(QLocale::German);
    EXPECT_DOUBLE_EQ(ParseBitRate(QStringLiteral("0"), german), 0.0);
    EXPECT_DOUBLE_EQ(ParseBitRate(QStringLiteral("125,01"), german), 125.01);
    EXPECT_DOUBLE_EQ(ParseBitRate(QStringLiteral("125.01"), QLocale::c()), 125.01);
    struct Case { QLocale locale; const char *text; };
    const Case rejected[] = {
        {QLocale::c(), ""}, {QLocale::c(), "abc"}, {QLocale::c(), "125,00"},
        {QLocale::c(), "1,250.00"}, {german, "1.250,00"}, {german, "125.00x"},
        {QLocale::c(), "inf"}, {QLocale::c(), "nan"}, {QLocale(QLocale::English), "1,000"},
    };
    for (const Case &c : rejected) {
        const QString text = QString::fromLatin1(c.text);
        try {
            ParseBitRate(text, c.locale);
            ADD_FAILURE() << "accepted " << c.text;
        } catch (const ConversionError &e) {
            EXPECT_EQ(e.Message(),
                      QStringLiteral("'%1' is not a valid floating point value.").arg(text));
        }
    }
}
