#include "QCCom32.h"

#include "ComPortMap.h"
#include "SerialDevice.h"

#include <QElapsedTimer>

#include <algorithm>
#include <climits>
#include <optional>

namespace {

// Longest a polling pass blocks on the port before the event pump runs again.
constexpr int MaxPassWaitMs = 5;
constexpr qint64 NsPerMs = 1000000;

// A decimal integer (optional sign, at least one digit) in the 32-bit range.
std::optional<int32_t> ParseDecimal(const QString &text)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        negative = text[i++] == u'-';
    if (i == text.size())
        return std::nullopt;
    int64_t value = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c - u'0');
        if (value > int64_t(INT32_MAX) + 1)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > INT32_MAX || value < INT32_MIN)
        return std::nullopt;
    return static_cast<int32_t>(value);
}

// Appends the character a pending code stands for; false when it is no number.
bool AppendCode(QByteArray &terminator, const QString &pending)
{
    const std::optional<int32_t> code = ParseDecimal(pending);
    if (!code)
        return false;
    terminator.append(static_cast<char>(static_cast<uint8_t>(*code))); // modulo 256
    return true;
}

// Time a pass may block: up to the deadline, at most a few milliseconds.
int PassWaitMs(qint64 leftNs)
{
    if (leftNs <= 0)
        return 0;
    return static_cast<int>(std::min<qint64>((leftNs + NsPerMs - 1) / NsPerMs, MaxPassWaitMs));
}

// Clears a flag when the scope ends, however it ends.
class FlagRelease {
public:
    explicit FlagRelease(bool &flag) : FFlag(flag) { FFlag = true; }
    ~FlagRelease() { FFlag = false; }
    FlagRelease(const FlagRelease &) = delete;
    FlagRelease &operator=(const FlagRelease &) = delete;

private:
    bool &FFlag;
};

} // namespace

TQCCom32::TQCCom32() : FDevice(CreateSerialDevice()) {}

TQCCom32::~TQCCom32() { Close(); }

void TQCCom32::SetBaud(int32_t baud)
{
    if (baud == FBaud)
        return;
    FBaud = baud;
    ReopenIfOpen();
}

void TQCCom32::SetPort(int32_t port)
{
    if (port == FPort)
        return;
    FPort = port;
    ReopenIfOpen();
}

void TQCCom32::SetHandshaking(THandshake h)
{
    if (h == FHandshaking)
        return;
    FHandshaking = h;
    ReopenIfOpen();
}

void TQCCom32::SetEndOfResponse(const QString &text)
{
    FEndOfResponse = text;
    FResponseTerminator = DecodeTerminator(text);
}

QByteArray TQCCom32::DecodeTerminator(const QString &text)
{
    QByteArray terminator;
    QString pending;
    bool codeState = false;
    for (const QChar c : text) {
        if (c == u'#') {
            if (codeState && !AppendCode(terminator, pending))
                return text.toLatin1();
            pending.clear();
            codeState = true;
        } else if (codeState) {
            pending.append(c);
        } else {
            terminator.append(c.toLatin1());
        }
    }
    if (!pending.isEmpty() && !AppendCode(terminator, pending))
        return text.toLatin1();
    return terminator;
}

bool TQCCom32::Opened() const { return FDevice->isOpen(); }

bool TQCCom32::DeviceLost() const { return FDevice->lost(); }

int TQCCom32::Handle() const { return FDevice->handle(); }

QString TQCCom32::DeviceName() const { return ComDeviceName(FPort); }

bool TQCCom32::UsableForIo() const { return Opened() && !FDevice->lost(); }

int32_t TQCCom32::InCount() const
{
    if (!UsableForIo())
        return 0;
    const int32_t waiting = FDevice->bytesWaiting();
    return FDevice->lost() ? 0 : waiting;
}

bool TQCCom32::Open()
{
    if (Opened())
        Close();
    while (!OpenOnce()) {
        if (!AskRetryOpen())
            return false;
    }
    return true;
}

void TQCCom32::ReopenIfOpen()
{
    if (Opened()) {
        Close();
        Open();
    }
}

bool TQCCom32::OpenOnce()
{
    SerialLineSettings settings;
    settings.baud = FBaud;
    settings.hardwareFlow = FHandshaking == hsHardware;
    return FDevice->open(ComDeviceName(FPort), settings);
}

bool TQCCom32::AskRetryOpen()
{
    if (!FShowErrors || !Prompts)
        return false;
    return Prompts->RetryOpen(QStringLiteral("Error opening COM%1: ").arg(FPort));
}

void TQCCom32::Close() { FDevice->close(); }

int TQCCom32::WriteBudgetMs(qsizetype bytes) const
{
    // Ten bit times per byte at the line rate, plus a second of slack.
    const int64_t rate = FBaud > 0 ? FBaud : 9600;
    const int64_t ms = int64_t(bytes) * 10 * 1000 / rate + 1000;
    return static_cast<int>(std::min<int64_t>(ms, INT_MAX));
}

bool TQCCom32::WriteString(const QByteArray &text)
{
    if (!Opened() && !Open())
        return false;
    if (FDevice->lost())
        return false;
    if (text.isEmpty())
        return true;
    return FDevice->write(text.constData(), text.size(), WriteBudgetMs(text.size()));
}

void TQCCom32::DoTimeout()
{
    if (OnTimeout)
        OnTimeout(this);
}

QByteArray TQCCom32::ReadResponse()
{
    QByteArray result;
    if (FInUse) {
        if (FShowErrors && Prompts)
            Prompts->PortInUse(QStringLiteral("Port is in use -- operation aborted"));
        return result;
    }
    if (!Opened() && !Open())
        return result;
    if (FDevice->lost())
        return result;
    const FlagRelease inUse(FInUse);
    if (FResponseTerminator.isEmpty())
        ReadWaitingInto(result, false);
    else
        WaitForTerminator(result);
    return result;
}

void TQCCom32::ReadWaitingInto(QByteArray &result, bool probeWhenEmpty)
{
    const int32_t waiting = FDevice->bytesWaiting();
    if (waiting > 0) {
        const qsizetype start = result.size();
        result.resize(start + waiting);
        const int64_t got = FDevice->read(result.data() + start, waiting);
        result.resize(start + std::max<int64_t>(got, 0));
    } else if (probeWhenEmpty) {
        // Poll said readable but nothing is queued: a read tells data from
        // end of file (a device that went away).
        char byte = 0;
        if (FDevice->read(&byte, 1) == 1)
            result.append(byte);
    }
}

void TQCCom32::WaitForTerminator(QByteArray &result)
{
    // Both are fixed for this wait; changes take effect at the next one.
    const QByteArray terminator = FResponseTerminator;
    const qint64 limitNs = qint64(FResponseTime) * NsPerMs;
    QElapsedTimer clock;
    clock.start();
    FTimedOut = false;
    for (;;) {
        const bool readable = FDevice->waitReadable(PassWaitMs(limitNs - clock.nsecsElapsed()));
        const qsizetype before = result.size();
        // Poll found nothing: the queue is empty, no need to ask for its count.
        if (readable || FDevice->lost())
            ReadWaitingInto(result, readable);
        if (result.size() > before) {
            // Only the new bytes, plus the tail a split terminator may start in.
            const qsizetype from = std::max<qsizetype>(0, before - (terminator.size() - 1));
            if (result.indexOf(terminator, from) >= 0)
                return;
        }
        if (!UsableForIo())
            return; // the device went away: nothing more will come
        if (clock.nsecsElapsed() > limitNs)
            FTimedOut = true;
        if (FAllowEvents && EventPump)
            EventPump();
        if (FTimedOut) {
            DoTimeout();
            if (!UsableForIo() || !AskRetryTimeout())
                return;
            FTimedOut = false;
            clock.restart();
        } else if (!UsableForIo()) {
            return; // closed (or lost) by a handler the pump ran
        }
    }
}

bool TQCCom32::AskRetryTimeout()
{
    if (!FShowErrors || !Prompts)
        return false;
    return Prompts->RetryTimeout(QStringLiteral("Timeout waiting for response."));
}
