#include "HexText.h"

#include "ConversionError.h"

#include <limits>

namespace protocol {

int HexDigitValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    return -1;
}

int32_t HexTextToInt(const QString &text)
{
    const auto fail = [&text] { return ConversionError::Integer(QLatin1Char('$') + text); };
    if (text.isEmpty())
        throw fail();
    uint32_t value = 0;
    int significantDigits = 0;
    for (QChar c : text) {
        const int digit = HexDigitValue(c);
        if (digit < 0)
            throw fail();
        if (significantDigits > 0 || digit != 0)
            ++significantDigits;
        if (significantDigits > 8)
            throw fail();
        value = (value << 4) | uint32_t(digit);
    }
    // Eight digits fill the 32-bit pattern; a high first digit reads as negative.
    return static_cast<int32_t>(value);
}

int32_t DecTextToInt(const QString &text)
{
    const auto fail = [&text] { return ConversionError::Integer(text); };
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    if (i == text.size())
        throw fail();
    // Accumulate the magnitude in 64 bits and stop as soon as it leaves the range.
    const int64_t limit = negative ? -int64_t(std::numeric_limits<int32_t>::min())
                                   : int64_t(std::numeric_limits<int32_t>::max());
    int64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (u < '0' || u > '9')
            throw fail();
        magnitude = magnitude * 10 + (u - '0');
        if (magnitude > limit)
            throw fail();
    }
    return static_cast<int32_t>(negative ? -magnitude : magnitude);
}

QString IntToHex(int32_t value, int width)
{
    const QString digits = QString::number(static_cast<uint32_t>(value), 16).toUpper();
    return digits.rightJustified(qMax(width, 0), QLatin1Char('0'));
}

} // namespace protocol
