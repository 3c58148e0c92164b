// The number field's text conversions on arbitrary input: arbitrary text in
// every notation, and every 32-bit value through text and back. Any crash,
// sanitizer report or broken property aborts. No QApplication is needed.
#include "ConversionError.h"
#include "HexText.h"
#include "ValEdit1.h"

#include <QString>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

bool OnlyOf(const QString &text, const char *chars)
{
    for (const QChar c : text)
        if (c.unicode() == 0 || c.unicode() > 0x7f || !std::strchr(chars, char(c.unicode())))
            return false;
    return true;
}

void CheckValue(int32_t v)
{
    for (const auto kind : {neDec, neHex, neBin}) {
        const QString text = TNumberEdit::ValueToText(kind, v);
        Require(!text.isEmpty());
        Require(TNumberEdit::TextToValue(kind, text) == v);
    }
    const QString hex = TNumberEdit::ValueToText(neHex, v);
    Require(hex == protocol::IntToHex(v, 1));
    Require(hex.size() <= 8 && (hex == u"0" || !hex.startsWith(u'0')));
    Require(OnlyOf(hex, "0123456789ABCDEF"));
    const QString bin = TNumberEdit::ValueToText(neBin, v);
    Require(bin.size() <= 32 && (bin == u"0" || bin.startsWith(u'1')));
    Require(OnlyOf(bin, "01"));
}

void CheckText(const QString &text)
{
    // Decimal: either a conversion failure or a value whose own text reads
    // back the same.
    try {
        const int32_t v = TNumberEdit::TextToValue(neDec, text);
        Require(OnlyOf(text, "+-0123456789"));
        Require(TNumberEdit::TextToValue(neDec, TNumberEdit::ValueToText(neDec, v)) == v);
    } catch (const ConversionError &e) {
        Require(!e.Message().isEmpty());
    }

    // Hex and binary never fail; only the last 8 (32) characters count, and
    // leading zeros change nothing.
    const int32_t hex = TNumberEdit::TextToValue(neHex, text);
    Require(hex == TNumberEdit::TextToValue(neHex, text.right(8)));
    Require(hex == TNumberEdit::TextToValue(neHex, QStringLiteral("000") + text));
    if (!text.isEmpty() && text.size() <= 8 && OnlyOf(text, "0123456789abcdefABCDEF"))
        Require(hex == protocol::HexTextToInt(text));

    const int32_t bin = TNumberEdit::TextToValue(neBin, text);
    Require(bin == TNumberEdit::TextToValue(neBin, text.right(32)));
    if (OnlyOf(text, "01") && text.size() <= 32) {
        QString stripped = text;
        while (stripped.size() > 1 && stripped.startsWith(u'0'))
            stripped.remove(0, 1);
        Require(stripped.isEmpty() || TNumberEdit::ValueToText(neBin, bin) == stripped);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size >= 4) {
        uint32_t pattern = 0;
        std::memcpy(&pattern, data, 4);
        CheckValue(int32_t(pattern));
    }
    // The bytes as Latin-1 text, and as UTF-16 so that characters beyond
    // Latin-1 (and lone surrogates) come in too.
    CheckText(QString::fromLatin1(reinterpret_cast<const char *>(data), qsizetype(size)));
    QString wide(qsizetype(size / 2), Qt::Uninitialized);
    std::memcpy(wide.data(), data, size_t(wide.size()) * sizeof(char16_t));
    CheckText(wide);
    return 0;
}
