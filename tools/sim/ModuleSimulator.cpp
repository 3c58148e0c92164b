// The pseudo-terminal, the threads and the logging of the simulated module.
// The answers themselves are in ModuleAnswers.cpp.
#include "ModuleSimulator.h"

#include "ModuleAnswers.h"

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <pty.h>
#include <sys/eventfd.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace sim {

namespace {

using Clock = std::chrono::steady_clock;

// A line longer than this without a CR is logged as it stands and dropped.
constexpr int MaxPendingLine = 4096;
// Lines beyond this many are counted but not kept.
constexpr size_t MaxLoggedLines = 1000000;
// Lines that fall due together go out in one write, at most this many.
constexpr size_t MaxBatchLines = 512;
// Paced traffic that has fallen behind (the program is not reading) catches
// up at most this far instead of bursting.
constexpr auto MaxBacklog = std::chrono::milliseconds(20);

struct Piece {
    QByteArray bytes;
    std::chrono::milliseconds gapBefore;
};

struct TrafficJob {
    std::function<QByteArray(uint64_t)> line;
    double linesPerSecond = 0; // pace by lines, or
    double bytesPerSecond = 0; // by bytes; both 0 = flood
    uint64_t count = 0;        // 0 = no limit
    std::chrono::milliseconds duration{0};
};

void SetCloexec(int fd) { fcntl(fd, F_SETFD, fcntl(fd, F_GETFD) | FD_CLOEXEC); }

} // namespace

struct ModuleSimulator::Impl {
    // Profile, log and observer.
    mutable std::mutex mu;
    mutable std::condition_variable linesCv;
    Profile profile;
    std::vector<ReceivedLine> received;
    size_t receivedCount = 0;
    std::function<void(const ReceivedLine &, const QByteArray &)> observer;

    // The pseudo-terminal. Every write holds writeMu so that lines from the
    // different threads never interleave inside a line.
    std::mutex writeMu;
    int masterFd = -1, slaveFd = -1, wakeFd = -1;
    QString path;
    bool started = false;
    std::atomic<bool> closing{false};
    std::atomic<bool> vanished{false};
    std::atomic<uint64_t> bytesSent{0}, trafficLines{0};
    std::thread io;

    // Pieces sent with gaps, on the sender thread.
    mutable std::mutex sendMu;
    mutable std::condition_variable sendCv; // new work, stop, or work done
    std::deque<Piece> pieces;
    bool senderBusy = false, senderStop = false;
    std::thread sender;

    // Traffic, on its own thread; controlMu guards starting and stopping it.
    std::mutex controlMu;
    std::thread traffic;
    std::mutex trafficMu;
    std::condition_variable trafficCv;
    std::atomic<bool> trafficStop{false};
    std::atomic<bool> trafficRunning{false};

    // Writes all of `bytes` unless the simulator is closing, `abort` is set
    // or `deadline` passes.
    void WriteAll(const QByteArray &bytes, Clock::time_point deadline = Clock::time_point::max(),
                  const std::atomic<bool> *abort = nullptr)
    {
        std::lock_guard lock(writeMu);
        qsizetype done = 0;
        while (masterFd >= 0 && done < bytes.size() && !closing && !(abort && *abort)) {
            const ssize_t n = ::write(masterFd, bytes.constData() + done, size_t(bytes.size() - done));
            if (n > 0) {
                done += n;
                bytesSent += uint64_t(n);
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && errno != EAGAIN)
                return;
            if (Clock::now() >= deadline)
                return;
            // Full: wait for room in short slices so that closing is seen.
            pollfd p{masterFd, POLLOUT, 0};
            ::poll(&p, 1, 20);
        }
    }

    void Wake()
    {
        const uint64_t one = 1;
        if (wakeFd >= 0)
            [[maybe_unused]] auto r = ::write(wakeFd, &one, sizeof one);
    }

    void HandleLine(const QByteArray &line, bool answer)
    {
        ReceivedLine rec{Clock::now(), line};
        std::optional<QByteArray> reply;
        std::function<void(const ReceivedLine &, const QByteArray &)> obs;
        {
            std::lock_guard lock(mu);
            if (received.size() < MaxLoggedLines)
                received.push_back(rec);
            ++receivedCount;
            if (answer)
                reply = AnswerLine(profile, line);
            obs = observer;
        }
        linesCv.notify_all();
        if (reply)
            WriteAll(*reply, Clock::now() + std::chrono::seconds(1));
        if (obs)
            obs(rec, reply.value_or(QByteArray()));
    }

    void IoLoop()
    {
        QByteArray pending;
        char buf[4096];
        while (!closing) {
            pollfd fds[2] = {{masterFd, POLLIN, 0}, {wakeFd, POLLIN, 0}};
            if (::poll(fds, 2, -1) < 0) {
                if (errno == EINTR)
                    continue;
                return;
            }
            if (closing)
                return;
            if (fds[1].revents & POLLIN) {
                uint64_t v;
                [[maybe_unused]] auto r = ::read(wakeFd, &v, sizeof v);
            }
            if (fds[0].revents & POLLIN) {
                const ssize_t n = ::read(masterFd, buf, sizeof buf);
                if (n > 0) {
                    pending.append(buf, n);
                    qsizetype cr;
                    while ((cr = pending.indexOf('\r')) >= 0) {
                        HandleLine(pending.left(cr + 1), true);
                        pending.remove(0, cr + 1);
                    }
                    if (pending.size() > MaxPendingLine) {
                        HandleLine(pending, false);
                        pending.clear();
                    }
                    continue;
                }
            }
            if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) {
                // No slave end open (cannot happen while ours is): do not spin.
                pollfd w{wakeFd, POLLIN, 0};
                ::poll(&w, 1, 10);
            }
        }
    }

    void SenderLoop()
    {
        std::unique_lock lock(sendMu);
        while (true) {
            sendCv.wait(lock, [&] { return senderStop || !pieces.empty(); });
            if (senderStop)
                return;
            Piece piece = pieces.front();
            pieces.pop_front();
            senderBusy = true;
            if (sendCv.wait_for(lock, piece.gapBefore, [&] { return senderStop; }))
                return;
            lock.unlock();
            WriteAll(piece.bytes);
            lock.lock();
            senderBusy = false;
            sendCv.notify_all();
        }
    }

    void TrafficLoop(TrafficJob job)
    {
        const Clock::time_point begin = Clock::now();
        Clock::time_point start = begin; // start of the pacing schedule
        uint64_t lines = 0;
        // Lines sent and bytes sent since `start`.
        uint64_t schedLines = 0, schedBytes = 0;
        QByteArray next = job.line(0);
        const bool flood = job.linesPerSecond <= 0 && job.bytesPerSecond <= 0;
        std::unique_lock lock(trafficMu);
        while (!trafficStop && !closing) {
            const Clock::time_point now = Clock::now();
            if ((job.count && lines >= job.count) ||
                (job.duration.count() > 0 && now - begin >= job.duration))
                break;
            const double elapsed = std::chrono::duration<double>(now - start).count();
            QByteArray batch;
            size_t inBatch = 0;
            auto due = [&] {
                if (flood)
                    return true;
                if (job.linesPerSecond > 0)
                    return double(schedLines + inBatch) <= elapsed * job.linesPerSecond;
                return double(schedBytes + uint64_t(batch.size())) <= elapsed * job.bytesPerSecond;
            };
            while (inBatch < MaxBatchLines && (!job.count || lines + inBatch < job.count) && due()) {
                batch += next;
                ++inBatch;
                next = job.line(lines + inBatch);
            }
            if (!batch.isEmpty()) {
                lock.unlock();
                WriteAll(batch, Clock::time_point::max(), &trafficStop);
                lock.lock();
                lines += inBatch;
                schedLines += inBatch;
                schedBytes += uint64_t(batch.size());
                trafficLines += inBatch;
            }
            if (flood)
                continue;
            // When the next line falls due; never sooner than 1 ms from now.
            const double at = job.linesPerSecond > 0 ? double(schedLines) / job.linesPerSecond
                                                     : double(schedBytes) / job.bytesPerSecond;
            Clock::time_point wake = start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(at));
            const Clock::time_point after = Clock::now();
            if (after - wake > MaxBacklog) {
                // Behind (the reader stalled): restart the schedule from now.
                start = after;
                schedLines = schedBytes = 0;
                wake = after;
            }
            trafficCv.wait_until(lock, std::max(wake, after + std::chrono::milliseconds(1)),
                                 [&] { return trafficStop.load() || closing.load(); });
        }
        lock.unlock();
        std::lock_guard done(sendMu);
        trafficRunning = false;
        sendCv.notify_all();
    }

    // Both with controlMu held.
    void StopTraffic()
    {
        {
            std::lock_guard lock(trafficMu);
            trafficStop = true;
        }
        trafficCv.notify_all();
        if (traffic.joinable())
            traffic.join();
        trafficStop = false;
    }

    void StartTraffic(TrafficJob job)
    {
        StopTraffic();
        if (!started || closing)
            return;
        trafficRunning = true;
        traffic = std::thread([this, job = std::move(job)] { TrafficLoop(job); });
    }

    // Stops every thread and closes the pseudo-terminal.
    void Shutdown()
    {
        closing = true;
        {
            std::lock_guard control(controlMu);
            StopTraffic();
        }
        {
            std::lock_guard lock(sendMu);
            senderStop = true;
            pieces.clear();
            senderBusy = false;
        }
        sendCv.notify_all();
        if (sender.joinable())
            sender.join();
        Wake();
        if (io.joinable() && io.get_id() != std::this_thread::get_id())
            io.join();
        std::lock_guard lock(writeMu);
        if (masterFd >= 0)
            ::close(masterFd);
        if (slaveFd >= 0)
            ::close(slaveFd);
        masterFd = slaveFd = -1;
    }
};

ModuleSimulator::ModuleSimulator(Profile profile) : d(std::make_unique<Impl>())
{
    d->profile = std::move(profile);
}

ModuleSimulator::~ModuleSimulator()
{
    d->Shutdown();
    if (d->io.joinable())
        d->io.join();
    if (d->wakeFd >= 0)
        ::close(d->wakeFd);
}

bool ModuleSimulator::Start()
{
    if (d->started)
        return !d->vanished;
    int master = -1, slave = -1;
    if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0)
        return false;
    // Raw at once, before the program opens its end: no echo, no CR/LF
    // translation, every byte passes unchanged.
    termios tio{};
    if (::tcgetattr(slave, &tio) == 0) {
        ::cfmakeraw(&tio);
        tio.c_cflag |= CLOCAL | CREAD;
        ::cfsetspeed(&tio, B115200);
        ::tcsetattr(slave, TCSANOW, &tio);
    }
    char name[128];
    const int wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (::ptsname_r(master, name, sizeof name) != 0 || wake < 0) {
        ::close(master);
        ::close(slave);
        if (wake >= 0)
            ::close(wake);
        return false;
    }
    SetCloexec(master);
    SetCloexec(slave);
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
    d->masterFd = master;
    d->slaveFd = slave;
    d->wakeFd = wake;
    d->path = QString::fromLocal8Bit(name);
    d->started = true;
    d->io = std::thread([this] { d->IoLoop(); });
    d->sender = std::thread([this] { d->SenderLoop(); });
    return true;
}

QString ModuleSimulator::DevicePath() const { return d->path; }

std::vector<ReceivedLine> ModuleSimulator::ReceivedLines() const
{
    std::lock_guard lock(d->mu);
    return d->received;
}

QByteArray ModuleSimulator::ReceivedBytes() const
{
    std::lock_guard lock(d->mu);
    QByteArray out;
    for (const ReceivedLine &line : d->received)
        out += line.bytes;
    return out;
}

void ModuleSimulator::ClearReceived()
{
    std::lock_guard lock(d->mu);
    d->received.clear();
    d->receivedCount = 0;
}

size_t ModuleSimulator::ReceivedCount() const
{
    std::lock_guard lock(d->mu);
    return d->receivedCount;
}

bool ModuleSimulator::WaitForLines(size_t count, std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(d->mu);
    return d->linesCv.wait_for(lock, timeout, [&] { return d->receivedCount >= count; });
}

ModuleSettings ModuleSimulator::Settings() const
{
    std::lock_guard lock(d->mu);
    return d->profile.settings;
}

void ModuleSimulator::SetProfile(const Profile &profile)
{
    std::lock_guard lock(d->mu);
    d->profile = profile;
}

Profile ModuleSimulator::CurrentProfile() const
{
    std::lock_guard lock(d->mu);
    return d->profile;
}

void ModuleSimulator::SetLineObserver(std::function<void(const ReceivedLine &, const QByteArray &)> observer)
{
    std::lock_guard lock(d->mu);
    d->observer = std::move(observer);
}

void ModuleSimulator::SendRaw(const QByteArray &bytes)
{
    d->WriteAll(bytes, Clock::now() + std::chrono::seconds(1));
}

void ModuleSimulator::SendTogether(const std::vector<QByteArray> &lines)
{
    QByteArray all;
    for (const QByteArray &line : lines)
        all += line;
    SendRaw(all);
}

void ModuleSimulator::SendInPieces(const QByteArray &bytes, int pieceSize, std::chrono::milliseconds gap)
{
    if (pieceSize < 1)
        pieceSize = 1;
    {
        std::lock_guard lock(d->sendMu);
        for (qsizetype at = 0; at < bytes.size(); at += pieceSize)
            d->pieces.push_back({bytes.mid(at, pieceSize), at == 0 ? std::chrono::milliseconds(0) : gap});
    }
    d->sendCv.notify_all();
}

void ModuleSimulator::StartTraffic(const std::vector<QByteArray> &lines, double linesPerSecond, size_t count)
{
    if (lines.empty())
        return;
    TrafficJob job;
    job.line = [lines](uint64_t i) { return lines[size_t(i % lines.size())]; };
    job.linesPerSecond = linesPerSecond;
    job.count = count;
    std::lock_guard control(d->controlMu);
    d->StartTraffic(std::move(job));
}

void ModuleSimulator::StartFlood(double bytesPerSecond, std::chrono::milliseconds duration)
{
    TrafficJob job;
    job.line = FloodLine;
    job.bytesPerSecond = bytesPerSecond;
    job.duration = duration;
    std::lock_guard control(d->controlMu);
    d->StartTraffic(std::move(job));
}

void ModuleSimulator::StopTraffic()
{
    std::lock_guard control(d->controlMu);
    d->StopTraffic();
}

bool ModuleSimulator::TrafficRunning() const { return d->trafficRunning; }

bool ModuleSimulator::WaitSendsDone(std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(d->sendMu);
    return d->sendCv.wait_for(lock, timeout,
                              [&] { return d->pieces.empty() && !d->senderBusy && !d->trafficRunning; });
}

uint64_t ModuleSimulator::BytesSent() const { return d->bytesSent; }

uint64_t ModuleSimulator::TrafficLinesSent() const { return d->trafficLines; }

void ModuleSimulator::Vanish()
{
    if (!d->started || d->vanished)
        return;
    d->Shutdown();
    d->vanished = true;
}

bool ModuleSimulator::Vanished() const { return d->vanished; }

} // namespace sim
