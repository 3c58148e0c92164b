#pragma once
// A pseudo-terminal for serial tests: the test holds the master end (the
// module's side) and VELTARO_COM<n> points the component at the slave.
// The slave starts in cooked mode, so only the component's own line setup
// makes bytes pass unchanged.
#include <QByteArray>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <string>
#include <termios.h>
#include <unistd.h>

class PtyPair {
public:
    explicit PtyPair(int com) : FVariable("VELTARO_COM" + std::to_string(com))
    {
        char name[256] = {};
        if (openpty(&FMaster, &FSlave, name, nullptr, nullptr) != 0)
            throw std::runtime_error("openpty failed");
        // Termios calls on either end act on the slave's settings; make them
        // cooked (echo, CR/LF translation) so the component must undo that.
        termios t {};
        tcgetattr(FSlave, &t);
        t.c_iflag |= ICRNL | IXON;
        t.c_oflag |= OPOST | ONLCR;
        t.c_lflag |= ICANON | ECHO | ISIG | IEXTEN;
        tcsetattr(FSlave, TCSANOW, &t);
        FPath = name;
        setenv(FVariable.c_str(), name, 1);
    }
    ~PtyPair()
    {
        CloseMaster();
        if (FSlave >= 0)
            close(FSlave);
        unsetenv(FVariable.c_str());
    }
    PtyPair(const PtyPair &) = delete;
    PtyPair &operator=(const PtyPair &) = delete;

    // The module sends bytes to the component.
    void Send(const QByteArray &bytes) const
    {
        qsizetype sent = 0;
        while (sent < bytes.size()) {
            const ssize_t n = write(FMaster, bytes.constData() + sent, bytes.size() - sent);
            if (n <= 0)
                throw std::runtime_error("write to pty master failed");
            sent += n;
        }
    }
    // Bytes the component sent, until `count` have come or nothing arrives
    // for `quietMs`.
    QByteArray Receive(qsizetype count, int quietMs = 1000) const
    {
        QByteArray got;
        char buffer[4096];
        while (got.size() < count) {
            pollfd p { FMaster, POLLIN, 0 };
            if (poll(&p, 1, quietMs) <= 0 || !(p.revents & POLLIN))
                break;
            const ssize_t n = read(FMaster, buffer, sizeof buffer);
            if (n <= 0)
                break;
            got.append(buffer, n);
        }
        return got;
    }
    void CloseMaster()
    {
        if (FMaster >= 0)
            close(FMaster);
        FMaster = -1;
    }
    int Slave() const { return FSlave; }
    const std::string &Path() const { return FPath; }

private:
    std::string FVariable;
    std::string FPath;
    int FMaster = -1;
    int FSlave = -1;
};
