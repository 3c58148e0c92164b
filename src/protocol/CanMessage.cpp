#include "CanMessage.h"

#include "ConversionError.h"
#include "Framing.h"
#include "HexText.h"

#include <QList>

namespace protocol {

namespace {

constexpr int kMaxDataBytes = 8;
constexpr int32_t kMaxStandardId = 0xFFF; // three hex digits

// The DLC goes out as its text, so it must be the one digit "0" to "8";
// anything else would put a malformed field on the line.
bool IsDlcDigit(const QString &dlcText)
{
    return dlcText.size() == 1 && dlcText[0] >= QLatin1Char('0')
           && dlcText[0] <= QLatin1Char('0' + kMaxDataBytes);
}

} // namespace

QByteArray BuildCanMessageLine(const QString &idText, const QString &modeText,
                               const QString &rtrText, const QString &dlcText,
                               const std::array<int32_t, 8> &data)
{
    const int32_t id = HexTextToInt(idText);
    const bool standard = modeText == QLatin1String("0");
    const bool dataFrame = rtrText == QLatin1String("0");

    // A standard identifier has exactly three digits; a larger value would
    // shift every later field of the line.
    if (standard && (id < 0 || id > kMaxStandardId))
        throw ConversionError::Integer(QLatin1Char('$') + idText);

    QByteArray line;
    line += standard ? (dataFrame ? 't' : 'T') : (dataFrame ? 'e' : 'E');
    line += IntToHex(id, standard ? 3 : 8).toLatin1();

    if (!dataFrame) {
        // A remote frame carries no data; its DLC text is optional.
        if (!dlcText.isEmpty() && !IsDlcDigit(dlcText))
            throw ConversionError::Integer(dlcText);
        return line + dlcText.toLatin1();
    }

    const int32_t count = DecTextToInt(dlcText);
    if (!IsDlcDigit(dlcText))
        throw ConversionError::Integer(dlcText);
    line += dlcText.toLatin1();
    // Each byte is two digits: only the low byte of a field's value is sent.
    for (int k = 0; k < count; ++k)
        line += IntToHex(data[size_t(k)] & 0xFF, 2).toLatin1();
    return line;
}

QByteArray FreeTextBytes(const QString &text)
{
    // By code point, so a character written as a surrogate pair is one "?".
    QByteArray bytes;
    bytes.reserve(text.size());
    for (uint c : text.toUcs4())
        bytes += c <= 0xFF ? char(c) : '?';
    return bytes;
}

QByteArray OutgoingLine(const QByteArray &text, bool checksumOn)
{
    return checksumOn ? WithChecksumLine(text) : text + '\r';
}

} // namespace protocol
