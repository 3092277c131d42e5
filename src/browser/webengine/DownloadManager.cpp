#include "browser/webengine/DownloadManager.h"

#include "browser/webengine/DownloadJob.h"
#include "browser/webengine/DownloadWindow.h"
#include "browser/webengine/PageHost.h"
#include "browser/webengine/WebEnginePage.h"
#include "forms/Prompter.h"
#include "forms/Timings.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTimer>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>

DownloadManager::DownloadManager(QWebEngineProfile *profile, Prompter *prompter,
                                 const Timings &timings)
    : m_prompter(prompter), m_timings(timings)
{
    connect(profile, &QWebEngineProfile::downloadRequested, this, &DownloadManager::requested);
}

DownloadManager::~DownloadManager()
{
    for (const QPointer<QWidget> &window : std::as_const(m_orphanWindows))
        delete window;
    // What is still running, and what ended but is still shown, goes now.
    qDeleteAll(findChildren<DownloadJob *>(Qt::FindDirectChildrenOnly));
}

void DownloadManager::cancelAll()
{
    for (DownloadJob *job : jobs())
        job->cancel();
}

void DownloadManager::watch(QWebEnginePage *page)
{
    m_pages.insert(page, PageAsks { 0, QuestionRow(m_timings.questionRowGapMs) });
    connect(page, &QObject::destroyed, this, [this, page] {
        m_pages.remove(page);
        m_pageGoneAt = QuestionRow::now();
    });
    // A download started by a link ends its load unsuccessfully; a page shown anew
    // may ask again.
    connect(page, &QWebEnginePage::loadFinished, this, [this, page](bool ok) {
        if (ok)
            m_pages[page].declined.reset();
    });
}

QList<DownloadJob *> DownloadManager::jobs() const
{
    QList<DownloadJob *> list;
    for (const Running &running : m_jobs)
        if (running.job && running.job->state() == DownloadJob::Running)
            list.append(running.job);
    return list;
}

bool DownloadManager::isDownloading(const QWebEnginePage *page) const
{
    for (const Running &running : m_jobs)
        if (running.page == page && running.job && running.job->state() == DownloadJob::Running)
            return true;
    return false;
}

void DownloadManager::requested(QWebEngineDownloadRequest *request)
{
    // A page saved through Save As arrives accepted, its place already chosen.
    if (request->state() != QWebEngineDownloadRequest::DownloadRequested)
        return;
    // A request may still come from a page that has just gone with its window, and
    // the engine's page() then reads through a null pointer (Qt 6.4): for a moment
    // after a page goes, a request is taken as one from no page, and asked all the same.
    const qint64 arrived = QuestionRow::now();
    const bool pageMayBeGone =
            m_pageGoneAt >= 0 && arrived - m_pageGoneAt < m_timings.pageGoneGraceMs;
    QPointer<QWebEnginePage> page = pageMayBeGone ? nullptr : request->page();
    auto *ours = qobject_cast<WebEnginePage *>(page.data());
    PageHost *host = ours ? ours->host() : nullptr;
    if (page && (!host || host->isClosing()))
        return; // its window is closing: not accepted, the engine drops it
    // The frame owns the question and the window, so closing the browser window leaves
    // the download running; a page in full screen has its view elsewhere for the while.
    QPointer<QWidget> owner = host ? host->widget()->window() : nullptr;
    for (auto it = m_pages.keyBegin(); !owner && it != m_pages.keyEnd(); ++it)
        if (auto *open = qobject_cast<WebEnginePage *>(*it); open && open->host())
            owner = open->host()->widget()->window();
    const QString name = SafeFileName(request->suggestedFileName());
    if (page) {
        PageAsks &asks = m_pages[page];
        if (asks.open >= MaxOpen || asks.declined.length() >= RefusedAfter) {
            host->showRefusal(QStringLiteral("Not downloaded: %1 (the page asked again and again; "
                                             "load it again to download from it)")
                                      .arg(name));
            return; // not accepted: the engine drops it
        }
        ++asks.open;
    }
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    QDir().mkpath(folder);
    bool replace = false;
    QString target;
    // The server's name, not the engine's numbered one: an existing file is asked
    // about. The request stays the engine's until this handler returns: answered here.
    const auto question = [&] { target = askTarget(owner, folder, name, &replace); };
    if (host)
        AskForPage(host, question);
    else
        question();
    if (page) {
        PageAsks &asks = m_pages[page];
        --asks.open;
        asks.declined.answered(arrived, target.isEmpty());
    }
    if (!target.isEmpty())
        start(request, page, target, replace, owner);
    // else not accepted: the engine drops it
}

void DownloadManager::start(QWebEngineDownloadRequest *request, QWebEnginePage *page,
                            const QString &target, bool replace, QWidget *owner)
{
    QPointer<DownloadJob> job = new DownloadJob(request, target, replace, m_timings, this);
    m_jobs.append({ job, page });
    connect(job, &DownloadJob::finished, this, [this, job] {
        m_jobs.removeIf([&](const Running &running) { return running.job == job || !running.job; });
    });
    // The engine starts once this handler has returned; the window can wait for that.
    QPointer<QWidget> frame(owner);
    QTimer::singleShot(0, this, [this, job, frame, owned = owner != nullptr] {
        if (!job)
            return;
        auto *window = new DownloadWindow(job, frame, m_timings.downloadRefreshMs);
        if (!owned || !frame) {
            m_orphanWindows.removeAll(nullptr);
            m_orphanWindows.append(window);
        }
        // An ended job lives as long as its window shows it, and until the engine
        // has let go of its files.
        connect(window, &QObject::destroyed, job, [job] {
            if (job->isSettled())
                job->deleteLater();
        });
        connect(job, &DownloadJob::settled, job, [job, shown = QPointer<QWidget>(window)] {
            if (!shown)
                job->deleteLater();
        });
        window->show();
    });
}

DownloadJob *DownloadManager::runningTo(const QString &target) const
{
    for (DownloadJob *job : jobs())
        if (job->target() == target)
            return job;
    return nullptr;
}

QString DownloadManager::askTarget(QWidget *owner, const QString &folder, const QString &name,
                                   bool *replace)
{
    QString dir = folder, file = name;
    for (;;) {
        const QString path = m_prompter->saveFileIn(owner, QStringLiteral("Save As"), dir, file);
        if (path.isEmpty())
            return QString();
        const QFileInfo info(path);
        DownloadJob *running = runningTo(info.absoluteFilePath());
        if (!info.exists() && !running)
            return info.absoluteFilePath();
        dir = info.absolutePath();
        file = info.fileName();
        if (info.isDir()) {
            m_prompter->msgBox(owner, path + QStringLiteral(" is a folder.\nChoose a file name."),
                               MsgBox::Exclamation, QStringLiteral("Save As"));
            continue;
        }
        // Two downloads never race for one name: the later one replaces, if the user wishes.
        const MsgBox::Answer answer = m_prompter->msgBox(
                owner,
                path + (running ? QStringLiteral(" is being downloaded.")
                                : QStringLiteral(" already exists."))
                        + QStringLiteral("\nDo you want to replace it?"),
                MsgBox::YesNoExclamation | MsgBox::SecondDefault, QStringLiteral("Save As"));
        if (answer == MsgBox::Yes) {
            if (DownloadJob *still = runningTo(info.absoluteFilePath()))
                still->cancel();
            *replace = true;
            return info.absoluteFilePath();
        }
    }
}
