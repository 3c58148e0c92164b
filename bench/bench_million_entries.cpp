// A receive list of a million entries: memory per entry, the time to add
// them (as the receive loop does: batched, then shown), and the time Save
// takes to write them to "Receive.txt".
#include "FormFixture.h"
#include "ReceiveListModel.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTableView>
#include <QTemporaryDir>

#include <cstdio>
#include <fstream>
#include <unistd.h>

namespace {

long RssKb()
{
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    constexpr int Count = 1000000;

    FormFixture fx(MultiModelEdition(), sim::ProfileByName("operation"));
    TMainForm &f = *fx.Form;
    QApplication::processEvents();

    const long rss0 = RssKb();
    // Lines made beforehand so that the time is the list's own; the list
    // shares their bytes, so after the lines' vector goes the memory that
    // remains is what the entries cost.
    std::vector<QByteArray> lines;
    lines.reserve(Count);
    for (int i = 0; i < Count; ++i)
        lines.push_back(sim::FloodLine(uint64_t(i)));

    QElapsedTimer t;
    t.start();
    // As the receive loop does when lines come faster than it shows them:
    // added, then shown with one row insertion and one scroll.
    for (int i = 0; i < Count; ++i)
        f.ReceiveList->Add(lines[size_t(i)]);
    f.ReceiveList->Flush();
    f.ReceiveListBox->scrollToBottom();
    const double addS = double(t.nsecsElapsed()) / 1e9;
    t.restart();
    QApplication::processEvents(); // the view's layout and paint of the new rows
    const double viewS = double(t.nsecsElapsed()) / 1e9;
    lines.clear();
    lines.shrink_to_fit();
    const long rss1 = RssKb();

    // One more batch at a million: what a flush costs once the list is long.
    t.restart();
    for (int i = 0; i < 128; ++i)
        f.ReceiveList->Add(sim::FloodLine(uint64_t(Count + i)));
    f.ReceiveList->Flush();
    f.ReceiveListBox->scrollToBottom();
    QApplication::processEvents();
    const double batchAtMillionMs = double(t.nsecsElapsed()) / 1e6;

    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    t.restart();
    f.SaveBitBtnClick();
    const double saveS = double(t.nsecsElapsed()) / 1e9;
    const qint64 fileSize = QFileInfo("Receive.txt").size();
    QDir::setCurrent(previous);

    std::printf("%d entries of %d bytes in the receive list\n", f.ReceiveList->Count(), sim::FloodLineBytes);
    std::printf("  memory: %.1f MB resident more, %.1f bytes per entry\n",
                double(rss1 - rss0) / 1024.0, double(rss1 - rss0) * 1024.0 / Count);
    std::printf("  append (added, then shown and scrolled once): %.3f s = %.3f us per entry\n", addS,
                addS * 1e6 / Count);
    std::printf("  view layout and paint after them: %.3f s; showing one more batch of 128 at a million: %.2f ms\n", viewS,
                batchAtMillionMs);
    std::printf("  Save: %.3f s for %lld bytes (target < 1 s)\n", saveS, static_cast<long long>(fileSize));
    return 0;
}
