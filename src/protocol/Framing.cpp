#include "Framing.h"

#include <cstdint>

namespace protocol {

QByteArray AddChksum(const QByteArray &text)
{
    // Every byte counts, however long the text; only the low byte of the sum is kept.
    uint8_t sum = 0;
    for (char c : text)
        sum = static_cast<uint8_t>(sum + static_cast<uint8_t>(c));
    static const char digits[] = "0123456789ABCDEF";
    QByteArray result(2, '0');
    result[0] = digits[sum >> 4];
    result[1] = digits[sum & 0x0F];
    return result;
}

int AscToInt(unsigned char c)
{
    return c <= '9' ? c - 48 : c - 55;
}

QByteArray WithChecksumLine(const QByteArray &text)
{
    return text + AddChksum(text) + '\r';
}

unsigned char ReplyAt(const QByteArray &reply, int pos)
{
    if (pos < 1 || pos > reply.size())
        return 0;
    return static_cast<unsigned char>(reply.at(pos - 1));
}

int ReplyDigit(const QByteArray &reply, int pos)
{
    return AscToInt(ReplyAt(reply, pos));
}

QByteArray ReplyText(const QByteArray &reply, int pos, int len)
{
    // Work in 64 bits so that extreme arguments cannot overflow; positions
    // outside the reply are simply absent.
    const qint64 first = qMax<qint64>(pos, 1);
    const qint64 last = qMin<qint64>(qint64(pos) + len - 1, reply.size());
    if (last < first)
        return {};
    return reply.mid(first - 1, last - first + 1);
}

bool IsAcknowledged(const QByteArray &reply, const QByteArray &ack)
{
    return reply.left(3) == ack;
}

} // namespace protocol
