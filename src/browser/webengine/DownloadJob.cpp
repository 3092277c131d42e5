#include "browser/webengine/DownloadJob.h"

#include "forms/Timings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <QWebEngineDownloadRequest>
#include <cstdio>

namespace {

// The engine's own temporary names while it writes ours.
const char *const EngineSuffixes[] = { "", ".download", ".crdownload" };

// Shortened by whole characters until it takes at most `bytes` in UTF-8 with `tail`.
QString cutToBytes(QString text, const QString &tail, int bytes)
{
    while ((text + tail).toUtf8().size() > bytes)
        text.chop(text.size() > 1 && text.back().isLowSurrogate() ? 2 : 1);
    return text;
}

QString freePartName(const QString &target)
{
    const QFileInfo info(target);
    const QDir dir = info.dir();
    // Any name the user may choose leaves room for the longest of ours (255 bytes).
    const QString stem = cutToBytes(info.fileName(), QStringLiteral(".999.part.crdownload"), 255);
    for (int n = 0;; ++n) {
        const QString name = stem
                + (n ? QStringLiteral(".%1.part").arg(n) : QStringLiteral(".part"));
        bool used = false;
        for (const char *suffix : EngineSuffixes)
            used = used || QFileInfo::exists(dir.filePath(name + QLatin1String(suffix)));
        if (!used)
            return dir.filePath(name);
    }
}

} // namespace

DownloadJob::DownloadJob(QWebEngineDownloadRequest *request, const QString &target, bool replace,
                         const Timings &timings, QObject *parent)
    : QObject(parent), m_request(request), m_target(target), m_part(freePartName(target)),
      m_replace(replace), m_timings(timings)
{
    const QFileInfo part(m_part);
    request->setDownloadDirectory(part.path());
    request->setDownloadFileName(part.fileName());
    connect(request, &QWebEngineDownloadRequest::receivedBytesChanged, this,
            &DownloadJob::progressed);
    connect(request, &QWebEngineDownloadRequest::totalBytesChanged, this, &DownloadJob::progressed);
    connect(request, &QWebEngineDownloadRequest::isFinishedChanged, this,
            &DownloadJob::engineFinished);
    // An interrupted download is not finished to the engine, which may resume it.
    connect(request, &QWebEngineDownloadRequest::stateChanged, this, &DownloadJob::engineFinished);
    m_clock.start();
    // A server that cut the connection is retried by the engine, which then may wait
    // for ever without a word: a download that gets nothing for a while has failed.
    auto *watch = new QTimer(this);
    connect(watch, &QTimer::timeout, this, [this, watch] {
        if (m_state != Running)
            return watch->stop();
        if (received() != m_lastReceived) {
            m_lastReceived = received();
            m_stalledSince.start();
        } else if (m_stalledSince.elapsed() >= m_timings.stallLimitMs) {
            stop(QStringLiteral("The server sent nothing for %1 seconds after %2 bytes")
                         .arg(m_timings.stallLimitMs / 1000.0)
                         .arg(m_lastReceived));
        }
    });
    watch->start(qBound(10, m_timings.stallLimitMs / 20, 1000));
    m_stalledSince.start();
    request->accept();
}

DownloadJob::~DownloadJob()
{
    if (m_state == Running || (m_state == Failed && !m_partGone))
        removePartial();
}

qint64 DownloadJob::received() const
{
    return m_request ? m_request->receivedBytes() : m_lastReceived;
}

qint64 DownloadJob::total() const
{
    return m_request ? m_request->totalBytes() : -1;
}

qint64 DownloadJob::bytesPerSecond() const
{
    const qint64 ms = m_clock.elapsed();
    return ms > 0 ? received() * 1000 / ms : 0;
}

void DownloadJob::cancel()
{
    stop(QStringLiteral("Cancelled"));
}

void DownloadJob::stop(const QString &why)
{
    if (m_state != Running)
        return;
    m_cancelled = true;
    if (m_request)
        m_request->cancel();
    fail(why);
}

void DownloadJob::engineFinished()
{
    if (m_state == Failed && !m_partGone)
        removePartial(); // what the engine left after a cancel
    if (m_state != Running || !m_request)
        return;
    const auto state = m_request->state();
    if (!m_request->isFinished() && state != QWebEngineDownloadRequest::DownloadInterrupted)
        return;
    m_lastReceived = m_request->receivedBytes();
    if (state == QWebEngineDownloadRequest::DownloadCancelled && !m_cancelled) // by the engine
        return fail(QStringLiteral("The file could not be written in ") + QFileInfo(m_part).path());
    if (state == QWebEngineDownloadRequest::DownloadCancelled)
        return; // stop() says why
    if (state != QWebEngineDownloadRequest::DownloadCompleted) {
        const QString why = m_request->interruptReasonString();
        return stop(why.isEmpty() ? QStringLiteral("Interrupted") : why); // no resuming later
    }
    // A size the server announced and did not deliver is a cut download, whatever
    // the engine thinks of it.
    const qint64 total = m_request->totalBytes();
    if (total > 0 && m_lastReceived < total)
        return fail(QStringLiteral("The server sent %1 of %2 bytes").arg(m_lastReceived).arg(total));
    // Replacing is one atomic step; otherwise a file that appeared meanwhile stays.
    const bool moved = m_replace
            ? std::rename(QFile::encodeName(m_part).constData(), QFile::encodeName(m_target).constData()) == 0
            : QFile::rename(m_part, m_target);
    if (!moved)
        return fail(QStringLiteral("The finished file could not be named %1").arg(m_target));
    m_state = Done;
    m_settled = true;
    emit progressed();
    emit finished();
    emit settled();
}

void DownloadJob::fail(const QString &why)
{
    m_state = Failed;
    m_failure = why;
    removePartial();
    // The engine may leave its file a moment after a cancel; later, a file of that
    // name is another program's, not ours to remove.
    QTimer::singleShot(m_timings.engineCleanupMs, this, [this] {
        removePartial();
        m_partGone = true;
        m_settled = true;
        emit settled();
    });
    emit progressed();
    emit finished();
}

void DownloadJob::removePartial()
{
    for (const char *suffix : EngineSuffixes)
        QFile::remove(m_part + QLatin1String(suffix));
}

QString SafeFileName(const QString &name)
{
    QString safe;
    for (const QChar c : name) {
        const bool control = c.unicode() < 0x20 || c.unicode() == 0x7F
                || c.category() == QChar::Other_Control || c.category() == QChar::Other_Format;
        safe += control || c == QLatin1Char('/') || c == QLatin1Char('\\') ? QLatin1Char('_') : c;
    }
    safe = safe.trimmed();
    qsizetype dots = 0;
    while (dots < safe.size() && safe.at(dots) == QLatin1Char('.'))
        ++dots;
    safe.remove(0, dots);
    // Shortened before its extension, which says what the file is. A name of a
    // million characters is cut at once: 200 bytes are at most 200 characters.
    const int dot = safe.lastIndexOf(QLatin1Char('.'));
    const QString extension = dot > 0 && safe.size() - dot <= 16 ? safe.mid(dot) : QString();
    const qsizetype most = qMin(safe.size() - extension.size(), qsizetype(200));
    const QString base = cutToBytes(safe.left(most), extension, 200);
    safe = base.trimmed() + extension;
    return safe.isEmpty() || safe == extension ? QStringLiteral("download") + extension : safe;
}
