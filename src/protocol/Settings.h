#pragma once
// The three settings groups: reply layouts ("#P0", "#P1", "#PU") and the
// write commands ("$P009", "$P115"/"$P121", "$PU09"), without checksum/CR.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

namespace protocol {

inline const QByteArray kQueryRs232 = "#P0\r";
inline const QByteArray kQueryCan = "#P1\r";
inline const QByteArray kQueryTiming = "#PU\r";
inline const QByteArray kAckRs232 = "!P0";
inline const QByteArray kAckCan = "!P1";
inline const QByteArray kAckTiming = "!PU";

// Code tables (list items in code order).
const QStringList &DataBitItems();      // "5","6","7","8"
const QStringList &StopBitItems();      // "1","2"
const QStringList &ParityItems();       // "None","Odd","Even"
const QStringList &NoYesItems();        // "No","Yes"
const QStringList &CanSpecItems();      // "2.0A","2.0B"
const QStringList &CanBaudItems(bool withUserDefined); // 10 or 11 entries
constexpr int kCanBaudUserDefined = 10;

// "#P0": codes as digit values, used unchecked (the caller range-checks
// them as list indexes).
struct Rs232Codes {
    int baud = 0, dataBit = 0, stopBit = 0, parity = 0, checksum = 0, errorResponse = 0;
};
Rs232Codes ParseRs232Reply(const QByteArray &reply);

// "#P1" positions 3, 4, 5.
struct CanCodes {
    int standard = 0, baud = 0, reserved = 0;
};
CanCodes ParseCanCodes(const QByteArray &reply);

// "#P1" identifier fields as text, by the layout in force (2.0A takes only
// the low three digits of each field). TxCANID and the flags only from
// pair-capable modules; "00000000"/"000" Tx IDs become ...1.
struct CanFields {
    QByteArray acceptanceCode, acceptanceMask;
    bool hasPairPart = false;   // read from a pair-capable module
    QByteArray txCanId;         // valid when hasPairPart
    QByteArray pairFlag, txCanIdFlag, respWithCanIdFlag; // one char or empty
    int endOfCommand = 0;       // digit value of position 33
};
CanFields ParseCanFields(const QByteArray &reply, bool layout20A, bool pairCapable);

// "#PU": each of positions 3..9 converted as "$"+char (missing -> "$"),
// throwing ConversionError on a non-hex character.
struct BitTimingCodes {
    int clockMode = 0, bt1 = 0, bt2 = 0, bt3 = 0;
};
BitTimingCodes ParseTimingReply(const QByteArray &reply);

// Command builders. Hex output is upper case and padded to the given
// minimum width; negative values come out as 8 digits.
QByteArray BuildRs232Command(int baudIndex, int dataBit, int stopBit, int parity,
                             int checksum, int errorResponse);            // "$P009..."
QByteArray BuildTimingCommand(int clockMode, int bt1, int bt2, int bt3);  // "$PU09..."
QByteArray PresetTimingCommand();                                         // "$PU090000000"

struct CanCommandInput {
    int specIndex = 0, baudIndex = 0, reserved = 0;
    bool spec20A = true;
    int32_t acceptanceCode = 0, acceptanceMask = 0, txCanId = 1;
    char pair = '0', txFlag = '0', respFlag = '0';
    int endOfCommand = 0;
};
// Short form "$P115..." (not pair-capable) or long form "$P121...".
// In 2.0A the code, mask and Tx ID go out as their low 11 bits; in 2.0B the
// Tx ID as its low 29 bits.
QByteArray BuildCanCommand(const CanCommandInput &in, bool longForm);

} // namespace protocol
