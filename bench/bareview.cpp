// Baselines with bare web views: one view's first page, and N views' memory.
//   bench_bareview firstpage <url>      prints "ms <elapsed>"
//   bench_bareview windows <url> <n>    prints "rss1_kb" with one view, then "rss_kb"
//                                       and "pss_kb" with n, and "switch_median_ms"
//                                       for bringing a maximised view to the front
//   bench_bareview download <url>       "ms" from load to the engine's download done,
//                                       accepted at once into a temporary folder,
//                                       its profile on disk
#include "ProcTree.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <functional>
#include <algorithm>
#include <cstdio>
#include <unistd.h>

int main(int argc, char *argv[])
{
    if (geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    if (argc < 3)
        return 2;
    const QByteArray mode = argv[1];
    const QUrl url(QString::fromLocal8Bit(argv[2]));
    const int count = argc > 3 ? atoi(argv[3]) : 1;

    if (mode == "download") {
        // The engine alone: a warm view, the download accepted as it is asked for.
        QTemporaryDir dir;
        // A profile on disk, as Orvane's: the engine does more for such a download.
        QWebEngineProfile profile(QStringLiteral("BareView"));
        profile.setPersistentStoragePath(dir.filePath(QStringLiteral("data")));
        profile.setCachePath(dir.filePath(QStringLiteral("cache")));
        QWebEngineView view; // and its page, before the profile
        view.setPage(new QWebEnginePage(&profile, &view));
        QElapsedTimer clock;
        QObject::connect(&profile, &QWebEngineProfile::downloadRequested,
                         [&](QWebEngineDownloadRequest *request) {
                             request->setDownloadDirectory(dir.path());
                             QObject::connect(request, &QWebEngineDownloadRequest::isFinishedChanged, [&, request] {
                                 if (request->state() == QWebEngineDownloadRequest::DownloadCompleted)
                                     std::printf("ms %.2f\n", clock.nsecsElapsed() / 1e6);
                                 QCoreApplication::exit(0);
                             });
                             request->accept();
                         });
        QObject::connect(&view, &QWebEngineView::loadFinished, [&] {
            if (clock.isValid())
                return;
            QTimer::singleShot(1000, [&] {
                clock.start();
                view.load(url);
            });
        });
        view.show();
        view.load(QUrl(QStringLiteral("about:blank")));
        const int code = app.exec();
        std::fflush(stdout);
        return code;
    }

    QMainWindow frame;
    auto *area = new QMdiArea;
    frame.setCentralWidget(area);
    frame.showMaximized();
    QTimer::singleShot(600000, [] { std::printf("error timeout\n"); QCoreApplication::exit(3); });

    QElapsedTimer clock;
    int loaded = 0;
    std::function<void()> open;
    open = [&] {
        auto *view = new QWebEngineView;
        QObject::connect(view, &QWebEngineView::loadFinished, [&, mode](bool) {
            ++loaded;
            if (mode == "firstpage") {
                std::printf("ms %lld\n", clock.elapsed());
                QCoreApplication::exit(0);
            } else if (loaded == 1) {
                // One view settled, then the rest.
                QTimer::singleShot(2000, [&] {
                    std::printf("rss1_kb %lld\n", ProcTree::totalRssKb(getpid()));
                    for (int i = 1; i < count; ++i)
                        open();
                });
            }
            if (loaded == count && mode != "firstpage") {
                // Let the renderers settle before reading the tree.
                QTimer::singleShot(2000, [&] {
                    std::printf("rss_kb %lld\npss_kb %lld\n", ProcTree::totalRssKb(getpid()),
                                ProcTree::totalPssKb(getpid()));
                    // Bringing a maximised sub-window to the front, as a tab click does.
                    const QList<QMdiSubWindow *> subs = area->subWindowList();
                    QList<double> switches;
                    for (int k = 0; k < 40; ++k) {
                        QMdiSubWindow *sub = subs.at((k * 37) % subs.size());
                        QElapsedTimer t;
                        t.start();
                        sub->showMaximized();
                        area->setActiveSubWindow(sub);
                        sub->widget()->setFocus();
                        QCoreApplication::processEvents();
                        switches << t.nsecsElapsed() / 1e6;
                    }
                    std::sort(switches.begin(), switches.end());
                    std::printf("switch_median_ms %.2f\n", switches.at(switches.size() / 2));
                    QCoreApplication::exit(0);
                });
            }
        });
        area->addSubWindow(view)->showMaximized();
        view->load(url);
    };
    QTimer::singleShot(300, [&] {
        clock.start();
        open();
    });
    const int code = app.exec();
    std::fflush(stdout);
    return code;
}
