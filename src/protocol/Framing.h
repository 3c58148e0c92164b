#pragma once
// Line framing shared by every command: the two-digit checksum, the value of
// one hexadecimal digit, and bounds-checked reading of reply positions.
#include <QByteArray>

namespace protocol {

// Sum of all byte codes (unsigned) modulo 256 as two upper-case hex digits.
QByteArray AddChksum(const QByteArray &text);

// c <= '9' ? c - 48 : c - 55, on the unsigned byte code. No character is rejected.
int AscToInt(unsigned char c);

// Command text + its checksum + CR.
QByteArray WithChecksumLine(const QByteArray &text);

// Character at 1-based position `pos`; a position outside the reply reads as NUL.
unsigned char ReplyAt(const QByteArray &reply, int pos);

// Digit value (AscToInt) of the character at 1-based position `pos`.
int ReplyDigit(const QByteArray &reply, int pos);

// `len` characters from 1-based `pos`; characters beyond the end are absent,
// so the result may be shorter or empty.
QByteArray ReplyText(const QByteArray &reply, int pos, int len);

// First three characters of `reply` (all of it when shorter) equal `ack`.
bool IsAcknowledged(const QByteArray &reply, const QByteArray &ack);

} // namespace protocol
