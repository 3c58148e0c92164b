#pragma once
// The operating-system layer under TQCCom32: one serial device, opened
// exclusively, raw 8N1, never blocking. One implementation per platform sits
// behind this interface; the component never touches the OS directly.
#include <QString>
#include <cstdint>
#include <memory>

struct SerialLineSettings {
    int32_t baud = 9600;       // bit/s; 0 or less leaves the rate as the port has it
    bool hardwareFlow = false; // CTS/RTS output flow control
};

class SerialDevice {
public:
    virtual ~SerialDevice() = default;

    // Opens `path` for exclusive use and applies `settings`; failures to set
    // the line are ignored. False (and closed) when the device can't be had.
    virtual bool open(const QString &path, const SerialLineSettings &settings) = 0;
    // Closes the device and clears the lost state; does nothing when closed.
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // The OS handle (a file descriptor on POSIX), -1 while closed.
    virtual int handle() const = 0;
    // The device went away while open; set once, cleared by open and close.
    virtual bool lost() const = 0;

    // Bytes waiting in the input queue; 0 when closed or the query fails.
    // Notices a hang-up on the way.
    virtual int32_t bytesWaiting() = 0;
    // Blocks up to `timeoutMs` until input is readable or the device hangs
    // up. True when the device reported input (or end of file).
    virtual bool waitReadable(int timeoutMs) = 0;
    // Reads up to `max` bytes without blocking; returns the count read
    // (0 when none). End of file right after waitReadable, or an I/O error,
    // marks the device lost.
    virtual int64_t read(char *buffer, int64_t max) = 0;
    // Writes all `length` bytes, waiting for the driver when its queue is
    // full, but no longer than `timeoutMs` in all. True only when every
    // byte went out.
    virtual bool write(const char *data, int64_t length, int timeoutMs) = 0;
};

// The layer for the platform this is built for.
std::unique_ptr<SerialDevice> CreateSerialDevice();
