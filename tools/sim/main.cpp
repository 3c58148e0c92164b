// veltaro-sim: a simulated converter module on a pseudo-terminal, for trying
// the program by hand and for the end-to-end tests. Prints the device and an
// export line for the program, logs every line it receives, and runs until
// SIGINT or SIGTERM.
#include "ModuleSimulator.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
const Clock::time_point ProgramStart = Clock::now();

// Printable ASCII as it is, CR and LF as \r and \n, other bytes as \xHH.
QByteArray Visible(const QByteArray &bytes)
{
    QByteArray out;
    for (char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\\')
            out += "\\\\";
        else if (c >= 0x20 && c < 0x7F)
            out += char(c);
        else
            out += "\\x" + QByteArray::number(c, 16).rightJustified(2, '0').toUpper();
    }
    return out;
}

[[noreturn]] void Fail(const QString &message)
{
    std::fprintf(stderr, "veltaro-sim: %s\n", message.toLocal8Bit().constData());
    std::exit(2);
}

// Removes the link only while it still names our device.
void RemoveLink(const QString &link, const QString &device)
{
    if (!link.isEmpty() && QFileInfo(link).isSymLink() && QFileInfo(link).symLinkTarget() == device)
        ::unlink(link.toLocal8Bit().constData());
}

} // namespace

int main(int argc, char **argv)
{
    // SIGINT and SIGTERM are taken with sigtimedwait below; block them before
    // any thread starts so that every thread inherits the mask.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("veltaro-sim");

    QCommandLineParser parser;
    parser.setApplicationDescription("A simulated converter module on a pseudo-terminal.");
    parser.addHelpOption();
    const QCommandLineOption profileOpt("profile", "Comma-separated profile words: " + sim::ProfileWords().join(", ") + ".", "NAME");
    const QCommandLineOption modeOpt("mode", "Module mode: config or operation.", "MODE");
    const QCommandLineOption firmwareOpt("firmware", "Firmware version text (four characters).", "TEXT");
    const QCommandLineOption makerOpt("maker", "Maker name (seven characters).", "TEXT");
    const QCommandLineOption modelOpt("model", "Model name.", "TEXT");
    const QCommandLineOption refusePlainOpt("refuse-plain-wakeup", "Refuse \"#A\"; answer only \"#A64\".");
    const QCommandLineOption silentOpt("silent", "Answer nothing at all.");
    const QCommandLineOption refuseWritesOpt("refuse-writes", "Refuse every settings write.");
    const QCommandLineOption standardOpt("can-standard", "CAN standard: 2.0A or 2.0B.", "STANDARD");
    const QCommandLineOption baudOpt("can-baud", "CAN baud code, one hexadecimal digit 0 to A (A: user-defined).", "CODE");
    const QCommandLineOption pairOpt("pair", "Pair connection: on or off.", "ON|OFF");
    const QCommandLineOption onLineOpt("on-line", "Operation mode, a line from the program: ignore, ack or echo.", "WHAT");
    const QCommandLineOption trafficOpt("traffic", "Send a mix of t/T/e/E lines at this rate (0: as fast as possible).",
                                        "LINES_PER_SECOND");
    const QCommandLineOption floodOpt("flood", "Send numbered 't' lines with 8 data bytes at 921600 bit/s.");
    const QCommandLineOption floodRateOpt("flood-rate", "Flood at this byte rate instead (0: unpaced); implies --flood.",
                                          "BYTES_PER_SECOND");
    const QCommandLineOption vanishOpt("vanish-after", "Close the device after this many seconds.", "SECONDS");
    const QCommandLineOption linkOpt("link", "Create a symbolic link PATH to the device (removed at exit).", "PATH");
    const QCommandLineOption portOpt("port", "COM number for the printed export line (default 1).", "N", "1");
    for (const auto &opt : {profileOpt, modeOpt, firmwareOpt, makerOpt, modelOpt, refusePlainOpt, silentOpt,
                            refuseWritesOpt, standardOpt, baudOpt, pairOpt, onLineOpt, trafficOpt, floodOpt, floodRateOpt,
                            vanishOpt, linkOpt, portOpt})
        parser.addOption(opt);
    parser.process(app);

    bool known = true;
    sim::Profile profile = sim::ProfileByName(parser.value(profileOpt), &known);
    if (!known)
        Fail("unknown profile word in \"" + parser.value(profileOpt) + "\"; known: " + sim::ProfileWords().join(", "));
    if (parser.isSet(modeOpt)) {
        const QString m = parser.value(modeOpt);
        if (m == "config")
            profile.mode = 'S';
        else if (m == "operation")
            profile.mode = 'R';
        else
            Fail("--mode takes config or operation");
    }
    if (parser.isSet(firmwareOpt))
        profile.firmware = parser.value(firmwareOpt).toLatin1();
    if (parser.isSet(makerOpt))
        profile.maker = parser.value(makerOpt).toLatin1();
    if (parser.isSet(modelOpt))
        profile.model = parser.value(modelOpt).toLatin1();
    profile.refusePlainWakeUp |= parser.isSet(refusePlainOpt);
    profile.silent |= parser.isSet(silentOpt);
    profile.refuseWrites |= parser.isSet(refuseWritesOpt);
    if (parser.isSet(standardOpt)) {
        const QString standard = parser.value(standardOpt).toUpper();
        if (standard != "2.0A" && standard != "2.0B")
            Fail("--can-standard takes 2.0A or 2.0B");
        sim::ApplyProfileWords(profile, standard);
    }
    if (parser.isSet(baudOpt)) {
        bool ok = false;
        const int code = parser.value(baudOpt).toInt(&ok, 16);
        if (!ok || code < 0 || code > 10)
            Fail("--can-baud takes one hexadecimal digit 0 to A");
        if (code == 10)
            sim::ApplyProfileWords(profile, "userbaud");
        else
            profile.settings.canBaud = code;
    }
    if (parser.isSet(pairOpt)) {
        const QString pair = parser.value(pairOpt);
        if (pair != "on" && pair != "off")
            Fail("--pair takes on or off");
        sim::ApplyProfileWords(profile, pair == "on" ? "pair" : "nopair");
    }
    if (parser.isSet(onLineOpt)) {
        const QString what = parser.value(onLineOpt);
        if (what != "ignore" && what != "ack" && what != "echo")
            Fail("--on-line takes ignore, ack or echo");
        sim::ApplyProfileWords(profile, what);
    }
    double trafficRate = -1, floodRate = -1, vanishAfter = -1;
    bool ok = true;
    if (parser.isSet(trafficOpt) && ((trafficRate = parser.value(trafficOpt).toDouble(&ok)), !ok || trafficRate < 0))
        Fail("--traffic takes a number of lines per second");
    if (parser.isSet(floodOpt))
        floodRate = sim::FloodBytesPerSecond;
    if (parser.isSet(floodRateOpt) && ((floodRate = parser.value(floodRateOpt).toDouble(&ok)), !ok || floodRate < 0))
        Fail("--flood-rate takes a number of bytes per second");
    if (trafficRate >= 0 && floodRate >= 0)
        Fail("--traffic and --flood exclude each other");
    if (parser.isSet(vanishOpt) && ((vanishAfter = parser.value(vanishOpt).toDouble(&ok)), !ok || vanishAfter < 0))
        Fail("--vanish-after takes a number of seconds");
    const int port = parser.value(portOpt).toInt(&ok);
    if (!ok || port < 1)
        Fail("--port takes a COM number from 1");

    sim::ModuleSimulator module(profile);
    module.SetLineObserver([](const sim::ReceivedLine &line, const QByteArray &reply) {
        const double t = std::chrono::duration<double>(line.at - ProgramStart).count();
        if (reply.isEmpty())
            std::printf("[%10.3f] <- %s\n", t, Visible(line.bytes).constData());
        else
            std::printf("[%10.3f] <- %s  -> %s\n", t, Visible(line.bytes).constData(), Visible(reply).constData());
        std::fflush(stdout);
    });
    if (!module.Start())
        Fail(QString("cannot open a pseudo-terminal: ") + std::strerror(errno));
    const QString device = module.DevicePath();

    const QString link = parser.value(linkOpt);
    if (!link.isEmpty()) {
        const QByteArray linkPath = link.toLocal8Bit();
        if (QFileInfo(link).isSymLink())
            ::unlink(linkPath.constData());
        if (::symlink(device.toLocal8Bit().constData(), linkPath.constData()) != 0)
            Fail("cannot create the link " + link + ": " + std::strerror(errno));
    }

    std::printf("veltaro-sim: device %s, model %s, firmware %s, %s mode\n", device.toLocal8Bit().constData(),
                profile.model.constData(), profile.firmware.constData(),
                profile.mode == 'R' ? "operation" : "configuration");
    if (!link.isEmpty())
        std::printf("veltaro-sim: link %s -> %s\n", link.toLocal8Bit().constData(), device.toLocal8Bit().constData());
    std::printf("export VELTARO_COM%d=%s\n", port, device.toLocal8Bit().constData());
    std::fflush(stdout);

    if (trafficRate >= 0) {
        std::vector<QByteArray> lines;
        for (const QByteArray &l : sim::SampleTrafficLines(false))
            lines.push_back(l);
        for (const QByteArray &l : sim::SampleTrafficLines(true))
            lines.push_back(l);
        module.StartTraffic(lines, trafficRate, 0);
    } else if (floodRate >= 0) {
        module.StartFlood(floodRate);
    }

    const Clock::time_point vanishAt =
        vanishAfter >= 0 ? ProgramStart + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(vanishAfter))
                         : Clock::time_point::max();
    while (true) {
        timespec wait{1, 0};
        if (!module.Vanished() && vanishAt != Clock::time_point::max()) {
            const auto left = std::max(Clock::duration::zero(), vanishAt - Clock::now());
            const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
            wait = {time_t(ns / 1000000000), long(ns % 1000000000)};
        } else {
            wait = {3600, 0};
        }
        const int sig = sigtimedwait(&stopSignals, nullptr, &wait);
        if (sig == SIGINT || sig == SIGTERM)
            break;
        if (!module.Vanished() && Clock::now() >= vanishAt) {
            module.Vanish();
            RemoveLink(link, device);
            std::printf("veltaro-sim: device closed\n");
            std::fflush(stdout);
        }
    }
    module.StopTraffic();
    RemoveLink(link, device);
    return 0;
}
