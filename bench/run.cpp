// Runs every benchmark against its baseline in this one process's session and
// prints the table. Start-up is timed from outside: the window's MapNotify on the
// X root, so neither program needs to know it is being watched.
#include "ProcTree.h"
#include "TestServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <algorithm>
#include <cstdio>
#include <poll.h>

namespace {

const int Runs = 5;
const int Windows = 200;

double median(QList<double> v)
{
    std::sort(v.begin(), v.end());
    const int n = int(v.size());
    return n == 0 ? -1 : (n % 2 ? v.at(n / 2) : (v.at(n / 2 - 1) + v.at(n / 2)) / 2);
}

QProcessEnvironment childEnv(bool x11)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), x11 ? QStringLiteral("xcb") : QStringLiteral("offscreen"));
    // No network here; keep the engine from trying.
    env.insert(QStringLiteral("QTWEBENGINE_CHROMIUM_FLAGS"),
               QStringLiteral("--disable-background-networking --disable-component-update "
                              "--no-proxy-server"));
    return env;
}

// Runs a bench program to its end; its "key value" lines.
QHash<QString, double> runChild(const QString &program, const QStringList &args, int timeoutMs,
                                bool x11 = false)
{
    QHash<QString, double> out;
    QProcess p;
    p.setProcessEnvironment(childEnv(x11));
    p.setProcessChannelMode(QProcess::SeparateChannels);
    p.setStandardErrorFile(QProcess::nullDevice());
    p.start(program, args);
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished(5000);
        std::fprintf(stderr, "  %s %s: timed out\n", qPrintable(program), qPrintable(args.join(' ')));
        return out;
    }
    if (p.exitCode() != 0)
        std::fprintf(stderr, "  %s %s: exit code %d\n", qPrintable(program),
                     qPrintable(args.value(0)), p.exitCode());
    for (const QByteArray &line : p.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> kv = line.trimmed().split(' ');
        if (kv.size() == 2)
            out.insert(QString::fromLatin1(kv.at(0)), kv.at(1).toDouble());
    }
    return out;
}

QString windowName(Display *dpy, Window w)
{
    const Atom names[] = { XInternAtom(dpy, "_NET_WM_NAME", False), XA_WM_NAME };
    for (Atom name : names) {
        Atom type;
        int format;
        unsigned long count, after;
        unsigned char *data = nullptr;
        if (XGetWindowProperty(dpy, w, name, 0, 1024, False, AnyPropertyType, &type, &format,
                               &count, &after, &data) == Success && data) {
            const QString text = QString::fromUtf8(reinterpret_cast<char *>(data), int(count));
            XFree(data);
            if (!text.isEmpty())
                return text;
        }
    }
    return QString();
}

struct StartUp
{
    double ms = -1;
    int engineProcesses = -1;
};

// From process start to its top-level window called `title` being mapped.
StartUp timeStartUp(Display *dpy, const QString &program, const QString &home,
                    const QString &title, bool checkEngine, const QStringList &args = {})
{
    StartUp result;
    const Window root = DefaultRootWindow(dpy);
    XSelectInput(dpy, root, SubstructureNotifyMask);
    XSync(dpy, True);
    QProcess p;
    QProcessEnvironment env = childEnv(true);
    env.insert(QStringLiteral("HOME"), home);
    p.setProcessEnvironment(env);
    p.setStandardOutputFile(QProcess::nullDevice());
    p.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    p.start(program, args);
    while (result.ms < 0 && clock.elapsed() < 20000) {
        while (XPending(dpy)) {
            XEvent ev;
            XNextEvent(dpy, &ev);
            // An empty title takes the first top-level window with any name.
            if (ev.type == MapNotify && result.ms < 0
                && (title.isEmpty() ? !windowName(dpy, ev.xmap.window).isEmpty()
                                    : windowName(dpy, ev.xmap.window) == title))
                result.ms = clock.nsecsElapsed() / 1e6;
        }
        if (result.ms < 0) {
            pollfd fd{ ConnectionNumber(dpy), POLLIN, 0 };
            poll(&fd, 1, 2);
        }
    }
    if (checkEngine && result.ms >= 0) {
        // Give a wrongly eager engine time to show itself.
        QThread::msleep(1500);
        result.engineProcesses = ProcTree::countNamed(p.processId(), QStringLiteral("QtWebEngine"));
    }
    XSelectInput(dpy, root, NoEventMask);
    p.terminate();
    if (!p.waitForFinished(5000)) {
        p.kill();
        p.waitForFinished(5000);
    }
    return result;
}

struct Row
{
    QString what;
    QString orvane, baseline, ratio, target, verdict;
};

QString fmt(double v, const char *unit)
{
    return v < 0 ? QStringLiteral("n/a") : QString::asprintf("%.1f %s", v, unit);
}

Row ratioRow(const QString &what, double orv, double base, const char *unit, double target)
{
    Row r{ what, fmt(orv, unit), fmt(base, unit), QStringLiteral("n/a"),
           QString::asprintf("<= %.2fx", target), QStringLiteral("?") };
    if (orv >= 0 && base > 0) {
        const double ratio = orv / base;
        r.ratio = QString::asprintf("%.2fx", ratio);
        r.verdict = ratio <= target ? QStringLiteral("met") : QStringLiteral("MISSED");
    }
    return r;
}

// A figure against a fixed limit rather than a baseline; a baseline, when given, is
// shown beside it for comparison.
Row limitRow(const QString &what, double value, const char *unit, double limit,
             double baseline = -1)
{
    Row r{ what, fmt(value, unit), QStringLiteral("-"), QStringLiteral("-"),
           QString::asprintf("< %.0f %s", limit, unit),
           value < 0 ? QStringLiteral("?")
                     : value < limit ? QStringLiteral("met") : QStringLiteral("MISSED") };
    if (baseline > 0) {
        r.baseline = fmt(baseline, unit);
        if (value >= 0)
            r.ratio = QString::asprintf("%.2fx", value / baseline);
    }
    return r;
}

QList<double> collectKey(const QList<QHash<QString, double>> &runs, const QString &key)
{
    QList<double> v;
    for (const auto &r : runs)
        if (r.contains(key))
            v << r.value(key);
    return v;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString build = QCoreApplication::applicationDirPath() + QStringLiteral("/..");
    const QString benchDir = QCoreApplication::applicationDirPath();
    const QString orvaneChild = benchDir + QStringLiteral("/bench_orvane");
    const QString bareView = benchDir + QStringLiteral("/bench_bareview");
    QList<Row> rows;

    TestServer server;
    server.page(QStringLiteral("/page"),
                "<html><head><title>Bench page</title></head><body><h1>Bench</h1>"
                "<p>A small local page.</p></body></html>");
    QByteArray big(100000, 'x');
    big.replace(0, 6, "<html>");
    for (int i = 80; i < big.size(); i += 80)
        big[i] = '\n';
    server.page(QStringLiteral("/big"), big);
    // Pages for the windows out of sight: one that animates all the time, one as
    // sites are (script, pictures, a timer), and one that says when it is drawn in
    // sight again.
    server.page(QStringLiteral("/anim"),
                "<html><head><title>Animated</title><style>"
                "@keyframes spin { from { transform: rotate(0deg) } to { transform: rotate(360deg) } }"
                "#c { width: 200px; height: 200px; background: linear-gradient(red, blue);"
                " animation: spin 1s linear infinite }</style></head><body><div id=c></div>"
                "<canvas id=k width=400 height=300></canvas><script>"
                "const g = document.getElementById('k').getContext('2d'); let t = 0;"
                "function draw() { t++; g.clearRect(0, 0, 400, 300);"
                " for (let i = 0; i < 50; i++) { g.fillStyle = 'hsl(' + ((t + i * 7) % 360) + ',80%,50%)';"
                " g.fillRect((t * 3 + i * 13) % 400, (i * 29) % 300, 20, 20); }"
                " requestAnimationFrame(draw); }"
                "requestAnimationFrame(draw);</script></body></html>");
    const QByteArray site =
            "<h1>Bench news</h1><img src=/img/1.svg><img src=/img/2.svg><img src=/img/3.svg>"
            "<img src=/img/4.svg><p id=clock></p><ul id=list></ul><script>"
            "const list = document.getElementById('list');"
            "for (let i = 0; i < 300; i++) { const li = document.createElement('li');"
            " li.textContent = 'Story ' + i + ': ' + 'lorem ipsum dolor '.repeat(6);"
            " list.appendChild(li); }"
            "setInterval(() => { document.getElementById('clock').textContent ="
            " new Date().toISOString(); }, 1000);</script>";
    server.page(QStringLiteral("/site"),
                "<html><head><title>Bench news</title></head><body>" + site + "</body></html>");
    server.page(QStringLiteral("/wake"),
                "<html><head><title>Wake</title></head><body>" + site
                        + "<script>let shown = 0;"
                          "document.addEventListener('visibilitychange', () => {"
                          " if (document.visibilityState === 'visible')"
                          "  requestAnimationFrame(() => { document.title = 'shown ' + ++shown; }); });"
                          "</script></body></html>");
    server.server().Get(R"(/img/(\d+)\.svg)", [](const httplib::Request &req, httplib::Response &res) {
        const int n = std::stoi(req.matches[1]);
        std::string svg = "<svg xmlns='http://www.w3.org/2000/svg' width='320' height='180'>";
        for (int i = 0; i < 40; ++i)
            svg += "<circle cx='" + std::to_string((i * 53 + n * 17) % 320) + "' cy='"
                    + std::to_string((i * 31 + n * 7) % 180) + "' r='" + std::to_string(5 + i % 20)
                    + "' fill='hsl(" + std::to_string((i * 40 + n * 90) % 360) + ",70%,50%)'/>";
        res.set_content(svg + "</svg>", "image/svg+xml");
    });
    const QStringList only = app.arguments().mid(1);
    auto wanted = [&only](const char *section) {
        return only.isEmpty() || only.contains(QLatin1String(section));
    };
    const qint64 downloadSizes[] = { 20 * 1024 * 1024, 200 * 1024 * 1024 };
    if (wanted("download"))
        for (qint64 size : downloadSizes) {
            QByteArray file(size, Qt::Uninitialized);
            for (qint64 i = 0; i < size; ++i)
                file[i] = char((i * 131 + i / 251) & 0xFF);
            server.file(QStringLiteral("/%1mb.bin").arg(size >> 20), file);
        }
    if (!server.start()) {
        std::fprintf(stderr, "no loopback server\n");
        return 1;
    }
    const QString pageUrl = server.url(QStringLiteral("/page"));

    // Start-up, under the X server this process was started with.
    // Naming sections on the command line runs only those.

    std::fprintf(stderr, "start-up...\n");
    Display *dpy = wanted("startup") ? XOpenDisplay(nullptr) : nullptr;
    if (!wanted("startup")) {
    } else if (dpy) {
        QTemporaryDir dir;
        for (const char *name : { "orvane", "liborvane_webengine.so", "liborvane_download.so" })
            QFile::copy(build + QLatin1Char('/') + QLatin1String(name),
                        dir.filePath(QLatin1String(name)));
        QFile::setPermissions(dir.filePath(QStringLiteral("orvane")),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QList<double> orv, base, bars;
        int engines = 0;
        for (int i = 0; i <= Runs + 2; ++i) {
            const StartUp b = timeStartUp(dpy, benchDir + QStringLiteral("/bench_bareframe"),
                                          dir.path(), QStringLiteral("BareFrame"), false);
            const StartUp m = timeStartUp(dpy, benchDir + QStringLiteral("/bench_bareframe"),
                                          dir.path(), QStringLiteral("BareFrame"), false,
                                          { QStringLiteral("bars") });
            if (i > 0 && m.ms >= 0)
                bars << m.ms;
            const StartUp o = timeStartUp(dpy, dir.filePath(QStringLiteral("orvane")), dir.path(),
                                          QStringLiteral("Orvane"), true);
            if (i == 0)
                continue; // warms the file cache for both
            if (b.ms >= 0)
                base << b.ms;
            if (o.ms >= 0)
                orv << o.ms;
            engines = std::max(engines, o.engineProcesses);
        }
        rows << ratioRow(QStringLiteral("Start-up to frame mapped"), median(orv), median(base),
                         "ms", 1.1);
        Row withBars = ratioRow(QStringLiteral("  against a bare frame with menu and toolbar"),
                                median(orv), median(bars), "ms", 0);
        withBars.target = withBars.verdict = QStringLiteral("-");
        rows << withBars;
        const QString falkon = QStandardPaths::findExecutable(QStringLiteral("falkon"));
        if (falkon.isEmpty()) {
            rows << Row{ QStringLiteral("Peer: Falkon start-up"), QStringLiteral("not installed"),
                         fmt(median(base), "ms"), QStringLiteral("-"), QStringLiteral("report"),
                         QStringLiteral("-") };
        } else {
            QList<double> peer;
            for (int i = 0; i <= Runs; ++i) {
                const StartUp f = timeStartUp(dpy, falkon, dir.path(), QString(), false);
                if (i > 0 && f.ms >= 0)
                    peer << f.ms;
            }
            Row r = ratioRow(QStringLiteral("Peer: Falkon start-up"), median(peer), median(base),
                             "ms", 0);
            r.target = QStringLiteral("report");
            r.verdict = QStringLiteral("-");
            rows << r;
        }
        rows << Row{ QStringLiteral("Engine processes before first window"),
                     QString::number(engines), QStringLiteral("-"), QStringLiteral("-"),
                     QStringLiteral("none"),
                     engines == 0 ? QStringLiteral("met") : QStringLiteral("MISSED") };
        XCloseDisplay(dpy);
    } else {
        rows << Row{ QStringLiteral("Start-up to frame mapped"), QStringLiteral("no X display"),
                     {}, {}, QStringLiteral("<= 1.10x"), QStringLiteral("?") };
    }

    std::fprintf(stderr, "first page...\n");
    if (wanted("firstpage")) {
        QList<double> orv, base;
        for (int i = 0; i < Runs; ++i) {
            base << runChild(bareView, { QStringLiteral("firstpage"), pageUrl }, 90000).value(QStringLiteral("ms"), -1);
            orv << runChild(orvaneChild, { QStringLiteral("firstpage"), pageUrl }, 90000).value(QStringLiteral("ms"), -1);
        }
        orv.removeAll(-1);
        base.removeAll(-1);
        rows << ratioRow(QStringLiteral("First page (New Window + Go)"), median(orv), median(base),
                         "ms", 1.1);
        QList<double> module;
        for (int i = 0; i < Runs; ++i)
            module << runChild(orvaneChild, { QStringLiteral("moduleload") }, 60000).value(QStringLiteral("ms"), -1);
        module.removeAll(-1);
        rows << Row{ QStringLiteral("  of which: loading the engine module"), fmt(median(module), "ms"),
                     QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("report"), QStringLiteral("-") };
    }

    std::fprintf(stderr, "%d windows...\n", Windows);
    if (wanted("windows")) {
        QList<QHash<QString, double>> orv, base;
        const QStringList args = { QStringLiteral("windows"), pageUrl, QString::number(Windows) };
        for (int i = 0; i < Runs; ++i) {
            base << runChild(bareView, args, 900000);
            orv << runChild(orvaneChild, args, 900000);
        }
        // What each window past the first adds, over the whole process tree.
        auto perWindow = [](const QList<QHash<QString, double>> &runs) {
            QList<double> v;
            for (const auto &r : runs)
                if (r.contains(QStringLiteral("rss_kb")) && r.contains(QStringLiteral("rss1_kb")))
                    v << (r.value(QStringLiteral("rss_kb")) - r.value(QStringLiteral("rss1_kb")))
                                    / (Windows - 1) / 1024;
            return median(v);
        };
        rows << ratioRow(QStringLiteral("Memory per extra window (RSS)"), perWindow(orv),
                         perWindow(base), "MB", 1.1);
        const double orvPss = median(collectKey(orv, QStringLiteral("pss_kb"))) / 1024;
        const double basePss = median(collectKey(base, QStringLiteral("pss_kb"))) / 1024;
        Row pss = ratioRow(QStringLiteral("  all windows, PSS sum, for reference"), orvPss,
                           basePss, "MB", 1.1);
        pss.target = pss.verdict = QStringLiteral("-");
        rows << pss;
        rows << limitRow(QStringLiteral("Tab click to window in front, median"),
                         median(collectKey(orv, QStringLiteral("tab_median_ms"))), "ms", 16,
                         median(collectKey(base, QStringLiteral("switch_median_ms"))));
        rows << limitRow(QStringLiteral("Tab click to window in front, worst"),
                         median(collectKey(orv, QStringLiteral("tab_worst_ms"))), "ms", 50);
        rows << Row{ QStringLiteral("Tree and tab strip, one window more"),
                     fmt(median(collectKey(orv, QStringLiteral("update_us"))), "us"),
                     QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("report"),
                     QStringLiteral("-") };
        rows << limitRow(QStringLiteral("Closing the frame to its question"),
                         median(collectKey(orv, QStringLiteral("quit_ms"))), "ms", 500);
        rows << Row{ QStringLiteral("Closing a 50-deep opener chain"),
                     fmt(median(collectKey(orv, QStringLiteral("chain_ms"))), "ms"),
                     QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("report"), QStringLiteral("-") };
    }

    std::fprintf(stderr, "favorites...\n");
    if (wanted("favorites")) {
        const auto r = runChild(orvaneChild, { QStringLiteral("favorites") }, 180000);
        rows << ratioRow(QStringLiteral("Favorites, 10,000 shortcuts"), r.value(QStringLiteral("orvane_ms"), -1),
                         r.value(QStringLiteral("base_ms"), -1), "ms", 3.0);
        rows << Row{ QStringLiteral("  of which: folder scan"), fmt(r.value(QStringLiteral("scan_ms"), -1), "ms"),
                     QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("report"), QStringLiteral("-") };
    }

    std::fprintf(stderr, "page source...\n");
    if (wanted("pagesource")) {
        const auto r = runChild(orvaneChild, { QStringLiteral("pagesource"), server.url(QStringLiteral("/big")) }, 120000);
        rows << ratioRow(QStringLiteral("Page source, 100,000 bytes, painted"),
                         r.value(QStringLiteral("orvane_ms"), -1), r.value(QStringLiteral("base_ms"), -1),
                         "ms", 1.3);
        rows << Row{ QStringLiteral("  of which: download step"), fmt(r.value(QStringLiteral("fetch_ms"), -1), "ms"),
                     QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("report"), QStringLiteral("-") };
    }

    std::fprintf(stderr, "side bar...\n");
    if (wanted("sidebar")) {
        const auto r = runChild(orvaneChild, { QStringLiteral("sidebar") }, 120000);
        rows << Row{ QStringLiteral("Side bar: closing Favorites"),
                     fmt(r.value(QStringLiteral("ms"), -1), "ms"), QStringLiteral("-"),
                     QStringLiteral("-"), QStringLiteral("report"), QStringLiteral("-") };
    }

    std::fprintf(stderr, "download...\n");
    if (wanted("download")) {
        // The same file from the same server: curl -o, then Orvane from Go to the whole
        // file under its name; Orvane's memory for a file ten times smaller beside it.
        const QString curl = QStandardPaths::findExecutable(QStringLiteral("curl"));
        QTemporaryDir dir;
        QList<double> orv, base, bare, growth, smallGrowth;
        const QString url200 = server.url(QStringLiteral("/200mb.bin"));
        for (int i = 0; i < 3; ++i) {
            if (!curl.isEmpty()) {
                QElapsedTimer clock;
                clock.start();
                const int code = QProcess::execute(curl, { QStringLiteral("-s"), QStringLiteral("-o"),
                                                           dir.filePath(QStringLiteral("200mb.bin")), url200 });
                if (code == 0 && QFileInfo(dir.filePath(QStringLiteral("200mb.bin"))).size() == downloadSizes[1])
                    base << clock.nsecsElapsed() / 1e6;
                QFile::remove(dir.filePath(QStringLiteral("200mb.bin")));
            }
            const auto e = runChild(bareView, { QStringLiteral("download"), url200 }, 360000);
            if (e.contains(QStringLiteral("ms")))
                bare << e.value(QStringLiteral("ms"));
            const auto r = runChild(orvaneChild, { QStringLiteral("download"), url200,
                                                   QString::number(downloadSizes[1]) }, 360000);
            if (r.contains(QStringLiteral("ms"))) {
                orv << r.value(QStringLiteral("ms"));
                growth << r.value(QStringLiteral("rss_growth_kb")) / 1024;
            }
            const auto s = runChild(orvaneChild, { QStringLiteral("download"),
                                                   server.url(QStringLiteral("/20mb.bin")),
                                                   QString::number(downloadSizes[0]) }, 120000);
            if (s.contains(QStringLiteral("rss_growth_kb")))
                smallGrowth << s.value(QStringLiteral("rss_growth_kb")) / 1024;
        }
        rows << ratioRow(curl.isEmpty() ? QStringLiteral("Download 200 MB (curl not installed)")
                                        : QStringLiteral("Download 200 MB to disk, vs curl -o"),
                         orv.isEmpty() ? -1 : median(orv), base.isEmpty() ? -1 : median(base),
                         "ms", 1.2);
        Row engine = ratioRow(QStringLiteral("  against the bare engine's download"),
                              orv.isEmpty() ? -1 : median(orv), bare.isEmpty() ? -1 : median(bare),
                              "ms", 0);
        engine.target = engine.verdict = QStringLiteral("report");
        rows << engine;
        Row peak = ratioRow(QStringLiteral("  peak RSS growth, 200 MB vs 20 MB"),
                            growth.isEmpty() ? -1 : median(growth),
                            smallGrowth.isEmpty() ? -1 : median(smallGrowth), "MB", 0);
        peak.target = peak.verdict = QStringLiteral("report");
        rows << peak;
    }

    std::fprintf(stderr, "journal...\n");
    if (wanted("journal")) {
        QList<QHash<QString, double>> runs;
        for (int i = 0; i < Runs; ++i)
            runs << runChild(orvaneChild, { QStringLiteral("journal"), pageUrl }, 300000);
        rows << limitRow(QStringLiteral("Journal, 50 windows: a change, median"),
                         median(collectKey(runs, QStringLiteral("write_median_us"))), "us", 1000);
        rows << limitRow(QStringLiteral("Journal, 50 windows: a change, worst"),
                         median(collectKey(runs, QStringLiteral("write_worst_us"))), "us", 1000);
        rows << limitRow(QStringLiteral("  worst, the thread's own CPU time"),
                         median(collectKey(runs, QStringLiteral("write_cpu_worst_us"))), "us", 1000);
        rows << ratioRow(QStringLiteral("Reopening 50 windows after a crash"),
                         median(collectKey(runs, QStringLiteral("restore_ms"))),
                         median(collectKey(runs, QStringLiteral("open_ms"))), "ms", 1.5);
        // The same with the windows behind asleep or put away: no worse.
        QList<QHash<QString, double>> resting;
        for (int i = 0; i < Runs; ++i)
            resting << runChild(orvaneChild, { QStringLiteral("journal"), pageUrl,
                                               QStringLiteral("resting") }, 300000);
        rows << limitRow(QStringLiteral("  windows resting: a change, median"),
                         median(collectKey(resting, QStringLiteral("write_median_us"))), "us", 1000,
                         median(collectKey(runs, QStringLiteral("write_median_us"))));
        rows << limitRow(QStringLiteral("  windows resting: a change, worst"),
                         median(collectKey(resting, QStringLiteral("write_worst_us"))), "us", 1000,
                         median(collectKey(runs, QStringLiteral("write_worst_us"))));
    }

    std::fprintf(stderr, "history...\n");
    if (wanted("history")) {
        const auto r = runChild(orvaneChild, { QStringLiteral("history") }, 300000);
        rows << limitRow(QStringLiteral("History: recording a visit, interface thread, median"),
                         r.value(QStringLiteral("record_median_us"), -1), "us", 1000,
                         r.value(QStringLiteral("queued_median_us"), -1));
        rows << limitRow(QStringLiteral("  worst of 1,000"), r.value(QStringLiteral("record_worst_us"), -1),
                         "us", 1000);
        rows << limitRow(QStringLiteral("History: completing a prefix, 100,000 entries, median"),
                         r.value(QStringLiteral("complete_ms"), -1), "ms", 10, r.value(QStringLiteral("scan_ms"), -1));
        rows << limitRow(QStringLiteral("  one letter, every page matching"),
                         r.value(QStringLiteral("complete_letter_ms"), -1), "ms", 10, r.value(QStringLiteral("scan_ms"), -1));
        rows << limitRow(QStringLiteral("History: opening the window, 100,000 entries"),
                         r.value(QStringLiteral("window_ms"), -1), "ms", 200, r.value(QStringLiteral("tree_ms"), -1));
    }

    // Windows out of sight.
    const QString animUrl = server.url(QStringLiteral("/anim"));
    const QString siteUrl = server.url(QStringLiteral("/site"));
    auto orvaneRuns = [&](int runs, const QStringList &args, int timeoutMs, bool x11 = false) {
        QList<QHash<QString, double>> out;
        for (int i = 0; i < runs; ++i)
            out << runChild(orvaneChild, args, timeoutMs, x11);
        return out;
    };
    auto reportRow = [](const QString &what, const QString &value) {
        return Row{ what, value, QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("report"),
                    QStringLiteral("-") };
    };

    std::fprintf(stderr, "behind...\n");
    if (wanted("behind")) {
        // On a real X server, alternating with the baseline.
        QList<double> orv, base;
        for (int i = 0; i < 3; ++i) {
            base << collectKey(orvaneRuns(1, { QStringLiteral("behind"), pageUrl, animUrl,
                                               QStringLiteral("0") }, 120000, true),
                               QStringLiteral("cpu_ms"));
            orv << collectKey(orvaneRuns(1, { QStringLiteral("behind"), pageUrl, animUrl,
                                              QStringLiteral("10") }, 120000, true),
                              QStringLiteral("cpu_ms"));
        }
        rows << ratioRow(QStringLiteral("10 animated windows behind, CPU in 10 s"), median(orv),
                         median(base), "ms", 1.2);
    }

    const int Many = 200;
    std::fprintf(stderr, "many windows...\n");
    if (wanted("manywindows")) {
        const auto args = [&](const char *budget) {
            return QStringList{ QStringLiteral("manywindows"), siteUrl, QString::number(Many),
                                QLatin1String(budget) };
        };
        // One run each: 200 windows take a minute or more to open.
        const auto off = orvaneRuns(1, args("0"), 300000);
        const auto on = orvaneRuns(1, args("1"), 300000);
        rows << ratioRow(QStringLiteral("%1 windows left alone, PSS").arg(Many),
                         median(collectKey(on, QStringLiteral("pss_kb"))) / 1024,
                         median(collectKey(off, QStringLiteral("pss_kb"))) / 1024, "MB", 0.3);
        rows << reportRow(QStringLiteral("  live/asleep/put away, renderers"),
                          QStringLiteral("%1/%2/%3, %4")
                                  .arg(median(collectKey(on, QStringLiteral("live"))))
                                  .arg(median(collectKey(on, QStringLiteral("frozen"))))
                                  .arg(median(collectKey(on, QStringLiteral("discarded"))))
                                  .arg(median(collectKey(on, QStringLiteral("renderers")))));
    }

    std::fprintf(stderr, "restore...\n");
    if (wanted("restore")) {
        QList<QHash<QString, double>> orv, base;
        for (int i = 0; i < 3; ++i) {
            base << orvaneRuns(1, { QStringLiteral("restore"), siteUrl, QStringLiteral("1") }, 120000);
            orv << orvaneRuns(1, { QStringLiteral("restore"), siteUrl, QString::number(Many) }, 300000);
        }
        rows << ratioRow(QStringLiteral("Reopening %1 windows to front page").arg(Many),
                         median(collectKey(orv, QStringLiteral("ms"))),
                         median(collectKey(base, QStringLiteral("ms"))), "ms", 1.5);
        rows << reportRow(QStringLiteral("  until all are there, behind it"),
                          fmt(median(collectKey(orv, QStringLiteral("reopened_ms"))), "ms"));
    }

    std::fprintf(stderr, "wake...\n");
    if (wanted("wake")) {
        const auto runs = orvaneRuns(3, { QStringLiteral("wake"), server.url(QStringLiteral("/wake")),
                                          QStringLiteral("12") }, 300000, true);
        rows << ratioRow(QStringLiteral("Showing a window asleep, vs live"),
                         median(collectKey(runs, QStringLiteral("frozen_ms"))),
                         median(collectKey(runs, QStringLiteral("live_ms"))), "ms", 1.1);
        // A page put away has no renderer left; the fair fresh load starts one too.
        rows << ratioRow(QStringLiteral("Put away shown, vs a load in a new renderer"),
                         median(collectKey(runs, QStringLiteral("putaway_ms"))),
                         median(collectKey(runs, QStringLiteral("cold_ms"))), "ms", 1.1);
        rows << reportRow(QStringLiteral("  a fresh load where the renderer runs"),
                          fmt(median(collectKey(runs, QStringLiteral("fresh_ms"))), "ms"));
    }

    std::fprintf(stderr, "tab switch...\n");
    if (wanted("tabswitch")) {
        const auto runs = orvaneRuns(1, { QStringLiteral("tabswitch"), pageUrl,
                                          QString::number(Many) }, 600000);
        const auto key = [&](const char *k) { return median(collectKey(runs, QLatin1String(k))); };
        rows << ratioRow(QStringLiteral("Tab click to window in front, median"), key("tab_ms"),
                         key("bare_ms"), "ms", 1.2);
        rows << reportRow(QStringLiteral("  worst"), fmt(key("tab_worst_ms"), "ms"));
        rows << reportRow(QStringLiteral("  click handler, then events"),
                          fmt(key("handler_ms"), "ms") + QStringLiteral(" + ")
                                  + fmt(key("events_ms"), "ms"));
        rows << reportRow(QStringLiteral("  to a window live/asleep/put away"),
                          QStringLiteral("%1/%2/%3 ms").arg(key("state0_ms"), 0, 'f', 1)
                                  .arg(key("state1_ms"), 0, 'f', 1).arg(key("state2_ms"), 0, 'f', 1));
        rows << reportRow(QStringLiteral("  maximise/activate/focus/events"),
                          QStringLiteral("%1/%2/%3/%4 ms").arg(key("step_maximise_ms"), 0, 'f', 1)
                                  .arg(key("step_activate_ms"), 0, 'f', 1)
                                  .arg(key("step_focus_ms"), 0, 'f', 1)
                                  .arg(key("step_events_ms"), 0, 'f', 1));
        rows << reportRow(QStringLiteral("  working out what is in sight"),
                          fmt(key("step_cover_ms"), "ms"));
        rows << reportRow(QStringLiteral("Restoring the window in front"),
                          fmt(key("restore_ms"), "ms"));
    }

    std::printf("\n%-40s %14s %14s %8s %10s %7s\n", "What", "Orvane", "Baseline", "Ratio",
                "Target", "");
    for (const Row &r : rows)
        std::printf("%-40s %14s %14s %8s %10s %7s\n", qPrintable(r.what), qPrintable(r.orvane),
                    qPrintable(r.baseline), qPrintable(r.ratio), qPrintable(r.target),
                    qPrintable(r.verdict));
    std::printf("(medians of %d runs, downloads of 3; times in ms, memory in MB)\n", Runs);
    return 0;
}
