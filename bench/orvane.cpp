// Orvane's side of the benchmarks, each mode in a fresh process:
//   firstpage <url>        "ms": New Window, then Go to the address until it completes
//   windows <url> <n>      with n windows on the page: "rss1_kb"/"rss_kb"/"pss_kb" (one
//                          window, then all), "tab_median_ms"/"tab_worst_ms" for a tab
//                          click to bring its window forward, "update_us" for a node
//                          and a tab more, "quit_ms" from closing the frame to its
//                          question; then "chain_ms" for a 50-deep opener chain
//   favorites              "orvane_ms"/"base_ms": LoadFavorites vs a plain walk
//   pagesource <url>       "orvane_ms"/"base_ms": Edit Page until its text is painted, vs
//                          libcurl plus a bare text box painting the same text
//   sidebar                "ms": closing Favorites from its design height
//   moduleload             "ms": loading the engine's module
//   download <url> <bytes> "ms": from Go to the file whole under its name on disk;
//                          "rss_growth_kb": the process tree's peak RSS over that before
//   journal <url> [resting] the journal of open windows (journal.cpp)
//   behind, manywindows, restore, wake, tabswitch: windows out of sight (sight.cpp)
#include "BenchSupport.h"
#include "ProcTree.h"
#include "browser/EngineSetup.h"
#include "forms/ModuleLoader.h"
#include "browser/Form1.h"
#include "browser/WebBrowser.h"
#include "dialogs/Module2.h"
#include "dialogs/frmEdit.h"
#include "frame/MDIForm1.h"
#include "forms/Prompter.h"
#include "forms/TabStrip.h"
#include "forms/TreeView.h"
#include "forms/WindowKey.h"
#include "sidebar/Favorites.h"
#include "sidebar/SideBar.h"

#include <QApplication>
#include <QComboBox>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <thread>
#include <cstdio>
#include <curl/curl.h>
#include <unistd.h>

namespace {

// How long loading the engine's module takes, the part of the first page the
// program defers from its start-up.
int moduleLoad()
{
    Bench b;
    QElapsedTimer clock;
    clock.start();
    if (!b.factory())
        return 4;
    std::printf("ms %.2f\n", clock.nsecsElapsed() / 1e6);
    return 0;
}

int firstPage(const QString &url)
{
    Bench b;
    b.create();
    // As the program does: the engine's module loads once the frame is up.
    b.engine.loadWhenIdle(b.frame);
    waitFor([] { return false; }, 300);
    QElapsedTimer clock;
    clock.start();
    int completed = 0;
    openAndGo(b.frame, url, &completed);
    if (!waitFor([&] { return completed > 0; }, 60000))
        return 3;
    std::printf("ms %lld\n", clock.elapsed());
    return 0;
}

int windows(const QString &url, int n)
{
    Bench b;
    b.create();
    b.frame->showMaximized();
    waitFor([] { return false; }, 300);
    int completed = 0;
    openAndGo(b.frame, url, &completed);
    if (!waitFor([&] { return completed >= 1; }, 60000))
        return 3;
    waitFor([] { return false; }, 2000);
    std::printf("rss1_kb %lld\n", ProcTree::totalRssKb(getpid()));
    for (int i = 1; i < n; ++i)
        openAndGo(b.frame, url, &completed);
    if (!waitFor([&] { return completed >= n; }, 600000))
        return 3;
    waitFor([] { return false; }, 2000);
    std::printf("rss_kb %lld\npss_kb %lld\n", ProcTree::totalRssKb(getpid()),
                ProcTree::totalPssKb(getpid()));

    // A tab click, until its window is in front and the queue is idle.
    QList<double> clicks;
    for (int k = 0; k < 40; ++k) {
        const int index = (k * 37) % n;
        const int handle = WindowHandleFromKey(b.frame->mytab->Key(index + 1));
        QElapsedTimer clock;
        clock.start();
        b.frame->mytab->setCurrentIndex(index);
        b.frame->mytab_Click();
        QCoreApplication::processEvents();
        ChildForm *active = b.frame->activeChild();
        if (!active || active->hWnd() != handle)
            return 4;
        clicks << clock.nsecsElapsed() / 1e6;
    }
    std::printf("tab_median_ms %.2f\ntab_worst_ms %.2f\n", median(clicks),
                *std::max_element(clicks.cbegin(), clicks.cend()));

    // What one more window costs the tree and the tab strip, with n listed.
    QList<double> updates;
    QTreeWidgetItem *root = b.frame->webtree->FindKey(QStringLiteral("OpenWeb"));
    for (int k = 0; k < 50; ++k) {
        QElapsedTimer clock;
        clock.start();
        QTreeWidgetItem *node = b.frame->webtree->Add(root, TreeView::Child,
                                                      QStringLiteral(" 99999web"),
                                                      QStringLiteral("Bench page"));
        b.frame->mytab->Add(QStringLiteral(" 99999web"), QStringLiteral("Bench page"));
        QCoreApplication::processEvents();
        updates << clock.nsecsElapsed() / 1e3;
        b.frame->webtree->RemoveItem(node);
        b.frame->mytab->Remove(b.frame->mytab->Count());
    }
    std::printf("update_us %.1f\n", median(updates));

    QElapsedTimer clock;
    clock.start();
    double quitMs = -1;
    b.prompter.onAsk = [&] {
        if (quitMs < 0)
            quitMs = clock.nsecsElapsed() / 1e6;
    };
    b.frame->close();
    if (quitMs < 0 || !b.frame->forms().isEmpty())
        return 4;
    std::printf("quit_ms %.2f\n", quitMs);
    b.prompter.onAsk = nullptr;
    flush();

    b.frame->new_Click();
    Form1 *first = lastWindow(b.frame);
    Form1 *w = first;
    for (int i = 0; i < 50; ++i) {
        QObject *pp = nullptr;
        bool cancel = false;
        w->wb_NewWindow2(&pp, &cancel);
        w = lastWindow(b.frame);
    }
    if (b.frame->forms().size() != 51)
        return 4;
    waitFor([] { return false; }, 1000);
    clock.restart();
    first->subWindow()->close();
    if (!waitFor([&] { return b.frame->forms().isEmpty(); }, 30000))
        return 3;
    std::printf("chain_ms %lld\n", clock.elapsed());
    return 0;
}

int favorites()
{
    Bench b;
    const QString root = b.home.filePath(QStringLiteral("Favorites"));
    QDir().mkpath(root);
    for (int d = 0; d < 100; ++d) {
        const QString sub = root + QStringLiteral("/Folder %1").arg(d, 3, 10, QLatin1Char('0'));
        QDir().mkpath(sub);
        for (int f = 0; f < 100; ++f) {
            QFile file(sub + QStringLiteral("/Site %1.url").arg(d * 100 + f, 5, 10, QLatin1Char('0')));
            file.open(QIODevice::WriteOnly);
            file.write("[InternetShortcut]\r\nURL=http://127.0.0.1/\r\nBASEURL=http://127.0.0.1/\r\n");
        }
    }
    b.create();
    QList<double> orvane, base, scan;
    for (int rep = 0; rep < 7; ++rep) {
        QElapsedTimer clock;
        // Where the time goes: the folder scan alone.
        clock.start();
        if (ScanFavorites(root).nodeCount() != 10101)
            return 4;
        scan << clock.nsecsElapsed() / 1e6;

        clock.restart();
        QStringList names;
        QDirIterator top(root, QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot);
        while (top.hasNext()) {
            top.next();
            names << top.fileName();
            if (top.fileInfo().isDir()) {
                QDirIterator inner(top.filePath(), QDir::Files);
                while (inner.hasNext()) {
                    inner.next();
                    names << inner.fileName();
                }
            }
        }
        base << clock.nsecsElapsed() / 1e6;
        if (names.size() != 10100)
            return 4;
        clock.restart();
        b.frame->LoadFavorites(false);
        orvane << clock.nsecsElapsed() / 1e6;
    }
    std::printf("orvane_ms %.2f\nbase_ms %.2f\nscan_ms %.2f\n", median(orvane), median(base),
                median(scan));
    // A folder past sixteen bits of nodes still counts and lists them all.
    QTemporaryDir many;
    for (int i = 0; i < 32800; ++i)
        QFile(many.filePath(QStringLiteral("s%1.url").arg(i, 5, 10, QLatin1Char('0'))))
                .open(QIODevice::WriteOnly);
    TreeView tree(QStringLiteral("TreeFavor"));
    LoadFavoritesTree(&tree, many.path(), true, nullptr);
    if (tree.Item(1)->text(0) != QLatin1String("Favorites2 (32801)")
        || tree.Item(32801)->text(0) != QLatin1String("s32799"))
        return 5;
    return 0;
}

size_t collect(char *data, size_t size, size_t n, void *out)
{
    static_cast<QByteArray *>(out)->append(data, qsizetype(size * n));
    return size * n;
}

int pageSource(const QString &url)
{
    curl_global_init(CURL_GLOBAL_DEFAULT);
    Bench b;
    b.create();
    b.frame->showMaximized();
    waitFor([] { return false; }, 300);
    QList<double> orvane, base, fetch;
    const QByteArray address = url.toUtf8();
    for (int rep = 0; rep < 7; ++rep) {
        QElapsedTimer clock;
        clock.start();
        QByteArray body;
        CURL *curl = curl_easy_init();
        curl_easy_setopt(curl, CURLOPT_URL, address.constData());
        curl_easy_setopt(curl, CURLOPT_PROXY, "");
        curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, collect);
        curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
        curl_easy_perform(curl);
        curl_easy_cleanup(curl);
        base << clock.nsecsElapsed() / 1e6;
        if (body.size() != 100000)
            return 4;
        clock.restart();

        // A bare text box of the same font and wrapping and size paints the text.
        const QSize size = b.frame->mdiArea()->viewport()->size();
        {
            QPlainTextEdit bare;
            bare.setLineWrapMode(QPlainTextEdit::NoWrap);
            bare.resize(size);
            PaintWatch watch;
            bare.viewport()->installEventFilter(&watch);
            bare.setPlainText(QString::fromLocal8Bit(body));
            bare.show();
            if (!waitFor([&] { return watch.painted; }, 10000))
                return 4;
        }
        base.last() += clock.nsecsElapsed() / 1e6;

        // The download step alone, to tell it from the editor's share.
        clock.restart();
        if (PageDownload::FetchWhilePainting(b.fetch(), url, DownloadOptions()).body.size() != 100000)
            return 4;
        fetch << clock.nsecsElapsed() / 1e6;

        clock.restart();
        PaintWatch watch;
        frmEdit *editor = nullptr;
        // Watch the editor's text from its first showing.
        QObject::connect(b.frame->mdiArea(), &QMdiArea::subWindowActivated, &watch,
                         [&watch](QMdiSubWindow *sub) {
                             if (auto *e = sub ? qobject_cast<frmEdit *>(sub->widget()) : nullptr)
                                 e->Text1->viewport()->installEventFilter(&watch);
                         });
        editor = Module2::EditPageSource(b.frame, url);
        if (!editor)
            return 4;
        editor->Text1->viewport()->installEventFilter(&watch);
        if (!waitFor([&] { return watch.painted; }, 10000))
            return 4;
        orvane << clock.nsecsElapsed() / 1e6;
        editor->subWindow()->close();
        waitFor([&] { return b.frame->forms().isEmpty(); }, 10000);
    }
    std::printf("orvane_ms %.2f\nbase_ms %.2f\nfetch_ms %.2f\n", median(orvane), median(base),
                median(fetch));
    return 0;
}

int sideBar()
{
    Bench b;
    b.create();
    waitFor([] { return false; }, 300);
    SideBar *s = b.frame->Picture3;
    QList<double> times;
    for (int rep = 0; rep < 5; ++rep) {
        s->Image6_Click(); // open
        s->pPicture2.setHeight(3120);
        QElapsedTimer clock;
        clock.start();
        s->Image6_Click(); // close, handling events at each step
        times << clock.nsecsElapsed() / 1e6;
    }
    std::printf("ms %.2f\n", median(times));
    return 0;
}

int download(const QString &url, qint64 bytes)
{
    Bench b;
    // The profile and the Downloads folder in the bench's own home.
    const QByteArray home = QFile::encodeName(b.home.path());
    qputenv("HOME", home);
    qputenv("XDG_DATA_HOME", home + "/.local/share");
    qputenv("XDG_CACHE_HOME", home + "/.cache");
    qputenv("XDG_CONFIG_HOME", home + "/.config");
    b.create();
    waitFor([] { return false; }, 300);
    int completed = 0;
    Form1 *w = openAndGo(b.frame, QStringLiteral("about:blank"), &completed);
    if (!waitFor([&] { return completed > 0; }, 60000))
        return 3;
    waitFor([] { return false; }, 1000);
    const qint64 before = ProcTree::totalRssKb(getpid());
    qint64 peak = before;
    const QString target = b.home.path() + QStringLiteral("/Downloads/") + QUrl(url).fileName();
    QElapsedTimer clock;
    clock.start();
    w->wb->Navigate(url);
    // Memory is read on a thread of its own: the engine's UI thread is this one.
    std::atomic<bool> sampling { true };
    std::atomic<qint64> top { before };
    std::thread sampler([&] {
        while (sampling) {
            top = std::max<qint64>(top, ProcTree::totalRssKb(getpid()));
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    });
    // Not a busy wait: the engine's threads need the cores.
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, [&] {
        if (QFileInfo(target).size() == bytes || clock.elapsed() > 300000)
            loop.quit();
    });
    check.start(20);
    loop.exec();
    const double ms = clock.nsecsElapsed() / 1e6;
    sampling = false;
    sampler.join();
    peak = std::max<qint64>(top, ProcTree::totalRssKb(getpid()));
    if (QFileInfo(target).size() != bytes)
        return 3;
    std::printf("ms %.2f\nrss_growth_kb %lld\n", ms, peak - before);
    return 0;
}

} // namespace

int historyBench();

int main(int argc, char *argv[])
{
    PrepareWebEngine();
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Orvane"));
    if (argc < 2)
        return 2;
    const QByteArray mode = argv[1];
    const QString url = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    int code = 2;
    if (mode == "firstpage")
        code = firstPage(url);
    else if (mode == "windows")
        code = windows(url, argc > 3 ? atoi(argv[3]) : 200);
    else if (mode == "favorites")
        code = favorites();
    else if (mode == "pagesource")
        code = pageSource(url);
    else if (mode == "moduleload")
        code = moduleLoad();
    else if (mode == "sidebar")
        code = sideBar();
    else if (mode == "download")
        code = download(url, argc > 3 ? atoll(argv[3]) : 0);
    else if (mode == "history")
        code = historyBench();
    else if (mode == "journal")
        code = journalBench(url, argc > 3 && qstrcmp(argv[3], "resting") == 0);
    else
        code = sightBench(app.arguments().mid(1));
    std::fflush(stdout);
    return code;
}
