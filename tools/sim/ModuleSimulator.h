#pragma once
// A converter module on a pseudo-terminal. It holds the master end, answers
// the wake-up, identification and settings commands from its profile, and in
// operation mode sends CAN lines. Runs on its own thread so that a program
// on the same process (the tests) can talk to it through the slave device.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace sim {

struct ModuleSettings {
    int rs232Baud = 11, dataBit = 3, stopBit = 0, parity = 0, checksum = 0, errorResponse = 0;
    int canSpec = 0, canBaud = 4, reserved = 0;
    uint32_t acceptanceCode = 0, acceptanceMask = 0, txCanId = 1;
    char pairFlag = '0', txCanIdFlag = '0', respWithCanIdFlag = '0';
    int endOfCommand = 0;
    int clockMode = 0, bt1 = 0, bt2 = 0, bt3 = 0;
};

struct Profile {
    char mode = 'S';                  // 'S' configuration, 'R' operation
    QByteArray firmware = "3.00";     // four characters
    QByteArray maker = "Veskora";     // seven characters
    QByteArray model = "R-2416";
    bool refusePlainWakeUp = false;   // answer "#A" with "?" (then "#A64" works)
    bool silent = false;              // answer nothing at all
    bool refuseWrites = false;        // answer "$..." writes with "?"
    ModuleSettings settings;
    // Operation mode: what to do with a line received from the program.
    enum class OnLine { Ignore, Acknowledge, Echo } onLine = OnLine::Ignore;
};

// A profile built from comma-separated words, applied left to right over the
// default (R-2416, firmware 3.00, configuration mode, 2.0A, 125K), e.g.
// "R-2481,fw2,2.0B,pair" or "R-2416-GX,userbaud,operation,echo".
// Words: the models R-2416, R-2416B, R-2416-GX, R-2481 and "unknown"
// (model R-2416XY); firmware fw1 (1.05), fw2 (2.10), fw3 (3.00), fw4 (4.10),
// fw10 (10.0); config, operation; 2.0A, 2.0B; pair, nopair; preset (125K),
// userbaud (code A, clock 0, registers 06 0E 2E = 125 kbit/s); refuse-plain-wakeup,
// silent, refuse-writes; ignore, ack, echo. "default" or "" is the default.
// Unknown words set *ok to false (the rest still applies).
Profile ProfileByName(const QString &name, bool *ok = nullptr);
// The same words applied over `profile`; false when one was unknown.
bool ApplyProfileWords(Profile &profile, const QString &words);
QStringList ProfileWords();

// A mix of t/T/e/E lines with CR, with or without the line checksum.
std::vector<QByteArray> SampleTrafficLines(bool withChecksum);
// The flood line number `seq`: "t1238" + eight data bytes + CR (22 bytes),
// the last four data bytes carrying `seq` so a reader can check order and loss.
QByteArray FloodLine(uint64_t seq);
constexpr int FloodLineBytes = 22;
// 921600 bit/s with 10 bits per byte on the line.
constexpr double FloodBytesPerSecond = 92160.0;

struct ReceivedLine {
    std::chrono::steady_clock::time_point at;
    QByteArray bytes; // with its CR
};

class ModuleSimulator {
public:
    explicit ModuleSimulator(Profile profile = {});
    ~ModuleSimulator(); // stops the thread, closes the pseudo-terminal

    // Opens the pseudo-terminal and starts answering. False on failure.
    bool Start();
    // The slave device path the program opens (e.g. /dev/pts/5).
    QString DevicePath() const;

    // Every line received so far (thread-safe copy).
    std::vector<ReceivedLine> ReceivedLines() const;
    // The received lines' bytes concatenated.
    QByteArray ReceivedBytes() const;
    void ClearReceived();
    // Waits (without pumping any event loop) until `count` lines have arrived.
    bool WaitForLines(size_t count, std::chrono::milliseconds timeout) const;

    // The module's settings now (after the program's writes).
    ModuleSettings Settings() const;
    void SetProfile(const Profile &profile);
    Profile CurrentProfile() const;

    // Operation-mode traffic from the CAN bus to the program.
    // Exactly these bytes, one write, on the caller's thread. If the program
    // does not read and the pseudo-terminal is full, gives up after a second.
    void SendRaw(const QByteArray &bytes);
    // Several lines in one write.
    void SendTogether(const std::vector<QByteArray> &lines);
    // `bytes` cut into pieces of `pieceSize`, one write each, `gap` apart;
    // sent from the simulator's sender thread, so the call returns at once.
    void SendInPieces(const QByteArray &bytes, int pieceSize, std::chrono::milliseconds gap);
    // `count` lines at `linesPerSecond` (0 = as fast as the line allows).
    // The lines are sent cyclically; count 0 = until StopTraffic. Lines that
    // fall due together go out in one write (at most one write per ms).
    void StartTraffic(const std::vector<QByteArray> &lines, double linesPerSecond, size_t count);
    // FloodLine(0), FloodLine(1), ... paced at `bytesPerSecond` (0 = as fast as
    // possible) for `duration` (0 = until StopTraffic).
    void StartFlood(double bytesPerSecond = FloodBytesPerSecond,
                    std::chrono::milliseconds duration = std::chrono::milliseconds(0));
    void StopTraffic();
    bool TrafficRunning() const;
    // Waits until traffic has ended by itself and every SendInPieces is out.
    bool WaitSendsDone(std::chrono::milliseconds timeout) const;
    // Every byte the module wrote: replies, traffic and raw sends.
    uint64_t BytesSent() const;
    // Lines sent by StartTraffic/StartFlood.
    uint64_t TrafficLinesSent() const;

    // Number of lines received since the last ClearReceived.
    size_t ReceivedCount() const;
    // Called on the simulator's thread for each received line with the reply
    // sent to it (empty when none). Set before Start.
    void SetLineObserver(std::function<void(const ReceivedLine &, const QByteArray &reply)> observer);

    // Closes the master end: the program sees the device go away.
    void Vanish();
    bool Vanished() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace sim
