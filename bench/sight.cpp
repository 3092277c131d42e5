// Windows out of sight: what they cost while behind, and how fast they come back.
//   behind <front-url> <behind-url> <n>  "cpu_ms": the process tree's CPU time over
//                          10 s with n windows of behind-url under one of front-url;
//                          "own_cpu_ms": the frame's process alone
//   manywindows <url> <n> <budget>       "pss_kb" of the tree with n windows left
//                          alone; budget 0: none sleeps or is put away. Also
//                          "live"/"frozen"/"discarded" pages and "open_ms"
//   restore <url> <n>      "ms" from the Yes to reopening n windows of a journal to
//                          the front one's page complete; "reopened_ms" until the
//                          other windows are all there behind it
//   wake <url> <n>         with n windows: "frozen_ms"/"live_ms" from Show() to the
//                          page's first frame in sight (its title says so), and
//                          "putaway_ms"/"fresh_ms"/"cold_ms" from Show() of one put
//                          away, a load of the page in the window in front (its
//                          renderer running), or of the page under another site
//                          name (a renderer started for it), to complete
//   tabswitch <url> <n>    "bare_ms": a bare MDI area of n plain widgets brought
//                          forward; "tab_ms"/"tab_worst_ms": a tab click in Orvane
//                          with n windows; the steps of the click and what they cost;
//                          "restore_ms": the user restoring the window in front
#include "BenchSupport.h"
#include "ProcTree.h"
#include "browser/Form1.h"
#include "forms/CoverWatch.h"
#include "forms/TabStrip.h"
#include "forms/WindowKey.h"
#include "frame/WindowJournal.h"

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace {

enum State { Active = 0, Frozen = 1, Discarded = 2 };

QList<Form1 *> browsers(MDIForm1 *frame)
{
    QList<Form1 *> all;
    for (ChildForm *f : frame->forms())
        if (auto *w = qobject_cast<Form1 *>(f))
            all << w;
    return all;
}

// Opens n windows of the page, the last in front, until every page has completed
// or none has for 20 s (a page put away while loading does not complete). The
// windows count their pages into completed as long as they live.
int openAll(MDIForm1 *frame, const QString &url, int n, int &completed)
{
    const int before = completed;
    n += before;
    for (int i = before; i < n; ++i)
        openPage(frame, url, &completed);
    int last = -1;
    QElapsedTimer still;
    while (completed < n) {
        if (completed != last) {
            last = completed;
            still.restart();
        } else if (still.elapsed() > 20000) {
            break;
        }
        waitCalmly([&] { return completed != last; }, 1000);
    }
    return completed - before;
}

void printStates(MDIForm1 *frame)
{
    int count[3] = {};
    for (Form1 *w : browsers(frame)) {
        const int s = lifecycleState(w);
        if (s >= 0 && s < 3)
            ++count[s];
    }
    std::printf("live %d\nfrozen %d\ndiscarded %d\n", count[Active], count[Frozen],
                count[Discarded]);
}

int behind(const QString &frontUrl, const QString &behindUrl, int n)
{
    int completed = 0; // the windows count into it as long as they live
    Bench b;
    b.create();
    showFrame(b.frame);
    idle(300);
    if (openAll(b.frame, behindUrl, n, completed) < n || openAll(b.frame, frontUrl, 1, completed) < 1)
        return 3;
    idle(3000); // out of sight, and the engine quiet after the loads
    int seen = 0;
    for (Form1 *w : browsers(b.frame))
        seen += w->isSeen();
    if (seen != 1)
        return 4;
    const auto before = ProcTree::cpuTicks(getpid());
    idle(10000);
    const auto after = ProcTree::cpuTicks(getpid());
    std::printf("cpu_ms %.1f\nown_cpu_ms %.1f\n", ProcTree::cpuMsBetween(before, after),
                ProcTree::cpuMsBetween({ { getpid(), before.value(getpid()) } },
                                       { { getpid(), after.value(getpid()) } }));
    return 0;
}

int manyWindows(const QString &url, int n, bool budget)
{
    int completed = 0; // the windows count into it as long as they live
    Bench b;
    Timings &t = b.factory()->timings();
    if (budget) {
        t.hiddenSleepMs = 2000;
    } else {
        t.hiddenSleepMs = 24 * 3600 * 1000;
        t.liveOutOfSight = t.liveOutOfSightWhenShort = 1000;
    }
    b.create();
    idle(300);
    QElapsedTimer clock;
    clock.start();
    const int loaded = openAll(b.frame, url, n, completed);
    std::printf("open_ms %lld\ncompleted %d\n", clock.elapsed(), loaded);
    idle(6000); // left alone: asleep after 2 s, put away beyond the budget
    std::printf("pss_kb %lld\nrenderers %d\n", ProcTree::totalPssKb(getpid()),
                ProcTree::countNamed(getpid(), QStringLiteral("QtWebEngineProc")) - 1);
    printStates(b.frame);
    return 0;
}

int restore(const QString &url, int n)
{
    Bench b;
    // The journal a killed run left, n windows on the page, the last in front.
    Journal left;
    for (int i = 1; i <= n; ++i)
        left.windows.append(JournalEntry { i, 0, true, url, QStringLiteral("Bench page"), {} });
    left.front = n - 1;
    const QString state = b.home.filePath(QStringLiteral("state"));
    QDir().mkpath(state);
    QFile file(state + QStringLiteral("/windows.json"));
    if (!file.open(QIODevice::WriteOnly) || file.write(EncodeJournal(left)) < 0)
        return 4;
    file.close();
    b.create();
    idle(300);
    QElapsedTimer clock;
    b.prompter.onAsk = [&] { clock.start(); };
    b.frame->offerRestore();
    auto *front = qobject_cast<Form1 *>(b.frame->activeChild());
    if (!clock.isValid() || !front)
        return 4;
    bool done = false;
    QObject::connect(front->wb, &WebBrowser::DocumentComplete, front, [&] { done = true; });
    if (!waitCalmly([&] { return done; }, 60000))
        return 3;
    const double frontMs = clock.nsecsElapsed() / 1e6;
    // The others come behind it.
    if (!waitCalmly([&] { return b.frame->forms().size() == n; }, 300000))
        return 3;
    std::printf("ms %.2f\nreopened_ms %.2f\n", frontMs, clock.nsecsElapsed() / 1e6);
    return 0;
}

// From Show() until the page says, in its title, that it drew a frame in sight.
double showUntilDrawn(Form1 *w)
{
    bool drawn = false;
    const auto c = QObject::connect(w->wb, &WebBrowser::TitleChange, w,
                                    [&](const QString &t) { drawn |= t.startsWith("shown"); });
    QElapsedTimer clock;
    clock.start();
    w->Show();
    const bool ok = waitCalmly([&] { return drawn; }, 10000);
    QObject::disconnect(c);
    return ok ? clock.nsecsElapsed() / 1e6 : -1;
}

double untilComplete(Form1 *w, const std::function<void()> &start)
{
    bool done = false;
    const auto c = QObject::connect(w->wb, &WebBrowser::DocumentComplete, w, [&] { done = true; });
    QElapsedTimer clock;
    clock.start();
    start();
    const bool ok = waitCalmly([&] { return done; }, 20000);
    QObject::disconnect(c);
    return ok ? clock.nsecsElapsed() / 1e6 : -1;
}

int wake(const QString &url, int n)
{
    int completed = 0; // the windows count into it as long as they live
    Bench b;
    Timings &t = b.factory()->timings();
    t.hiddenSleepMs = 3000;
    t.liveOutOfSight = t.liveOutOfSightWhenShort = 1000;
    b.create();
    showFrame(b.frame);
    idle(300);
    if (openAll(b.frame, url, n, completed) < n)
        return 3;
    const QList<Form1 *> all = browsers(b.frame);
    QList<double> frozen, live;
    for (int k = 0; k < 6; ++k) {
        idle(4000); // every window behind asleep
        Form1 *first = all.at((2 * k) % (n - 1)), *second = all.at((2 * k + 1) % (n - 1));
        for (Form1 *w : { first, second }) {
            if (lifecycleState(w) == Frozen)
                frozen << showUntilDrawn(w);
            idle(500);
        }
        // Out of sight for half a second: still live.
        if (lifecycleState(first) == Active)
            live << showUntilDrawn(first);
    }
    // Now only two stay live out of sight: the others are put away as they go.
    t.liveOutOfSight = t.liveOutOfSightWhenShort = 2;
    all.last()->Show();
    idle(3000);
    QList<double> putAway, fresh, cold;
    for (int k = 0; k < 6; ++k) {
        const auto away = std::find_if(all.begin(), all.end(),
                                       [](Form1 *w) { return lifecycleState(w) == Discarded; });
        if (away == all.end())
            break;
        putAway << untilComplete(*away, [w = *away] { w->Show(); });
        idle(1000);
        fresh << untilComplete(*away, [w = *away, url] { w->wb->Navigate(url); });
        idle(1000);
        // The same page under another site name: the engine starts a renderer for it.
        QUrl other(url);
        other.setHost(QStringLiteral("localhost"));
        cold << untilComplete(*away, [w = *away, other] { w->wb->Navigate(other.toString()); });
        idle(1000);
    }
    frozen.removeAll(-1);
    live.removeAll(-1);
    putAway.removeAll(-1);
    fresh.removeAll(-1);
    cold.removeAll(-1);
    std::printf("frozen_ms %.2f\nlive_ms %.2f\nputaway_ms %.2f\nfresh_ms %.2f\ncold_ms %.2f\n"
                "samples %lld %lld %lld %lld %lld\n",
                median(frozen), median(live), median(putAway), median(fresh), median(cold),
                frozen.size(), live.size(), putAway.size(), fresh.size(), cold.size());
    return frozen.isEmpty() || live.isEmpty() || putAway.isEmpty() ? 4 : 0;
}

// Counts the events of each kind delivered while it is installed.
struct EventCount : QObject
{
    QHash<int, int> seen;
    bool eventFilter(QObject *, QEvent *e) override
    {
        ++seen[e->type()];
        return false;
    }
};

int tabSwitch(const QString &url, int n)
{
    int completed = 0; // the windows count into it as long as they live
    Bench b;
    const int Clicks = 40;
    QList<double> bare;
    {
        // The bare switch: maximised sub-windows of plain widgets, one brought forward.
        QMainWindow frame;
        auto *area = new QMdiArea;
        frame.setCentralWidget(area);
        for (int i = 0; i < n; ++i) {
            auto *w = new QWidget;
            (new QVBoxLayout(w))->addWidget(new QLineEdit);
            area->addSubWindow(w)->showMaximized();
        }
        if (QScreen *screen = frame.screen())
            frame.setGeometry(screen->availableGeometry());
        frame.showMaximized();
        idle(1000);
        const QList<QMdiSubWindow *> subs = area->subWindowList();
        for (int k = 0; k < Clicks; ++k) {
            QMdiSubWindow *sub = subs.at((k * 37) % n);
            QElapsedTimer clock;
            clock.start();
            sub->showMaximized();
            area->setActiveSubWindow(sub);
            sub->widget()->setFocus();
            QCoreApplication::processEvents();
            bare << clock.nsecsElapsed() / 1e6;
        }
    }
    b.create();
    showFrame(b.frame);
    idle(300);
    if (openAll(b.frame, url, n, completed) < n / 2)
        return 3;
    idle(3000);

    // The click as the tab strip makes it, until its window is in front and the
    // queue is idle; by the state of the page brought forward.
    QHash<int, QList<double>> byState;
    QList<double> clicks, handler, events;
    EventCount count;
    for (int k = 0; k < Clicks; ++k) {
        const int index = (k * 37) % n;
        const int handle = WindowHandleFromKey(b.frame->mytab->Key(index + 1));
        auto *target = qobject_cast<Form1 *>(b.frame->findForm(handle));
        const int state = target ? lifecycleState(target) : -1;
        qApp->installEventFilter(&count);
        QElapsedTimer clock;
        clock.start();
        b.frame->mytab->setCurrentIndex(index);
        b.frame->mytab_Click();
        handler << clock.nsecsElapsed() / 1e6;
        QCoreApplication::processEvents();
        clicks << clock.nsecsElapsed() / 1e6;
        events << clicks.last() - handler.last();
        qApp->removeEventFilter(&count);
        ChildForm *active = b.frame->activeChild();
        if (!active || active->hWnd() != handle)
            return 4;
        byState[state] << clicks.last();
        idle(100);
    }
    std::printf("bare_ms %.2f\ntab_ms %.2f\ntab_worst_ms %.2f\nhandler_ms %.2f\nevents_ms %.2f\n",
                median(bare), median(clicks), *std::max_element(clicks.cbegin(), clicks.cend()),
                median(handler), median(events));
    for (auto it = byState.cbegin(); it != byState.cend(); ++it)
        std::printf("state%d_ms %.2f\nstate%d_clicks %lld\n", it.key(), median(it.value()),
                    it.key(), it.value().size());
    // What one click delivers, on average, of the kinds that cost.
    for (QEvent::Type type : { QEvent::Resize, QEvent::Move, QEvent::Paint, QEvent::LayoutRequest,
                               QEvent::Show, QEvent::Hide, QEvent::ZOrderChange,
                               QEvent::WindowStateChange, QEvent::MetaCall, QEvent::UpdateRequest })
        std::printf("events_%d %.1f\n", int(type), count.seen.value(type) / double(Clicks));

    // The steps of Show() one by one, and the watch of what is in sight alone.
    QList<double> maximise, activate, focus, rest, cover;
    for (int k = 0; k < Clicks; ++k) {
        auto *w = qobject_cast<Form1 *>(
                b.frame->findForm(WindowHandleFromKey(b.frame->mytab->Key((k * 37) % n + 1))));
        QElapsedTimer clock;
        clock.start();
        w->showMaximizedInside();
        maximise << clock.nsecsElapsed() / 1e6;
        clock.restart();
        b.frame->mdiArea()->setActiveSubWindow(w->subWindow());
        activate << clock.nsecsElapsed() / 1e6;
        clock.restart();
        w->cmbadress->setFocus();
        focus << clock.nsecsElapsed() / 1e6;
        clock.restart();
        QCoreApplication::processEvents();
        rest << clock.nsecsElapsed() / 1e6;
        clock.restart();
        b.frame->coverWatch()->update();
        cover << clock.nsecsElapsed() / 1e6;
        idle(100);
    }
    std::printf("step_maximise_ms %.2f\nstep_activate_ms %.2f\nstep_focus_ms %.2f\n"
                "step_events_ms %.2f\nstep_cover_ms %.2f\n",
                median(maximise), median(activate), median(focus), median(rest), median(cover));

    // The user restoring the window in front, with its buttons in the menu bar.
    ChildForm *front = b.frame->activeChild();
    if (!front)
        return 4;
    QElapsedTimer clock;
    clock.start();
    front->subWindow()->showNormal();
    QCoreApplication::processEvents();
    std::printf("restore_ms %.2f\n", clock.nsecsElapsed() / 1e6);
    return 0;
}

} // namespace

int sightBench(const QStringList &args)
{
    const QString mode = args.value(0), url = args.value(1);
    const int n = args.value(2).toInt();
    if (mode == QLatin1String("behind"))
        return behind(url, args.value(2), args.value(3).toInt());
    if (mode == QLatin1String("manywindows"))
        return manyWindows(url, n, args.value(3) != QLatin1String("0"));
    if (mode == QLatin1String("restore"))
        return restore(url, n);
    if (mode == QLatin1String("wake"))
        return wake(url, n);
    if (mode == QLatin1String("tabswitch"))
        return tabSwitch(url, n);
    return 2;
}
