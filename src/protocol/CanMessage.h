#pragma once
// The CAN message line of the Test page: t/T/e/E + identifier + DLC + data.
#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>

namespace protocol {

// Throws ConversionError for an empty identifier ("$") or, in a data frame,
// a DLC that does not convert ("" for an empty one).
QByteArray BuildCanMessageLine(const QString &idText, const QString &modeText,
                               const QString &rtrText, const QString &dlcText,
                               const std::array<int32_t, 8> &data);

// Free text as the user typed it: Latin-1, "?" for anything outside it.
QByteArray FreeTextBytes(const QString &text);

// The bytes written for a line: text, then its checksum when on, then CR.
QByteArray OutgoingLine(const QByteArray &text, bool checksumOn);

} // namespace protocol
