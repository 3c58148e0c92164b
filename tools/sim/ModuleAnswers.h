#pragma once
// The module's side of the command protocol: what a converter answers to one
// received line, as a pure function of its profile. Writes change the
// profile's settings.
#include "ModuleSimulator.h"

#include <QByteArray>
#include <optional>

namespace sim {

// Sum of the byte codes modulo 256 as two upper-case hexadecimal digits.
QByteArray LineChecksum(const QByteArray &text);
// text + its checksum + CR.
QByteArray WithChecksum(const QByteArray &text);

// The version text compared with "3" byte by byte is not smaller.
bool IsVersion3Firmware(const QByteArray &firmware);
// The digit value of the version's first character is 2 or more.
bool IsPairCapable(const QByteArray &firmware);

// The reply to `line` (received without its CR), with its CR; nothing when
// the module stays silent.
//
// Configuration mode (any mode letter but 'R'; the letter goes into the
// wake-up reply as it is): "#A"/"#A64" -> "!S" + firmware + checksum; "#PV", "#PC",
// "#PM" (also "#PMC0") -> "!V"/"!C"/"!M" + text + checksum; "SM1D1" -> "!SM1"
// + checksum; "#P0", "#P1", "#PU" -> the settings groups; "$P009", "$PU09",
// "$P115", "$P121" writes -> "!P0"/"!PU"/"!P1", or "?P0"/"?PU"/"?P1" when
// refused; an empty line -> nothing; anything else -> "?".
// Operation mode: "#A"/"#A64" -> "!R" + firmware + checksum; other lines led
// by "#" or "$" -> nothing; every other line per onLine: nothing, "z" for a
// line led by a lower-case letter or anything else and "Z" for one led by
// "T" or "E", or the line itself echoed with its CR.
// A refused plain wake-up is "?A"; a silent profile answers nothing.
std::optional<QByteArray> AnswerLine(Profile &profile, const QByteArray &line);

} // namespace sim
