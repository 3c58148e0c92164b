#include "BitRate.h"

#include "ConversionError.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace protocol {

double CalculateBitRate(int clockModeValue, int bt1, int bt2, int bt3)
{
    const double clockHz = clockModeValue != 0 ? 20000000.0 : 10000000.0;
    const int prescaler = (bt1 >> 1) & 0x3F;
    const int segmentA = (bt2 >> 1) & 0x07;
    const int segmentB = (bt3 >> 1) & 0x07;
    const int segmentC = (bt3 >> 4) & 0x07;
    const double quantum = (prescaler + 1) / clockHz;
    const double bitTime = quantum + (segmentA + 1) * quantum + (segmentB + 1) * quantum
                           + (segmentC + 1) * quantum;
    return 1.0 / bitTime / 1000.0;
}

namespace {

constexpr int kSignificantDigits = 18;

// |value| rounded half up to hundredths, as the ASCII digits of the whole
// number of hundredths (at least "000"). Only the first 18 significant
// digits of the value take part, so 78.125 becomes "7813".
std::string HundredthsDigits(double magnitude)
{
    char buffer[64];
    // d.ddddddddddddddddde±XX: locale-independent, correctly rounded.
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, magnitude,
                                      std::chars_format::scientific, kSignificantDigits - 1);
    const std::string text(buffer, result.ptr);
    const auto exponentAt = text.find('e');
    std::string digits = text.substr(0, 1) + text.substr(2, exponentAt - 2);
    const int exponent = std::atoi(text.c_str() + exponentAt + 1);

    // Digits that stand before the second decimal place.
    const int kept = exponent + 1 + 2;
    std::string hundredths;
    bool roundUp = false;
    if (kept <= 0) {
        roundUp = kept == 0 && digits[0] >= '5';
    } else if (kept >= int(digits.size())) {
        hundredths = digits + std::string(kept - digits.size(), '0');
    } else {
        hundredths = digits.substr(0, kept);
        roundUp = digits[kept] >= '5';
    }
    if (roundUp) {
        int i = int(hundredths.size()) - 1;
        for (; i >= 0 && hundredths[i] == '9'; --i)
            hundredths[i] = '0';
        if (i >= 0)
            ++hundredths[i];
        else
            hundredths.insert(hundredths.begin(), '1');
    }
    if (hundredths.size() < 3)
        hundredths.insert(0, 3 - hundredths.size(), '0');
    return hundredths;
}

} // namespace

QString FormatBitRate(double kbps, const QLocale &locale)
{
    if (!std::isfinite(kbps))
        return locale.toString(kbps, 'f', 2);
    const std::string digits = HundredthsDigits(std::fabs(kbps));
    QString text = QString::fromLatin1(digits.data(), qsizetype(digits.size() - 2));
    text += locale.decimalPoint();
    text += QLatin1String(digits.data() + digits.size() - 2, 2);
    const bool isZero = digits.find_first_not_of('0') == std::string::npos;
    if (std::signbit(kbps) && !isZero)
        text.prepend(locale.negativeSign());
    return text;
}

double ParseBitRate(const QString &text, const QLocale &locale)
{
    QLocale strict = locale;
    strict.setNumberOptions(locale.numberOptions() | QLocale::RejectGroupSeparator);
    bool ok = false;
    const double value = strict.toDouble(text, &ok);
    if (!ok || !std::isfinite(value))
        throw ConversionError::FloatingPoint(text);
    return value;
}

} // namespace protocol
