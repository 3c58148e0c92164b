#include "Settings.h"

#include "ConversionError.h"
#include "Framing.h"
#include "HexText.h"

namespace protocol {

const QStringList &DataBitItems()
{
    static const QStringList items = {QStringLiteral("5"), QStringLiteral("6"),
                                      QStringLiteral("7"), QStringLiteral("8")};
    return items;
}

const QStringList &StopBitItems()
{
    static const QStringList items = {QStringLiteral("1"), QStringLiteral("2")};
    return items;
}

const QStringList &ParityItems()
{
    static const QStringList items = {QStringLiteral("None"), QStringLiteral("Odd"),
                                      QStringLiteral("Even")};
    return items;
}

const QStringList &NoYesItems()
{
    static const QStringList items = {QStringLiteral("No"), QStringLiteral("Yes")};
    return items;
}

const QStringList &CanSpecItems()
{
    static const QStringList items = {QStringLiteral("2.0A"), QStringLiteral("2.0B")};
    return items;
}

const QStringList &CanBaudItems(bool withUserDefined)
{
    static const QStringList presets = {
        QStringLiteral("10K"),  QStringLiteral("20K"),  QStringLiteral("50K"),
        QStringLiteral("100K"), QStringLiteral("125K"), QStringLiteral("250K"),
        QStringLiteral("500K"), QStringLiteral("800K"), QStringLiteral("1000K"),
        QStringLiteral("83.3K"),
    };
    static const QStringList withUser = presets + QStringList{QStringLiteral("User-defined")};
    return withUserDefined ? withUser : presets;
}

Rs232Codes ParseRs232Reply(const QByteArray &reply)
{
    Rs232Codes codes;
    codes.baud = 16 * ReplyDigit(reply, 3) + ReplyDigit(reply, 4);
    codes.dataBit = ReplyDigit(reply, 5);
    codes.stopBit = ReplyDigit(reply, 6);
    codes.parity = ReplyDigit(reply, 7);
    codes.checksum = ReplyDigit(reply, 8);
    codes.errorResponse = ReplyDigit(reply, 9);
    return codes;
}

CanCodes ParseCanCodes(const QByteArray &reply)
{
    return {ReplyDigit(reply, 3), ReplyDigit(reply, 4), ReplyDigit(reply, 5)};
}

namespace {

// An all-zero Tx CAN ID is not usable; the module's default is 1.
QByteArray TxIdOrOne(QByteArray txId, const QByteArray &zero, const QByteArray &one)
{
    return txId == zero ? one : txId;
}

} // namespace

CanFields ParseCanFields(const QByteArray &reply, bool layout20A, bool pairCapable)
{
    CanFields fields;
    if (layout20A) {
        // 2.0A keeps the 11-bit values in the low three digits of each field.
        fields.acceptanceCode = ReplyText(reply, 7, 3);
        fields.acceptanceMask = ReplyText(reply, 15, 3);
    } else {
        fields.acceptanceCode = ReplyText(reply, 6, 8);
        fields.acceptanceMask = ReplyText(reply, 14, 8);
    }
    if (!pairCapable)
        return fields;
    fields.hasPairPart = true;
    fields.txCanId = layout20A ? TxIdOrOne(ReplyText(reply, 27, 3), "000", "001")
                               : TxIdOrOne(ReplyText(reply, 22, 8), "00000000", "00000001");
    fields.pairFlag = ReplyText(reply, 30, 1);
    fields.txCanIdFlag = ReplyText(reply, 31, 1);
    fields.respWithCanIdFlag = ReplyText(reply, 32, 1);
    fields.endOfCommand = ReplyDigit(reply, 33);
    return fields;
}

namespace {

// One reply character read as "$" + that character; a missing position
// converts "$" alone and so fails like any other non-hex character.
int TimingDigit(const QByteArray &reply, int pos)
{
    return HexTextToInt(QString::fromLatin1(ReplyText(reply, pos, 1)));
}

int TimingRegister(const QByteArray &reply, int pos)
{
    const int high = TimingDigit(reply, pos);
    return 16 * high + TimingDigit(reply, pos + 1);
}

} // namespace

BitTimingCodes ParseTimingReply(const QByteArray &reply)
{
    BitTimingCodes codes;
    codes.clockMode = TimingDigit(reply, 3);
    codes.bt1 = TimingRegister(reply, 4);
    codes.bt2 = TimingRegister(reply, 6);
    codes.bt3 = TimingRegister(reply, 8);
    return codes;
}

namespace {

QByteArray Hex(int32_t value, int width)
{
    return IntToHex(value, width).toLatin1();
}

constexpr int32_t kLow11Bits = 0x7FF;
constexpr int32_t kLow29Bits = 0x1FFFFFFF;

} // namespace

QByteArray BuildRs232Command(int baudIndex, int dataBit, int stopBit, int parity,
                             int checksum, int errorResponse)
{
    return QByteArrayLiteral("$P009") + Hex(baudIndex, 2) + Hex(dataBit, 1) + Hex(stopBit, 1)
           + Hex(parity, 1) + Hex(checksum, 1) + Hex(errorResponse, 1);
}

QByteArray BuildTimingCommand(int clockMode, int bt1, int bt2, int bt3)
{
    return QByteArrayLiteral("$PU09") + Hex(clockMode, 1) + Hex(bt1, 2) + Hex(bt2, 2)
           + Hex(bt3, 2);
}

QByteArray PresetTimingCommand()
{
    return BuildTimingCommand(0, 0, 0, 0);
}

namespace {

// An identifier field of eight characters holding an 11-bit value:
// "0", three digits, "0000".
QByteArray Field20A(int32_t value)
{
    return '0' + Hex(value & kLow11Bits, 3) + "0000";
}

QByteArray PairPart(const CanCommandInput &in)
{
    QByteArray part = in.spec20A ? "00000" + Hex(in.txCanId & kLow11Bits, 3)
                                 : Hex(in.txCanId & kLow29Bits, 8);
    part += in.pair;
    part += in.txFlag;
    part += in.respFlag;
    return part + Hex(in.endOfCommand, 1);
}

} // namespace

QByteArray BuildCanCommand(const CanCommandInput &in, bool longForm)
{
    QByteArray command = longForm ? QByteArrayLiteral("$P121") : QByteArrayLiteral("$P115");
    command += Hex(in.specIndex, 1) + Hex(in.baudIndex, 1) + Hex(in.reserved, 1);
    if (in.spec20A)
        command += Field20A(in.acceptanceCode) + Field20A(in.acceptanceMask);
    else
        command += Hex(in.acceptanceCode, 8) + Hex(in.acceptanceMask, 8);
    if (longForm)
        command += PairPart(in);
    return command;
}

} // namespace protocol
