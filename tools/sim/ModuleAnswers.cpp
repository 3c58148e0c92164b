#include "ModuleAnswers.h"

namespace sim {

namespace {

const char HexDigits[] = "0123456789ABCDEF";

QByteArray Hex(uint32_t value, int width)
{
    QByteArray out(width, '0');
    for (int i = width - 1; i >= 0; --i) {
        out[i] = HexDigits[value & 0xF];
        value >>= 4;
    }
    return out;
}

// Value of an upper-case hexadecimal digit, -1 for any other character.
int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool AllHex(const QByteArray &text)
{
    for (char c : text)
        if (HexValue(c) < 0)
            return false;
    return true;
}

uint32_t HexNumber(const QByteArray &text)
{
    uint32_t v = 0;
    for (char c : text)
        v = (v << 4) | uint32_t(HexValue(c));
    return v;
}

bool IsFlag(char c) { return c == '0' || c == '1'; }

QByteArray Line(const QByteArray &text) { return text + '\r'; }

// A write is `prefix` + data of `dataLength` + checksum: the checksum must
// match and every data character be an upper-case hexadecimal digit.
bool WellFormedWrite(const QByteArray &line, const char *prefix, int dataLength)
{
    const QByteArray head(prefix);
    if (line.size() != head.size() + dataLength + 2 || !line.startsWith(head))
        return false;
    const QByteArray body = line.left(head.size() + dataLength);
    return line.right(2) == LineChecksum(body) && AllHex(body.mid(head.size()));
}

QByteArray WakeUpReply(const Profile &p, char mode)
{
    return WithChecksum(QByteArray("!") + mode + p.firmware);
}

QByteArray CanGroupReply(const Profile &p)
{
    const ModuleSettings &s = p.settings;
    const bool std20A = s.canSpec == 0;
    QByteArray data = "!1";
    data += HexDigits[s.canSpec & 0xF];
    data += HexDigits[s.canBaud & 0xF];
    data += HexDigits[s.reserved & 0xF];
    if (std20A) {
        data += "0" + Hex(s.acceptanceCode & 0x7FF, 3) + "0000";
        data += "0" + Hex(s.acceptanceMask & 0x7FF, 3) + "0000";
    } else {
        data += Hex(s.acceptanceCode, 8) + Hex(s.acceptanceMask, 8);
    }
    if (IsPairCapable(p.firmware)) {
        data += std20A ? "00000" + Hex(s.txCanId & 0x7FF, 3) : Hex(s.txCanId & 0x1FFFFFFF, 8);
        data += s.pairFlag;
        data += s.txCanIdFlag;
        data += s.respWithCanIdFlag;
        data += HexDigits[s.endOfCommand & 0xF];
    }
    return WithChecksum(data);
}

// "$P009" + baud(2) + data, stop, parity, checksum, error response.
QByteArray WriteRs232(Profile &p, const QByteArray &line)
{
    if (p.refuseWrites || !WellFormedWrite(line, "$P009", 7))
        return Line("?P0");
    ModuleSettings &s = p.settings;
    s.rs232Baud = int(HexNumber(line.mid(5, 2)));
    s.dataBit = HexValue(line[7]);
    s.stopBit = HexValue(line[8]);
    s.parity = HexValue(line[9]);
    s.checksum = HexValue(line[10]);
    s.errorResponse = HexValue(line[11]);
    return Line("!P0");
}

// "$PU09" + clock mode(1) + three registers(2 each).
QByteArray WriteTiming(Profile &p, const QByteArray &line)
{
    if (p.refuseWrites || !IsVersion3Firmware(p.firmware) || !WellFormedWrite(line, "$PU09", 7))
        return Line("?PU");
    ModuleSettings &s = p.settings;
    s.clockMode = HexValue(line[5]);
    s.bt1 = int(HexNumber(line.mid(6, 2)));
    s.bt2 = int(HexNumber(line.mid(8, 2)));
    s.bt3 = int(HexNumber(line.mid(10, 2)));
    return Line("!PU");
}

// An identifier field of the CAN group: eight hex digits in 2.0B; in 2.0A
// `lead` zeros, three digits, then zeros to eight characters.
bool ReadIdField(const QByteArray &field, bool std20A, int lead, uint32_t &value)
{
    if (!std20A) {
        value = HexNumber(field);
        return true;
    }
    for (int i = 0; i < 8; ++i)
        if ((i < lead || i >= lead + 3) && field[i] != '0')
            return false;
    value = HexNumber(field.mid(lead, 3));
    return true;
}

// "$P115" (short) or "$P121" (long, pair-capable firmware only).
QByteArray WriteCan(Profile &p, const QByteArray &line)
{
    const QByteArray refused = Line("?P1");
    if (p.refuseWrites)
        return refused;
    const bool longForm = line.startsWith("$P121");
    if (longForm ? !IsPairCapable(p.firmware) || line.size() != 38
                 : !WellFormedWrite(line, "$P115", 19))
        return refused;
    if (longForm) {
        // Hex fields, then the three flags and the end-of-command digit.
        const QByteArray body = line.left(36);
        if (line.right(2) != LineChecksum(body) || !AllHex(body.mid(5, 27)) || !IsFlag(body[32]) ||
            !IsFlag(body[33]) || !IsFlag(body[34]) || HexValue(body[35]) < 0)
            return refused;
    }
    const bool std20A = line[5] == '0';
    uint32_t code = 0, mask = 0, txId = 0;
    if (!ReadIdField(line.mid(8, 8), std20A, 1, code) || !ReadIdField(line.mid(16, 8), std20A, 1, mask) ||
        (longForm && !ReadIdField(line.mid(24, 8), std20A, 5, txId)))
        return refused;
    ModuleSettings &s = p.settings;
    s.canSpec = HexValue(line[5]);
    s.canBaud = HexValue(line[6]);
    s.reserved = HexValue(line[7]);
    s.acceptanceCode = code;
    s.acceptanceMask = mask;
    if (longForm) {
        s.txCanId = txId;
        s.pairFlag = line[32];
        s.txCanIdFlag = line[33];
        s.respWithCanIdFlag = line[34];
        s.endOfCommand = HexValue(line[35]);
    }
    return Line("!P1");
}

std::optional<QByteArray> AnswerInConfiguration(Profile &p, const QByteArray &line)
{
    const ModuleSettings &s = p.settings;
    if (line.isEmpty())
        return std::nullopt;
    if (line == "#A")
        return p.refusePlainWakeUp ? Line("?A") : WakeUpReply(p, p.mode);
    if (line == "#A64")
        return WakeUpReply(p, p.mode);
    if (line == "#PV")
        return WithChecksum("!V" + p.firmware);
    if (line == "#PC")
        return WithChecksum("!C" + p.maker);
    if (line == "#PM" || line == "#PMC0")
        return WithChecksum("!M" + p.model);
    if (line == "SM1D1")
        return WithChecksum("!SM1");
    if (line == "#P0") {
        QByteArray data = "!0" + Hex(uint32_t(s.rs232Baud) & 0xFF, 2);
        for (int v : {s.dataBit, s.stopBit, s.parity, s.checksum, s.errorResponse})
            data += HexDigits[v & 0xF];
        return WithChecksum(data);
    }
    if (line == "#P1")
        return CanGroupReply(p);
    if (line == "#PU") {
        if (!IsVersion3Firmware(p.firmware))
            return Line("?U");
        return WithChecksum("!U" + QByteArray(1, HexDigits[s.clockMode & 0xF]) + Hex(uint32_t(s.bt1) & 0xFF, 2) +
                            Hex(uint32_t(s.bt2) & 0xFF, 2) + Hex(uint32_t(s.bt3) & 0xFF, 2));
    }
    if (line.startsWith("$P0"))
        return WriteRs232(p, line);
    if (line.startsWith("$PU"))
        return WriteTiming(p, line);
    if (line.startsWith("$P1"))
        return WriteCan(p, line);
    return Line("?");
}

std::optional<QByteArray> AnswerInOperation(Profile &p, const QByteArray &line, const QByteArray &received)
{
    if (line == "#A")
        return p.refusePlainWakeUp ? Line("?A") : WakeUpReply(p, 'R');
    if (line == "#A64")
        return WakeUpReply(p, 'R');
    if (line.startsWith('#') || line.startsWith('$'))
        return std::nullopt;
    switch (p.onLine) {
    case Profile::OnLine::Ignore:
        return std::nullopt;
    case Profile::OnLine::Acknowledge:
        return Line(line.startsWith('T') || line.startsWith('E') ? "Z" : "z");
    case Profile::OnLine::Echo:
        return received;
    }
    return std::nullopt;
}

} // namespace

QByteArray LineChecksum(const QByteArray &text)
{
    unsigned sum = 0;
    for (char c : text)
        sum += static_cast<unsigned char>(c);
    return Hex(sum & 0xFF, 2);
}

QByteArray WithChecksum(const QByteArray &text) { return text + LineChecksum(text) + '\r'; }

bool IsVersion3Firmware(const QByteArray &firmware) { return !(firmware < QByteArray("3")); }

bool IsPairCapable(const QByteArray &firmware)
{
    if (firmware.isEmpty())
        return false;
    const int c = static_cast<unsigned char>(firmware[0]);
    return (c <= '9' ? c - 48 : c - 55) >= 2;
}

std::optional<QByteArray> AnswerLine(Profile &profile, const QByteArray &received)
{
    if (profile.silent)
        return std::nullopt;
    // Interpret without the CR and without an LF left over from a CR LF ending.
    QByteArray line = received;
    if (line.endsWith('\r'))
        line.chop(1);
    while (line.startsWith('\n'))
        line.remove(0, 1);
    if (profile.mode == 'R')
        return AnswerInOperation(profile, line, received);
    return AnswerInConfiguration(profile, line);
}

} // namespace sim
