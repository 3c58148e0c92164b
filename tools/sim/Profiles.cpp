// Named module profiles and the lines the simulated CAN bus sends.
#include "ModuleAnswers.h"
#include "ModuleSimulator.h"

#include <functional>
#include <utility>

namespace sim {

namespace {

using Change = std::function<void(Profile &)>;

Change Model(const char *name)
{
    return [name](Profile &p) {
        p.model = name;
        // The 921600 bit/s model comes at its own default rate.
        p.settings.rs232Baud = p.model == "R-2481" ? 14 : 11;
    };
}

Change Firmware(const char *version)
{
    return [version](Profile &p) { p.firmware = version; };
}

const std::vector<std::pair<QString, Change>> &Words()
{
    static const std::vector<std::pair<QString, Change>> words = {
        {"R-2416", Model("R-2416")},
        {"R-2416B", Model("R-2416B")},
        {"R-2416-GX", Model("R-2416-GX")},
        {"R-2481", Model("R-2481")},
        {"unknown", Model("R-2416XY")},
        {"fw1", Firmware("1.05")},
        {"fw2", Firmware("2.10")},
        {"fw3", Firmware("3.00")},
        {"fw4", Firmware("4.10")},
        {"fw10", Firmware("10.0")},
        {"config", [](Profile &p) { p.mode = 'S'; }},
        {"operation", [](Profile &p) { p.mode = 'R'; }},
        {"2.0A",
         [](Profile &p) {
             p.settings.canSpec = 0;
             p.settings.acceptanceCode = 0x123;
             p.settings.acceptanceMask = 0x7FF;
             p.settings.txCanId = 0x321;
         }},
        {"2.0B",
         [](Profile &p) {
             p.settings.canSpec = 1;
             p.settings.acceptanceCode = 0x1A2B3C4D;
             p.settings.acceptanceMask = 0x1FFFFFFF;
             p.settings.txCanId = 0x0ABCDEF0;
         }},
        {"pair",
         [](Profile &p) {
             p.settings.pairFlag = '1';
             p.settings.txCanIdFlag = '1';
             p.settings.respWithCanIdFlag = '1';
             p.settings.endOfCommand = 1;
         }},
        {"nopair",
         [](Profile &p) {
             p.settings.pairFlag = '0';
             p.settings.txCanIdFlag = '0';
             p.settings.respWithCanIdFlag = '0';
             p.settings.endOfCommand = 0;
         }},
        {"preset",
         [](Profile &p) {
             p.settings.canBaud = 4;
             p.settings.clockMode = p.settings.bt1 = p.settings.bt2 = p.settings.bt3 = 0;
         }},
        {"userbaud",
         [](Profile &p) {
             p.settings.canBaud = 10;
             p.settings.clockMode = 0;
             p.settings.bt1 = 0x06;
             p.settings.bt2 = 0x0E;
             p.settings.bt3 = 0x2E;
         }},
        {"refuse-plain-wakeup", [](Profile &p) { p.refusePlainWakeUp = true; }},
        {"silent", [](Profile &p) { p.silent = true; }},
        {"refuse-writes", [](Profile &p) { p.refuseWrites = true; }},
        {"ignore", [](Profile &p) { p.onLine = Profile::OnLine::Ignore; }},
        {"ack", [](Profile &p) { p.onLine = Profile::OnLine::Acknowledge; }},
        {"echo", [](Profile &p) { p.onLine = Profile::OnLine::Echo; }},
    };
    return words;
}

} // namespace

bool ApplyProfileWords(Profile &p, const QString &words)
{
    bool allKnown = true;
    for (const QString &raw : words.split(',', Qt::SkipEmptyParts)) {
        const QString word = raw.trimmed();
        if (word.isEmpty() || word.compare("default", Qt::CaseInsensitive) == 0)
            continue;
        bool found = false;
        for (const auto &[known, change] : Words()) {
            if (known.compare(word, Qt::CaseInsensitive) == 0) {
                change(p);
                found = true;
                break;
            }
        }
        allKnown = allKnown && found;
    }
    return allKnown;
}

Profile ProfileByName(const QString &name, bool *ok)
{
    Profile p;
    const bool allKnown = ApplyProfileWords(p, name);
    if (ok)
        *ok = allKnown;
    return p;
}

QStringList ProfileWords()
{
    QStringList out;
    for (const auto &word : Words())
        out << word.first;
    return out;
}

std::vector<QByteArray> SampleTrafficLines(bool withChecksum)
{
    static const char *const texts[] = {
        "t12381122334455667788", "t7FF0", "T1232", "e1ABCDEF031A2B3C", "E000001238", "t000188", "e000000002AA55",
    };
    std::vector<QByteArray> out;
    for (const char *t : texts)
        out.push_back(withChecksum ? WithChecksum(t) : QByteArray(t) + '\r');
    return out;
}

QByteArray FloodLine(uint64_t seq)
{
    static const char digits[] = "0123456789ABCDEF";
    QByteArray line = "t1238DEADBEEF00000000\r";
    const uint32_t v = uint32_t(seq);
    for (int i = 0; i < 8; ++i)
        line[20 - i] = digits[(v >> (4 * i)) & 0xF];
    return line;
}

} // namespace sim
