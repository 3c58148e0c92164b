#pragma once
// User-defined CAN bit timing: the rate the registers give, and its text.
#include <QLocale>
#include <QString>

namespace protocol {

// kbit/s from the clock-mode value (0 -> 10 MHz, else 20 MHz) and the three
// bit-timing register values.
double CalculateBitRate(int clockModeValue, int bt1, int bt2, int bt3);

// Exactly two decimals, the locale's decimal separator, no grouping, ties
// rounded up (78.125 -> "78.13").
QString FormatBitRate(double kbps, const QLocale &locale);

// Reads FormatBitRate's text back in the same locale; anything else throws
// ConversionError::FloatingPoint(text).
double ParseBitRate(const QString &text, const QLocale &locale);

} // namespace protocol
