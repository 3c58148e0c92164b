// A flood at the line's full rate: 't' lines with eight data bytes at
// 921600 bit/s (92,160 bytes/s, about 4,200 lines/s) for 30 s. Does every
// byte reach the list, how late does the window answer meanwhile, and what
// does it cost?
#include "FormFixture.h"
#include "ReceiveListModel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTableView>
#include <QTimer>

#include <sys/resource.h>

#include "CpuTime.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

namespace {

// An event posted from outside the window's thread, as input arrives: how
// long until the window thread handles it.
struct StampEvent : QEvent {
    static QEvent::Type Kind() { return static_cast<QEvent::Type>(QEvent::User + 71); }
    explicit StampEvent(std::chrono::steady_clock::time_point at) : QEvent(Kind()), At(at) {}
    std::chrono::steady_clock::time_point At;
};

struct StampReceiver : QObject {
    double WorstMs = 0;
    double SumMs = 0;
    long Count = 0;
    bool event(QEvent *e) override
    {
        if (e->type() != StampEvent::Kind())
            return QObject::event(e);
        const double ms = std::chrono::duration<double, std::milli>(
                              std::chrono::steady_clock::now() - static_cast<StampEvent *>(e)->At)
                              .count();
        WorstMs = std::max(WorstMs, ms);
        SumMs += ms;
        ++Count;
        return true;
    }
};

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 30;
    // Optionally a list that is already long when the flood starts.
    const int prefill = argc > 2 ? std::atoi(argv[2]) : 0;

    FormFixture fx(MultiModelEdition(), sim::ProfileByName("operation"));
    TMainForm &f = *fx.Form;

    for (int i = 0; i < prefill; ++i)
        f.ReceiveList->Add("t0000\r");
    f.ReceiveList->Flush();

    StampReceiver receiver;
    std::atomic<bool> posting{false};
    std::thread poster;
    double timerWorstLateMs = 0;
    QElapsedTimer tick;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(10);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        if (tick.isValid())
            timerWorstLateMs = std::max(timerWorstLateMs, double(tick.nsecsElapsed()) / 1e6 - 10.0);
        tick.restart();
    });

    double cpuProcess = 0, cpuMain = 0, wallS = 0, drainS = 0;
    uint64_t linesSent = 0;

    fx.Connect({}, [&] {
        const double p0 = CpuSeconds(RUSAGE_SELF), m0 = CpuSeconds(RUSAGE_THREAD);
        auto *wall = new QElapsedTimer;
        wall->start();
        fx.Sim.StartFlood(sim::FloodBytesPerSecond, std::chrono::seconds(seconds));
        posting = true;
        poster = std::thread([&] {
            while (posting) {
                QCoreApplication::postEvent(&receiver, new StampEvent(std::chrono::steady_clock::now()));
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        });
        tick.start();
        ticker.start();
        auto *watch = new QTimer(&f);
        QObject::connect(watch, &QTimer::timeout, &f, [&, watch, wall, p0, m0] {
            if (fx.Sim.TrafficRunning())
                return;
            if (wallS == 0) {
                wallS = double(wall->nsecsElapsed()) / 1e9;
                cpuProcess = CpuSeconds(RUSAGE_SELF) - p0;
                cpuMain = CpuSeconds(RUSAGE_THREAD) - m0;
                linesSent = fx.Sim.TrafficLinesSent();
            }
            if (f.ComPort.InCount() > 0 || f.ReceiveList->rowCount() != f.ReceiveList->Count())
                return; // still draining
            drainS = double(wall->nsecsElapsed()) / 1e9 - wallS;
            watch->stop();
            watch->deleteLater();
            ticker.stop();
            posting = false;
            delete wall;
            f.DisconnectToolButtonClick();
        });
        watch->start(50);
    });
    posting = false;
    if (poster.joinable())
        poster.join();

    uint64_t listedBytes = 0;
    QByteArray all;
    for (const QByteArray &e : f.ReceiveList->Entries()) {
        if (prefill > 0 && &e - f.ReceiveList->Entries().data() < prefill)
            continue;
        listedBytes += uint64_t(e.size());
        all += e;
    }
    QByteArray expected;
    expected.reserve(qsizetype(linesSent) * sim::FloodLineBytes);
    for (uint64_t i = 0; i < linesSent; ++i)
        expected += sim::FloodLine(i);

    if (prefill > 0)
        std::printf("list already holding %d entries when the flood starts\n", prefill);
    std::printf("flood of %llu 't' lines (8 data bytes, %d bytes each) at %.0f bytes/s for %.1f s\n",
                static_cast<unsigned long long>(linesSent), sim::FloodLineBytes,
                sim::FloodBytesPerSecond, wallS);
    std::printf("  bytes sent %llu, bytes listed %llu, in order and unchanged: %s\n",
                static_cast<unsigned long long>(linesSent * sim::FloodLineBytes),
                static_cast<unsigned long long>(listedBytes), all == expected ? "yes" : "NO");
    std::printf("  entries %d (%.0f lines/s listed), drained %.3f s after the flood ended\n",
                f.ReceiveList->Count() - prefill, double(linesSent) / wallS, drainS);
    std::printf("  window answers: posted event worst %.2f ms, mean %.3f ms (%ld events); "
                "10 ms timer worst lateness %.2f ms (target < 50 ms)\n",
                receiver.WorstMs, receiver.Count ? receiver.SumMs / double(receiver.Count) : 0.0,
                receiver.Count, timerWorstLateMs);
    std::printf("  CPU: process %.1f %% of one core (window thread %.1f %%, the rest is the simulator)\n",
                100.0 * cpuProcess / wallS, 100.0 * cpuMain / wallS);
    std::printf("  message boxes: %lld\n", static_cast<long long>(fx.Msgs.Boxes.size()));
    return all == expected ? 0 : 1;
}
