#include "Identification.h"

#include "Framing.h"

namespace protocol {

QByteArray FirmwareVersionFromReply(const QByteArray &reply)
{
    return ReplyText(reply, 3, 4);
}

int FirmwareMajorFromReply(const QByteArray &reply)
{
    return ReplyDigit(reply, 3);
}

QByteArray CompanyNameFromReply(const QByteArray &reply)
{
    return ReplyText(reply, 3, 7);
}

QByteArray ModelNameFromReply(const QByteArray &reply)
{
    // The name's length follows from the reply's length (CR included).
    switch (reply.size()) {
    case 11: return ReplyText(reply, 3, 6);
    case 12: return ReplyText(reply, 3, 7);
    case 14: return ReplyText(reply, 3, 9);
    default: return QByteArrayLiteral("N-2416");
    }
}

QByteArray SingleModelNameFromReply(const QByteArray &reply)
{
    return ReplyText(reply, 3, 6);
}

const QStringList &AllRs232Bauds()
{
    static const QStringList bauds = {
        QStringLiteral("110"),    QStringLiteral("150"),    QStringLiteral("300"),
        QStringLiteral("600"),    QStringLiteral("1200"),   QStringLiteral("2400"),
        QStringLiteral("4800"),   QStringLiteral("9600"),   QStringLiteral("19200"),
        QStringLiteral("38400"),  QStringLiteral("57600"),  QStringLiteral("115200"),
        QStringLiteral("230400"), QStringLiteral("460800"), QStringLiteral("921600"),
    };
    return bauds;
}

QStringList Rs232BaudsUpTo115200()
{
    return AllRs232Bauds().mid(0, 12);
}

QStringList Rs232BaudListForModel(const QString &model)
{
    // Only the R-2481 runs above 115200 bit/s.
    return model == QLatin1String("R-2481") ? AllRs232Bauds() : Rs232BaudsUpTo115200();
}

bool IsVersion3Firmware(const QString &firmwareVersion)
{
    return QString::compare(firmwareVersion, QLatin1String("3"), Qt::CaseSensitive) >= 0;
}

bool IsPairCapable(int firmwareMajor)
{
    return firmwareMajor >= 2;
}

} // namespace protocol
