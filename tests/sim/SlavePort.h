#pragma once
// The program's end of the simulator's pseudo-terminal, as a plain POSIX fd
// in raw mode, for the simulator tests.
#include "Framing.h"
#include "ModuleSimulator.h"

#include <QByteArray>
#include <QString>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

class SlavePort {
public:
    explicit SlavePort(const QString &path)
    {
        fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        termios tio{};
        if (fd >= 0 && ::tcgetattr(fd, &tio) == 0) {
            ::cfmakeraw(&tio);
            ::tcsetattr(fd, TCSANOW, &tio);
        }
    }
    ~SlavePort() { Close(); }
    SlavePort(const SlavePort &) = delete;
    SlavePort &operator=(const SlavePort &) = delete;

    bool IsOpen() const { return fd >= 0; }
    void Close()
    {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }

    bool Write(const QByteArray &bytes)
    {
        qsizetype done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
            if (n > 0) {
                done += n;
            } else if (n < 0 && errno == EAGAIN) {
                pollfd p{fd, POLLOUT, 0};
                ::poll(&p, 1, 100);
            } else if (!(n < 0 && errno == EINTR)) {
                return false;
            }
        }
        return true;
    }

    // Bytes up to and including the first CR; what has come when `limit` ends
    // (the limit only bounds a failing test).
    QByteArray ReadLine(std::chrono::milliseconds limit = std::chrono::seconds(5))
    {
        return ReadUntil([](const QByteArray &got) { return got.endsWith('\r'); }, limit);
    }
    QByteArray ReadBytes(qsizetype count, std::chrono::milliseconds limit = std::chrono::seconds(5))
    {
        return ReadUntil([count](const QByteArray &got) { return got.size() >= count; }, limit, count);
    }

    // Sends `command` + CR and returns the reply line.
    QByteArray Ask(const QByteArray &command)
    {
        Write(command + '\r');
        return ReadLine();
    }
    // Sends `text` with its line checksum and CR and returns the reply line.
    QByteArray AskChecked(const QByteArray &text)
    {
        Write(protocol::WithChecksumLine(text));
        return ReadLine();
    }

    int fd = -1;

private:
    template <typename Done>
    QByteArray ReadUntil(Done done, std::chrono::milliseconds limit, qsizetype max = -1)
    {
        QByteArray got;
        const auto end = std::chrono::steady_clock::now() + limit;
        while (!done(got)) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
            if (left.count() <= 0)
                break;
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, int(left.count())) <= 0)
                break;
            // A line is read one byte at a time, never past its CR; a count
            // of bytes up to what is still missing.
            char buf[4096];
            const size_t want = max >= 0 ? std::min<size_t>(sizeof buf, size_t(max - got.size())) : 1;
            const ssize_t n = ::read(fd, buf, want);
            if (n > 0)
                got.append(buf, n);
            else if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR))
                break;
            if (max >= 0 && got.size() >= max)
                break;
        }
        return got;
    }
};

// A reply line with a correct checksum: data + two checksum digits + CR.
inline bool HasValidChecksum(const QByteArray &reply)
{
    if (reply.size() < 3 || !reply.endsWith('\r'))
        return false;
    const QByteArray data = reply.left(reply.size() - 3);
    return reply.mid(reply.size() - 3, 2) == protocol::AddChksum(data);
}
