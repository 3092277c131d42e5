#include "browser/webengine/DownloadManager.h"

#include "browser/webengine/DownloadJob.h"
#include "browser/webengine/DownloadWindow.h"
#include "forms/Prompter.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTimer>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>
#include <QWebEngineView>

DownloadManager::DownloadManager(QWebEngineProfile *profile, Prompter *prompter)
    : m_prompter(prompter)
{
    connect(profile, &QWebEngineProfile::downloadRequested, this, &DownloadManager::requested);
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
    // The frame owns the window, so closing the browser window leaves it running.
    QWebEngineView *view = request->page() ? QWebEngineView::forPage(request->page()) : nullptr;
    QPointer<QWidget> owner = view ? view->window() : nullptr;
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    QDir().mkpath(folder);
    bool replace = false;
    // The server's name, not the engine's numbered one: an existing file is asked
    // about. The request stays the engine's until this handler returns: answered here.
    const QString target = askTarget(owner, folder, SafeFileName(request->suggestedFileName()),
                                     &replace);
    if (target.isEmpty())
        return request->cancel();
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

QString DownloadManager::askTarget(QWidget *owner, const QString &folder, const QString &name,
                                   bool *replace)
{
    QString dir = folder, file = name;
    for (;;) {
        const QString path = m_prompter->saveFileIn(owner, QStringLiteral("Save As"), dir, file);
        if (path.isEmpty())
            return QString();
        const QFileInfo info(path);
        if (!info.exists())
            return info.absoluteFilePath();
        dir = info.absolutePath();
        file = info.fileName();
        if (info.isDir()) {
            m_prompter->msgBox(owner, path + QStringLiteral(" is a folder.\nChoose a file name."),
                               MsgBox::Exclamation, QStringLiteral("Save As"));
            continue;
        }
        const int answer = m_prompter->msgBox(
                owner, path + QStringLiteral(" already exists.\nDo you want to replace it?"),
                MsgBox::YesNoExclamation | MsgBox::SecondDefault, QStringLiteral("Save As"));
        if (answer == MsgBox::Yes) {
            *replace = true;
            return info.absoluteFilePath();
        }
    }
}
