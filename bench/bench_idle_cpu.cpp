// Idle cost of the receive loop: connected in operation mode to a silent
// module for 10 s, how much CPU does the program use? Then how soon is a
// line listed after it arrives on an otherwise idle connection?
#include "FormFixture.h"
#include "ReceiveListModel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <sys/resource.h>

#include "CpuTime.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int idleMs = argc > 1 ? std::atoi(argv[1]) * 1000 : 10000;

    FormFixture fx(MultiModelEdition(), sim::ProfileByName("operation"));
    TMainForm &f = *fx.Form;

    double cpuProcess = 0, cpuMain = 0, wallS = 0;
    std::vector<double> latenciesMs;
    QElapsedTimer sentAt;
    QObject::connect(f.ReceiveList, &QAbstractItemModel::rowsInserted, [&] {
        if (sentAt.isValid())
            latenciesMs.push_back(double(sentAt.nsecsElapsed()) / 1e6);
        sentAt.invalidate();
    });

    fx.Connect({}, [&] {
        // Measured from inside the loop: nothing but the idle loop runs.
        const double p0 = CpuSeconds(RUSAGE_SELF), m0 = CpuSeconds(RUSAGE_THREAD);
        auto *wall = new QElapsedTimer;
        wall->start();
        QTimer::singleShot(idleMs, &f, [&, p0, m0, wall] {
            cpuProcess = CpuSeconds(RUSAGE_SELF) - p0;
            cpuMain = CpuSeconds(RUSAGE_THREAD) - m0;
            wallS = double(wall->nsecsElapsed()) / 1e9;
            delete wall;
            // Then single lines on the idle connection, 100 ms apart.
            auto *probe = new QTimer(&f);
            auto *sent = new int(0);
            QObject::connect(probe, &QTimer::timeout, &f, [&, probe, sent] {
                if (*sent == 30) {
                    probe->stop();
                    probe->deleteLater();
                    delete sent;
                    f.DisconnectToolButtonClick();
                    return;
                }
                ++*sent;
                sentAt.start();
                fx.Sim.SendRaw("t1238AABBCCDDEEFF0011\r");
            });
            probe->start(100);
        });
    });

    std::printf("idle connected in operation mode for %.1f s (silent module)\n", wallS);
    std::printf("  process CPU: %.3f s = %.3f %% of one core (target < 0.5 %%)\n", cpuProcess,
                100.0 * cpuProcess / wallS);
    std::printf("  window thread CPU: %.3f s = %.3f %% of one core\n", cpuMain, 100.0 * cpuMain / wallS);
    if (!latenciesMs.empty()) {
        std::sort(latenciesMs.begin(), latenciesMs.end());
        std::printf("line listed after arrival on an idle connection (%zu lines): median %.3f ms, "
                    "worst %.3f ms\n",
                    latenciesMs.size(), latenciesMs[latenciesMs.size() / 2], latenciesMs.back());
    }
    std::printf("entries listed: %d, message boxes: %lld\n", f.ReceiveList->Count(),
                static_cast<long long>(fx.Msgs.Boxes.size()));
    return 0;
}
