#pragma once
// TQCCom32: one COM port; opens it raw 8N1, writes command lines and collects
// one reply bounded by a terminator and a response time. It knows nothing of
// the module's command set.
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

enum THandshake { hsNone = 0, hsHardware = 1 };

class SerialDevice; // the operating-system layer (SerialDevice.h)

// Questions the component asks the user when ShowErrors is set. The program
// never sets ShowErrors; a window can plug its message boxes in here.
struct TQCCom32Prompts {
    virtual ~TQCCom32Prompts() = default;
    // "Error opening COM<n>: " with Abort and Retry; true means Retry.
    virtual bool RetryOpen(const QString &text) = 0;
    // "Port is in use -- operation aborted", OK only.
    virtual void PortInUse(const QString &text) = 0;
    // "Timeout waiting for response." with Abort and Retry; true means Retry.
    virtual bool RetryTimeout(const QString &text) = 0;
};

class TQCCom32 {
public:
    TQCCom32();
    ~TQCCom32();
    TQCCom32(const TQCCom32 &) = delete;
    TQCCom32 &operator=(const TQCCom32 &) = delete;

    bool AllowEvents() const { return FAllowEvents; }
    void SetAllowEvents(bool on) { FAllowEvents = on; }
    int32_t Baud() const { return FBaud; }
    void SetBaud(int32_t baud);
    QString EndOfResponse() const { return FEndOfResponse; }
    void SetEndOfResponse(const QString &text);
    QByteArray ResponseTerminator() const { return FResponseTerminator; }
    THandshake Handshaking() const { return FHandshaking; }
    void SetHandshaking(THandshake h);
    int32_t InCount() const;
    bool InUse() const { return FInUse; }
    uint32_t ResponseTime() const { return FResponseTime; }
    void SetResponseTime(uint32_t ms) { FResponseTime = ms; }
    bool Opened() const;
    int32_t Port() const { return FPort; }
    void SetPort(int32_t port);
    bool ShowErrors() const { return FShowErrors; }
    void SetShowErrors(bool on) { FShowErrors = on; }
    bool TimedOut() const { return FTimedOut; }
    QString Version() const { return QStringLiteral("1.4.0"); }
    void SetVersion(const QString &) {}

    std::function<void(TQCCom32 *)> OnTimeout;
    // Runs pending user-interface events once; used while a wait has AllowEvents.
    std::function<void()> EventPump;
    TQCCom32Prompts *Prompts = nullptr;

    bool Open();
    void Close();
    bool WriteString(const QByteArray &text);
    QByteArray ReadResponse();
    void DoTimeout();

    // The device went away while open (hang-up, I/O error). Set once, cleared
    // by Open and Close; reads and writes fail at once while it is set.
    bool DeviceLost() const;
    // The OS handle, for a readiness notifier; -1 while closed.
    int Handle() const;
    // The device that Port maps to on this platform.
    QString DeviceName() const;

    // Decodes an EndOfResponse text ("#13" -> CR; letters before the first
    // "#" literal; an invalid code makes the whole text literal).
    static QByteArray DecodeTerminator(const QString &text);

private:
    bool FAllowEvents = false;
    int32_t FBaud = 9600;
    QString FEndOfResponse;
    QByteArray FResponseTerminator;
    THandshake FHandshaking = hsNone;
    bool FInUse = false;
    uint32_t FResponseTime = 1000;
    int32_t FPort = 1;
    bool FShowErrors = true;
    bool FTimedOut = false;
    std::unique_ptr<SerialDevice> FDevice;

    // A changed line setting takes effect on an open port by reopening it.
    void ReopenIfOpen();
    bool OpenOnce();
    bool AskRetryOpen();
    bool UsableForIo() const;
    void ReadWaitingInto(QByteArray &result, bool probeWhenEmpty);
    void WaitForTerminator(QByteArray &result);
    bool AskRetryTimeout();
    int WriteBudgetMs(qsizetype bytes) const;
};
