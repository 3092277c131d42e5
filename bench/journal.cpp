// The journal of open windows with 50 of them: the work a change costs the interface
// thread (taking the snapshot and handing it to the writer), and reopening them all
// after a bad end, against opening as many from the menu.
//   journal <url> [resting]
//                   "write_median_us"/"write_worst_us" over 100 changes (and
//                   "write_cpu_worst_us", the thread's own CPU time),
//                   "restore_ms" from the Yes to all windows shown, "open_ms" for the
//                   same number opened from the menu; resting: with the windows
//                   behind asleep or put away first
#include "BenchSupport.h"
#include "browser/Form1.h"
#include "frame/WindowJournal.h"

#include <QElapsedTimer>
#include <QMdiSubWindow>
#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {
const int Windows = 50;

bool allShown(MDIForm1 *frame)
{
    const QList<ChildForm *> forms = frame->forms();
    return forms.size() == Windows
            && std::all_of(forms.begin(), forms.end(),
                           [](ChildForm *f) { return f->subWindow()->isVisible(); });
}
} // namespace

int journalBench(const QString &url, bool resting)
{
    Bench b;
    if (resting) {
        // Most windows behind asleep or put away when the journal is written.
        b.factory()->timings().hiddenSleepMs = 1000;
        b.factory()->timings().liveOutOfSight = 8;
    }
    b.create();
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < Windows; ++i)
        b.frame->OpenBrowserWindow(url, url, url);
    if (!waitFor([&] { return allShown(b.frame); }, 60000))
        return 4;
    const double openMs = clock.nsecsElapsed() / 1e6;
    // Every page loaded, so that each window has its title and its history.
    const auto titled = [&] {
        const QList<ChildForm *> forms = b.frame->forms();
        return std::all_of(forms.begin(), forms.end(),
                           [](ChildForm *f) { return f->Caption() != QLatin1String(" "); });
    };
    if (!waitFor(titled, 120000))
        return 4;
    if (resting)
        idle(4000);

    WindowJournal *journal = b.frame->journal();
    if (!journal->isKept())
        return 4;
    // Wall time, and the interface thread's own CPU time: on a shared machine the
    // first also holds the moments the thread was not running at all.
    const auto cpuUs = [] {
        timespec t {};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return t.tv_sec * 1e6 + t.tv_nsec / 1e3;
    };
    QList<double> writes, cpu;
    for (int i = 0; i < 100; ++i) {
        const double cpuBefore = cpuUs();
        clock.restart();
        journal->writeNow();
        writes << clock.nsecsElapsed() / 1e3;
        cpu << cpuUs() - cpuBefore;
        journal->flush();
    }
    // The next start finds what this one left.
    b.recreate();
    clock.restart();
    b.frame->offerRestore();
    if (!waitFor([&] { return allShown(b.frame); }, 60000))
        return 4;
    const double restoreMs = clock.nsecsElapsed() / 1e6;
    std::printf("write_median_us %.1f\nwrite_worst_us %.1f\nwrite_cpu_worst_us %.1f\n"
                "restore_ms %.2f\nopen_ms %.2f\n",
                median(writes), *std::max_element(writes.begin(), writes.end()),
                *std::max_element(cpu.begin(), cpu.end()), restoreMs, openMs);
    return 0;
}
