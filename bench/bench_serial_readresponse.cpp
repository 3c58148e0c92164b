// CPU cost of a ReadResponse that waits on a silent port with AllowEvents on.
// A wait that spins shows about 100% of one core; one that blocks on the
// port's readiness should stay well under 1%.
#include "CpuTime.h"
#include "QCCom32.h"

#include <pty.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

int main()
{
    int master = -1;
    int slave = -1;
    char name[256] = {};
    if (openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        std::perror("openpty");
        return 1;
    }
    setenv("VELTARO_COM1", name, 1);

    TQCCom32 port;
    port.SetShowErrors(false);
    port.SetBaud(115200);
    port.SetEndOfResponse(QStringLiteral("#13"));
    port.SetResponseTime(5000);
    port.SetAllowEvents(true);
    long pumpCalls = 0;
    port.EventPump = [&pumpCalls] { ++pumpCalls; };
    if (!port.Open()) {
        std::fprintf(stderr, "cannot open %s\n", name);
        return 1;
    }

    const double cpuBefore = CpuSeconds();
    const auto wallBefore = std::chrono::steady_clock::now();
    const QByteArray reply = port.ReadResponse();
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallBefore).count();
    const double cpu = CpuSeconds() - cpuBefore;

    std::printf("ReadResponse on a silent port, ResponseTime 5000 ms, AllowEvents on\n");
    std::printf("  reply bytes:   %lld (timed out: %s)\n", static_cast<long long>(reply.size()),
                port.TimedOut() ? "yes" : "no");
    std::printf("  wall time:     %.3f s\n", wall);
    std::printf("  CPU time:      %.4f s\n", cpu);
    std::printf("  CPU use:       %.3f %% of one core (target below 1 %%)\n", 100.0 * cpu / wall);
    std::printf("  pump calls:    %ld (%.0f per second)\n", pumpCalls, pumpCalls / wall);
    close(master);
    close(slave);
    return 0;
}
