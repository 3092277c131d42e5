#include "browser/webengine/DownloadManager.h"

#include "browser/webengine/DownloadJob.h"
#include "browser/webengine/DownloadWindow.h"
#include "browser/webengine/WebEngineBrowser.h"
#include "browser/webengine/WebEnginePage.h"
#include "forms/Prompter.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTimer>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>

DownloadManager::DownloadManager(QWebEngineProfile *profile, Prompter *prompter)
    : m_prompter(prompter)
{
    connect(profile, &QWebEngineProfile::downloadRequested, this, &DownloadManager::requested);
    m_clock.start();
}

DownloadManager::~DownloadManager()
{
    for (const QPointer<QWidget> &window : std::as_const(m_orphanWindows))
        delete window;
    for (const QPointer<DownloadJob> &job : std::as_const(m_jobs))
        delete job;
}

void DownloadManager::cancelAll()
{
    for (const QPointer<DownloadJob> &job : std::as_const(m_jobs))
        if (job)
            job->cancel();
}

void DownloadManager::watch(QWebEnginePage *page)
{
    m_pages.insert(page, PageAsks());
    connect(page, &QObject::destroyed, this, [this, page] {
        m_pages.remove(page);
        m_pageGoneAt = m_clock.elapsed();
    });
    // A download started by a link ends its load unsuccessfully; a page shown anew
    // may ask again.
    connect(page, &QWebEnginePage::loadFinished, this, [this, page](bool ok) {
        if (ok)
            m_pages[page].declined = 0;
    });
}

QList<DownloadJob *> DownloadManager::jobs() const
{
    QList<DownloadJob *> list;
    for (const QPointer<DownloadJob> &job : m_jobs)
        if (job)
            list.append(job);
    return list;
}

void DownloadManager::requested(QWebEngineDownloadRequest *request)
{
    // A page saved through Save As arrives accepted, its place already chosen.
    if (request->state() != QWebEngineDownloadRequest::DownloadRequested)
        return;
    // A request may still come from a page that has just gone with its window, and
    // the engine's page() then reads through a null pointer (Qt 6.4): for a moment
    // after a page goes, a request is taken as one from no page, and asked all the same.
    const bool pageMayBeGone =
            m_pageGoneAt >= 0 && m_clock.elapsed() - m_pageGoneAt < PageGoneGraceMs;
    QPointer<QWebEnginePage> page = pageMayBeGone ? nullptr : request->page();
    auto *ours = qobject_cast<WebEnginePage *>(page.data());
    QPointer<WebEngineBrowser> browser = ours ? ours->browser() : nullptr;
    if (page && (!browser || browser->isClosing()))
        return; // its window is closing: not accepted, the engine drops it
    // The frame owns the question and the window, so closing the browser window leaves
    // the download running; a page in full screen has its view elsewhere for the while.
    QPointer<QWidget> owner = browser ? browser->window() : nullptr;
    for (auto it = m_pages.keyBegin(); !owner && it != m_pages.keyEnd(); ++it)
        if (auto *open = qobject_cast<WebEnginePage *>(*it); open && open->browser())
            owner = open->browser()->window();
    const qint64 arrived = m_clock.elapsed();
    if (page) {
        PageAsks &asks = m_pages[page];
        if (asks.open >= MaxOpen || asks.declined >= RefusedAfter) {
            if (browser)
                emit browser->StatusTextChange(
                        QStringLiteral("Not downloaded: %1 (the page asked again and again; "
                                       "load it again to download from it)")
                                .arg(SafeFileName(request->suggestedFileName())));
            return; // not accepted: the engine drops it
        }
        ++asks.open;
    }
    if (browser) // the question must not wait behind the full screen
        browser->endFullScreen();
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    QDir().mkpath(folder);
    bool replace = false;
    // The server's name, not the engine's numbered one: an existing file is asked
    // about. The request stays the engine's until this handler returns: answered here.
    const QString target = askTarget(owner, folder, SafeFileName(request->suggestedFileName()),
                                     &replace);
    if (page) {
        PageAsks &asks = m_pages[page];
        --asks.open;
        const bool soon = asks.lastAnswer >= 0 && arrived - asks.lastAnswer < RowGapMs;
        asks.declined = target.isEmpty() ? (soon ? asks.declined + 1 : 1) : 0;
        asks.lastAnswer = m_clock.elapsed();
    }
    if (target.isEmpty())
        return; // not accepted: the engine drops it
    QPointer<DownloadJob> job = new DownloadJob(request, target, replace, this);
    m_jobs.append(job);
    // The engine starts once this handler has returned; the window can wait for that.
    QTimer::singleShot(0, this, [this, job, owner] {
        if (!job)
            return;
        auto *window = new DownloadWindow(job, owner);
        if (!owner)
            m_orphanWindows.append(window);
        window->show();
    });
}

DownloadJob *DownloadManager::runningTo(const QString &target) const
{
    for (const QPointer<DownloadJob> &job : m_jobs)
        if (job && job->state() == DownloadJob::Running && job->target() == target)
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
        const int answer = m_prompter->msgBox(
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
