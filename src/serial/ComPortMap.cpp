#include "ComPortMap.h"

#include <QByteArray>
#include <QtGlobal>

namespace {

QString NumberedDevice(const char *stem, int index)
{
    return QString::fromLatin1(stem) + QString::number(index);
}

} // namespace

QString LinuxComDevice(int port)
{
    if (port >= 1) {
        // An empty variable counts as unset: an empty path could never open.
        const QByteArray fromEnv = qgetenv("VELTARO_COM" + QByteArray::number(port));
        if (!fromEnv.isEmpty())
            return QString::fromLocal8Bit(fromEnv);
    }
    if (port >= 1 && port <= 8)
        return NumberedDevice("/dev/ttyUSB", port - 1);
    if (port >= 9 && port <= 16)
        return NumberedDevice("/dev/ttyACM", port - 9);
    if (port >= 17 && port <= 32)
        return NumberedDevice("/dev/ttyS", port - 17);
    return {};
}

QString WindowsComDevice(int port)
{
    const QString prefix = port < 10 ? QStringLiteral("COM") : QStringLiteral("\\\\.\\COM");
    return prefix + QString::number(port);
}

QString ComDeviceName(int port)
{
#ifdef _WIN32
    return WindowsComDevice(port);
#else
    return LinuxComDevice(port);
#endif
}
