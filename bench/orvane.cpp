// Orvane's side of the benchmarks, each mode in a fresh process:
//   firstpage <url>        "ms": New Window, then Go to the address until it completes
//   memory <url> <n>       "rss_kb"/"pss_kb" with n windows on the page, then "close_ms"
//                          for closing them and "chain_ms" for a 50-deep opener chain
//   favorites              "orvane_ms"/"base_ms": LoadFavorites vs a plain walk
//   pagesource <url>       "orvane_ms"/"base_ms": Edit Page vs libcurl alone
//   sidebar                "ms": closing Favorites from its design height
//   moduleload             "ms": loading the engine's module
#include "ProcTree.h"
#include "browser/EngineSetup.h"
#include "forms/ModuleLoader.h"
#include "browser/Form1.h"
#include "browser/WebBrowser.h"
#include "dialogs/Module2.h"
#include "dialogs/frmEdit.h"
#include "frame/MDIForm1.h"
#include "forms/Prompter.h"
#include "forms/TreeView.h"
#include "sidebar/Favorites.h"
#include "sidebar/SideBar.h"

#include <QApplication>
#include <QComboBox>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <curl/curl.h>
#include <unistd.h>

namespace {

// Says Yes to every question; no dialogs.
class YesPrompter : public Prompter
{
public:
    int msgBox(QWidget *, const QString &, int, const QString &) override { return 6; }
    QString openFileName(QWidget *, const QString &, const QString &, const QList<FileFilter> &) override
    {
        return QString();
    }
    QString saveFileName(QWidget *, const QString &, const QString &) override { return QString(); }
    QString askText(QWidget *, const QString &, const QString &, bool *ok) override
    {
        *ok = false;
        return QString();
    }
    bool choosePrinter(QWidget *, QPrinter *) override { return false; }
    int execDialog(QDialog *) override { return 0; }
};

double median(QList<double> v)
{
    std::sort(v.begin(), v.end());
    const int n = int(v.size());
    return n == 0 ? 0 : (n % 2 ? v.at(n / 2) : (v.at(n / 2 - 1) + v.at(n / 2)) / 2);
}

void flush()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

bool waitFor(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return true;
}

Form1 *lastWindow(MDIForm1 *frame)
{
    const QList<ChildForm *> forms = frame->forms();
    for (int i = forms.size() - 1; i >= 0; --i)
        if (auto *w = qobject_cast<Form1 *>(forms.at(i)))
            return w;
    return nullptr;
}

struct Bench
{
    QTemporaryDir program, home;
    YesPrompter prompter;
    ModuleLoader engine{ QCoreApplication::applicationDirPath()
                                 + QStringLiteral("/../liborvane_webengine.so"),
                         "orvane_webengine_factory" };
    ModuleLoader download{ QCoreApplication::applicationDirPath()
                                   + QStringLiteral("/../liborvane_download.so"),
                           "orvane_download_fetch" };

    WebBrowserFactory *factory() { return engine.call<WebBrowserFactory *>(); }
    PageFetch fetch() { return download.call<PageFetch>(); }
    MDIForm1 *frame = nullptr;

    void create()
    {
        FrameEnv env;
        env.programDir = program.path();
        env.homeDir = home.path();
        env.currentDir = home.path();
        env.prompter = &prompter;
        env.browsers = [this] { return factory(); };
        env.downloads = [this] { return fetch(); };
        env.quit = [] { };
        frame = new MDIForm1(env);
        frame->MDIForm_Load();
    }
    ~Bench() { delete frame; }
};

// New Window, then the address typed and Go clicked, as a user does it.
Form1 *openAndGo(MDIForm1 *frame, const QString &url, int *completed)
{
    frame->new_Click();
    Form1 *w = lastWindow(frame);
    QObject::connect(w->wb, &WebBrowser::DocumentComplete, w,
                     [url, completed](QObject *, const QString &done) {
                         if (done == url)
                             ++*completed;
                     });
    w->cmbadress->setEditText(url);
    w->gnet_ButtonClick(1);
    return w;
}

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

int memory(const QString &url, int n)
{
    Bench b;
    b.create();
    waitFor([] { return false; }, 300);
    int completed = 0;
    for (int i = 0; i < n; ++i)
        openAndGo(b.frame, url, &completed);
    if (!waitFor([&] { return completed >= n; }, 120000))
        return 3;
    waitFor([] { return false; }, 2000);
    std::printf("rss_kb %lld\npss_kb %lld\n", ProcTree::totalRssKb(getpid()),
                ProcTree::totalPssKb(getpid()));

    QElapsedTimer clock;
    clock.start();
    for (ChildForm *f : b.frame->forms())
        f->subWindow()->close();
    if (!waitFor([&] { return b.frame->forms().isEmpty(); }, 30000))
        return 3;
    std::printf("close_ms %lld\n", clock.elapsed());

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

        // The download step alone, to tell it from the editor's share.
        clock.restart();
        if (PageDownload::FetchWhilePainting(b.fetch(), url, DownloadOptions()).body.size() != 100000)
            return 4;
        fetch << clock.nsecsElapsed() / 1e6;

        clock.restart();
        frmEdit *editor = Module2::EditPageSource(b.frame, url);
        if (!editor)
            return 4;
        // The editor shows once its first paint is through.
        QCoreApplication::processEvents();
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

} // namespace

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
    else if (mode == "memory")
        code = memory(url, argc > 3 ? atoi(argv[3]) : 30);
    else if (mode == "favorites")
        code = favorites();
    else if (mode == "pagesource")
        code = pageSource(url);
    else if (mode == "moduleload")
        code = moduleLoad();
    else if (mode == "sidebar")
        code = sideBar();
    std::fflush(stdout);
    return code;
}
