// POSIX serial device: termios raw 8N1, poll for readiness, FIONREAD for the
// input count, TIOCEXCL plus flock for exclusive use.
#include "SerialDevice.h"
#include "SerialLineRate.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

constexpr short HangUpEvents = POLLHUP | POLLERR | POLLNVAL;

// Errors after which the device is gone rather than momentarily busy.
bool IsLossError(int error)
{
    return error == EIO || error == ENXIO || error == ENODEV || error == EBADF
        || error == EPIPE;
}

// Raw 8N1: every byte passes unchanged, no echo, no CR/LF translation, no
// software flow control, no parity marks; reads never wait (VMIN=VTIME=0).
void ApplyRawMode(int fd, const SerialLineSettings &settings)
{
    termios t {};
    if (tcgetattr(fd, &t) != 0)
        return;
    cfmakeraw(&t);
    t.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK | PARMRK | ISTRIP | IGNPAR);
    t.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
    t.c_cflag |= CS8 | CLOCAL | CREAD;
    if (settings.hardwareFlow)
        t.c_cflag |= CRTSCTS;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    // TCSANOW: neither drains nor discards anything queued.
    (void)tcsetattr(fd, TCSANOW, &t);
}

// Standard rates go through the portable call when termios2 is refused.
speed_t StandardSpeed(int32_t baud)
{
    switch (baud) {
    case 50: return B50;
    case 75: return B75;
    case 110: return B110;
    case 134: return B134;
    case 150: return B150;
    case 200: return B200;
    case 300: return B300;
    case 600: return B600;
    case 1200: return B1200;
    case 1800: return B1800;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    case 230400: return B230400;
    case 460800: return B460800;
    case 921600: return B921600;
    default: return B0;
    }
}

void ApplyRate(int fd, int32_t baud)
{
    if (baud <= 0)
        return; // keep the port's rate; never hang the line up with B0
    if (SetLineRate(fd, baud))
        return;
    const speed_t speed = StandardSpeed(baud);
    termios t {};
    if (speed == B0 || tcgetattr(fd, &t) != 0)
        return;
    cfsetispeed(&t, speed);
    cfsetospeed(&t, speed);
    (void)tcsetattr(fd, TCSANOW, &t);
}

// DTR and RTS inactive; pseudo-terminals refuse this, which is harmless.
void ClearModemLines(int fd, const SerialLineSettings &settings)
{
    int lines = TIOCM_DTR;
    if (!settings.hardwareFlow)
        lines |= TIOCM_RTS;
    (void)ioctl(fd, TIOCMBIC, &lines);
}

class PosixSerialDevice final : public SerialDevice {
public:
    ~PosixSerialDevice() override { close(); }

    bool open(const QString &path, const SerialLineSettings &settings) override
    {
        close();
        if (path.isEmpty())
            return false;
        const QByteArray name = QFile::encodeName(path);
        const int fd = ::open(name.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            return false;
        // TIOCEXCL does not stop root; the lock does, for every opener of ours.
        if (flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
            ::close(fd);
            return false;
        }
        (void)ioctl(fd, TIOCEXCL);
        ApplyRawMode(fd, settings);
        ApplyRate(fd, settings.baud);
        ClearModemLines(fd, settings);
        FFd = fd;
        return true;
    }

    void close() override
    {
        FLost = false;
        FReadableSeen = false;
        if (FFd < 0)
            return;
        const int fd = FFd;
        FFd = -1;
        // Drop exclusivity so the next opener (or a reopen) is not refused.
        (void)ioctl(fd, TIOCNXCL);
        ::close(fd);
    }

    bool isOpen() const override { return FFd >= 0; }
    int handle() const override { return FFd; }
    bool lost() const override { return FLost; }

    int32_t bytesWaiting() override
    {
        if (FFd < 0)
            return 0;
        int count = 0;
        if (ioctl(FFd, FIONREAD, &count) != 0) {
            if (IsLossError(errno))
                FLost = true;
            return 0;
        }
        if (count == 0)
            CheckHangUp();
        return std::max(count, 0);
    }

    bool waitReadable(int timeoutMs) override
    {
        FReadableSeen = false;
        if (FFd < 0 || FLost)
            return false;
        pollfd p { FFd, POLLIN, 0 };
        const int ready = ::poll(&p, 1, std::max(timeoutMs, 0));
        if (ready <= 0)
            return false;
        if (p.revents & HangUpEvents)
            FLost = true;
        FReadableSeen = (p.revents & POLLIN) != 0;
        return FReadableSeen;
    }

    int64_t read(char *buffer, int64_t max) override
    {
        const bool readableSeen = FReadableSeen;
        FReadableSeen = false;
        if (FFd < 0 || max <= 0)
            return 0;
        for (;;) {
            const ssize_t got = ::read(FFd, buffer, static_cast<size_t>(max));
            if (got > 0)
                return got;
            if (got == 0) {
                // With VMIN=VTIME=0 an empty read is normal, unless poll
                // has just said there is something: then it is end of file.
                if (readableSeen)
                    FLost = true;
                return 0;
            }
            if (errno == EINTR)
                continue;
            if (IsLossError(errno))
                FLost = true;
            return 0;
        }
    }

    bool write(const char *data, int64_t length, int timeoutMs) override
    {
        if (FFd < 0 || FLost)
            return false;
        const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        int64_t sent = 0;
        while (sent < length) {
            const ssize_t put = ::write(FFd, data + sent, static_cast<size_t>(length - sent));
            if (put > 0) {
                sent += put;
                continue;
            }
            if (put < 0 && errno == EINTR)
                continue;
            if (put < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
                if (IsLossError(errno))
                    FLost = true;
                return false;
            }
            if (!WaitWritable(deadline))
                return false;
        }
        return true;
    }

private:
    // Notices a hang-up that shows no input (the far end went away).
    void CheckHangUp()
    {
        pollfd p { FFd, POLLIN, 0 };
        if (::poll(&p, 1, 0) > 0 && (p.revents & HangUpEvents))
            FLost = true;
    }

    bool WaitWritable(Clock::time_point deadline)
    {
        for (;;) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - Clock::now()).count();
            if (left <= 0)
                return false;
            pollfd p { FFd, POLLOUT, 0 };
            const int ready = ::poll(&p, 1, static_cast<int>(std::min<int64_t>(left, 1000)));
            if (ready < 0 && errno == EINTR)
                continue;
            if (ready < 0)
                return false;
            if (p.revents & HangUpEvents) {
                FLost = true;
                return false;
            }
            if (p.revents & POLLOUT)
                return true;
        }
    }

    int FFd = -1;
    bool FLost = false;
    bool FReadableSeen = false;
};

} // namespace

std::unique_ptr<SerialDevice> CreateSerialDevice()
{
    return std::make_unique<PosixSerialDevice>();
}
