#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class DownloadJob;
class Prompter;
class QWebEngineDownloadRequest;
class QWebEngineProfile;
class QWidget;

// Every download a page starts: the save question, then a job and a small window
// for it. The windows belong to the frame; the jobs live until the program ends.
class DownloadManager : public QObject
{
    Q_OBJECT
public:
    DownloadManager(QWebEngineProfile *profile, Prompter *prompter);
    ~DownloadManager() override;

    // At quitting: what still runs is cancelled and leaves no partial file.
    void cancelAll();
    QList<DownloadJob *> jobs() const;

private:
    void requested(QWebEngineDownloadRequest *request);
    // Empty when the user declined. *replace: they agreed to replace the file.
    QString askTarget(QWidget *owner, const QString &folder, const QString &name, bool *replace);

    Prompter *m_prompter;
    QList<QPointer<DownloadJob>> m_jobs;
    QList<QPointer<QWidget>> m_orphanWindows; // shown for a page that was gone
};
