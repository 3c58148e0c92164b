// Arbitrary bytes through every reply reader, the number-text conversions,
// the CAN line builder and the bit-rate text. Any crash, sanitizer report or
// broken property aborts.
#include "BitRate.h"
#include "CanMessage.h"
#include "ConversionError.h"
#include "Framing.h"
#include "HexText.h"
#include "Identification.h"
#include "Settings.h"

#include <QByteArray>
#include <QLocale>
#include <QString>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

using namespace protocol;

namespace {

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

void ReadAllReplies(const QByteArray &reply)
{
    Require(AddChksum(reply).size() == 2);
    for (int pos = -2; pos < reply.size() + 3; ++pos)
        ReplyDigit(reply, pos);
    Require(ReplyText(reply, 3, 4).size() <= 4);
    Require(FirmwareVersionFromReply(reply).size() <= 4);
    FirmwareMajorFromReply(reply);
    Require(CompanyNameFromReply(reply).size() <= 7);
    Require(ModelNameFromReply(reply).size() <= 9);
    Require(SingleModelNameFromReply(reply).size() <= 6);
    IsAcknowledged(reply, kAckCan);
    ParseRs232Reply(reply);
    ParseCanCodes(reply);
    for (bool layout20A : {false, true}) {
        for (bool pairCapable : {false, true}) {
            const CanFields f = ParseCanFields(reply, layout20A, pairCapable);
            Require(f.acceptanceCode.size() <= (layout20A ? 3 : 8));
            Require(f.acceptanceMask.size() <= (layout20A ? 3 : 8));
            Require(f.hasPairPart == pairCapable);
            Require(f.pairFlag.size() <= 1 && f.txCanIdFlag.size() <= 1);
        }
    }
    try {
        const BitTimingCodes t = ParseTimingReply(reply);
        Require(t.clockMode >= 0 && t.clockMode <= 15);
        Require(t.bt1 >= 0 && t.bt1 <= 255 && t.bt2 >= 0 && t.bt2 <= 255);
        Require(t.bt3 >= 0 && t.bt3 <= 255);
        const double rate = CalculateBitRate(t.clockMode, t.bt1, t.bt2, t.bt3);
        Require(rate >= 6.25 && rate <= 5000.0);
    } catch (const ConversionError &) {
    }
}

void ConvertNumberTexts(const QString &text)
{
    try {
        const int32_t value = HexTextToInt(text);
        Require(HexTextToInt(IntToHex(value, 1)) == value);
        Require(HexTextToInt(IntToHex(value, 8)) == value);
    } catch (const ConversionError &e) {
        Require(e.Message() == QStringLiteral("'$%1' is not a valid integer value.").arg(text));
    }
    try {
        const int32_t value = DecTextToInt(text);
        Require(DecTextToInt(QString::number(value)) == value);
    } catch (const ConversionError &e) {
        Require(e.Message() == QStringLiteral("'%1' is not a valid integer value.").arg(text));
    }
}

bool IsLineCharacter(char c)
{
    return std::strchr("tTeE0123456789ABCDEF", c) != nullptr && c != '\0';
}

// Field texts are cut from the input at NUL bytes: id, mode, rtr, dlc.
void BuildLines(const QByteArray &bytes)
{
    const QList<QByteArray> parts = bytes.split('\0');
    const auto part = [&parts](int i) {
        return i < parts.size() ? QString::fromLatin1(parts[i]) : QString();
    };
    std::array<int32_t, 8> data{};
    for (size_t k = 0; k < data.size(); ++k)
        data[k] = int32_t(uint32_t(qHash(bytes, k)));
    try {
        const QByteArray line = BuildCanMessageLine(part(0), part(1), part(2), part(3), data);
        Require(line.size() >= 4 && line.size() <= 26);
        for (char c : line)
            Require(IsLineCharacter(c));
        const QByteArray out = OutgoingLine(line, true);
        Require(out.endsWith('\r') && out.size() == line.size() + 3);
    } catch (const ConversionError &) {
    }
    FreeTextBytes(QString::fromUtf8(bytes));
}

void RoundTripBitRate(const QByteArray &bytes)
{
    if (bytes.size() < 8)
        return;
    double value;
    std::memcpy(&value, bytes.constData(), sizeof value);
    static const QLocale locales[] = {QLocale::c(), QLocale(QLocale::German),
                                      QLocale(QLocale::French, QLocale::Switzerland)};
    for (const QLocale &locale : locales) {
        const QString text = FormatBitRate(value, locale);
        if (!std::isfinite(value) || std::fabs(value) > 1e12) {
            try {
                ParseBitRate(text, locale);
            } catch (const ConversionError &) {
            }
            continue;
        }
        const double back = ParseBitRate(text, locale);
        Require(std::fabs(back - value) <= 0.0050001 + std::fabs(value) * 1e-15);
        Require(FormatBitRate(back, locale) == text);
    }
    try {
        ParseBitRate(QString::fromLatin1(bytes), QLocale::c());
    } catch (const ConversionError &) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    ReadAllReplies(bytes);
    ConvertNumberTexts(QString::fromLatin1(bytes));
    BuildLines(bytes);
    RoundTripBitRate(bytes);
    return 0;
}
