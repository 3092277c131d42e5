#pragma once

#include "browser/webengine/PageQuestion.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>

class DownloadJob;
class Prompter;
class QWebEngineDownloadRequest;
class QWebEnginePage;
class QWebEngineProfile;
class QWidget;
struct Timings;

// Every download a page starts: the save question, then a job and a small window
// for it. The windows belong to the frame; a job lives while it runs and while its
// window shows it. A page that asks on and on cannot keep the user answering: a few
// questions open at once at most, and none after two quick No's in a row until it
// loads again.
class DownloadManager : public QObject
{
    Q_OBJECT
public:
    DownloadManager(QWebEngineProfile *profile, Prompter *prompter, const Timings &timings);
    ~DownloadManager() override;

    // At quitting: what still runs is cancelled and leaves no partial file.
    void cancelAll();
    // A page of a browser window: its questions are counted, its end noted.
    void watch(QWebEnginePage *page);
    // The downloads still running.
    QList<DownloadJob *> jobs() const;
    // True while a download the page started runs.
    bool isDownloading(const QWebEnginePage *page) const;

private:
    void requested(QWebEngineDownloadRequest *request);
    // Empty when the user declined. *replace: they agreed to replace the file.
    QString askTarget(QWidget *owner, const QString &folder, const QString &name, bool *replace);
    DownloadJob *runningTo(const QString &target) const;
    void start(QWebEngineDownloadRequest *request, QWebEnginePage *page, const QString &target,
               bool replace, QWidget *owner);

    // How a page's save questions have been answered so far.
    struct PageAsks
    {
        int open = 0;
        QuestionRow declined; // No's in a row, each soon after the one before
    };
    static constexpr int MaxOpen = 3;
    static constexpr int RefusedAfter = 2;

    Prompter *m_prompter;
    const Timings &m_timings;
    struct Running
    {
        QPointer<DownloadJob> job;
        QPointer<QWebEnginePage> page; // the page that started it
    };
    QList<Running> m_jobs;
    QList<QPointer<QWidget>> m_orphanWindows; // shown for a page that was gone
    QHash<QWebEnginePage *, PageAsks> m_pages; // every watched page still alive
    qint64 m_pageGoneAt = -1;
};
