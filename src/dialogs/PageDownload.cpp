#include "dialogs/PageDownload.h"

#include <QEventLoop>
#include <QThread>

DownloadResult PageDownload::FetchWhilePainting(PageFetch fetch, const QString &address,
                                                const DownloadOptions &options)
{
    DownloadResult result;
    if (!fetch) {
        result.error = QStringLiteral("The download module could not be loaded");
        return result;
    }
    if (!IsFetchable(address))
        return fetch(address, options);
    QThread *worker = QThread::create([&] { result = fetch(address, options); });
    QEventLoop loop;
    QObject::connect(worker, &QThread::finished, &loop, &QEventLoop::quit);
    worker->start();
    // Paint and timers go on; clicks and keys wait until the transfer is over.
    if (!worker->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker->wait();
    delete worker;
    return result;
}
