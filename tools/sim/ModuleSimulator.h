#pragma once
// A converter module on a pseudo-terminal. It holds the master end, answers
// the wake-up, identification and settings commands from its profile, and in
// operation mode sends CAN lines. Runs on its own thread so that a program
// on the same process (the tests) can talk to it through the slave device.
#include <QByteArray>
#include <QString>
#include <chrono>
#include <cstdint>
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
    void SendRaw(const QByteArray &bytes);       // exactly these bytes, one write
    // `count` lines at `linesPerSecond` (0 = as fast as the line allows).
    void StartTraffic(const std::vector<QByteArray> &lines, double linesPerSecond, size_t count);
    void StopTraffic();
    uint64_t BytesSent() const;

    // Closes the master end: the program sees the device go away.
    void Vanish();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace sim
