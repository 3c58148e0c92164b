#pragma once
// Number texts: the strict "$"+text hexadecimal conversion, decimal conversion,
// and zero-padded upper-case hexadecimal formatting of 32-bit patterns.
#include <QString>
#include <cstdint>

namespace protocol {

// "$" + text into a 32-bit signed integer: 1 to 8 significant hex digits of
// either case (leading zeros do not count), 8-F in an eighth digit gives a
// negative value. Empty text, any other character (blanks, "+", "0x") or a
// ninth significant digit throws ConversionError::Integer("$" + text).
int32_t HexTextToInt(const QString &text);

// The value of one hexadecimal digit of either case; -1 for any other character.
int HexDigitValue(QChar c);

// Optionally signed decimal digits in the 32-bit range; anything else
// (empty, blanks, other characters, overflow) throws ConversionError::Integer(text).
int32_t DecTextToInt(const QString &text);

// The 32-bit pattern of `value` as upper-case hex, zero-padded to at least
// `width` digits (-1 with width 3 gives "FFFFFFFF").
QString IntToHex(int32_t value, int width);

} // namespace protocol
