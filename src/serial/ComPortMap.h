#pragma once
// COM number to device name.
#include <QString>

// Linux: VELTARO_COM<n> from the environment when set, else COM1-8 =
// /dev/ttyUSB0-7, COM9-16 = /dev/ttyACM0-7, COM17-32 = /dev/ttyS0-15;
// empty for any other number.
QString LinuxComDevice(int port);
// Windows: "COM<n>" below 10, "\\.\COM<n>" from 10 on.
QString WindowsComDevice(int port);
// The name for the platform this is built for.
QString ComDeviceName(int port);
