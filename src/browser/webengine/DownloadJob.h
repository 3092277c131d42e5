#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>

class QWebEngineDownloadRequest;
struct Timings;

// One download the user agreed to: the engine writes to a temporary name beside the
// target, and only a complete file is renamed to the target. Anything else leaves
// neither the target nor a partial file behind.
class DownloadJob : public QObject
{
    Q_OBJECT
public:
    enum State { Running, Done, Failed };

    // Accepts the request. replace: the user agreed to replace an existing target.
    DownloadJob(QWebEngineDownloadRequest *request, const QString &target, bool replace,
                const Timings &timings, QObject *parent);
    ~DownloadJob() override;

    QString target() const { return m_target; }
    QString partPath() const { return m_part; }
    State state() const { return m_state; }
    qint64 received() const;
    qint64 total() const; // -1 when the server did not say
    qint64 bytesPerSecond() const;
    // Why it failed, in plain words; empty while it runs or once done.
    QString failure() const { return m_failure; }
    // Ended, and the engine has let go of its files: nothing more will change.
    bool isSettled() const { return m_settled; }

public slots:
    void cancel();

signals:
    // More bytes, or a total: often, in small steps.
    void progressed();
    void finished();
    void settled();

private:
    void engineFinished();
    void stop(const QString &why);
    void fail(const QString &why);
    void removePartial();

    QPointer<QWebEngineDownloadRequest> m_request;
    QString m_target, m_part, m_failure;
    bool m_replace;
    State m_state = Running;
    bool m_cancelled = false;
    bool m_partGone = false; // failed, and what the engine wrote is removed for good
    bool m_settled = false;
    const Timings &m_timings;
    QElapsedTimer m_clock, m_stalledSince;
    qint64 m_lastReceived = 0;
};

// A name from a server made safe to save under: no folders, no control characters,
// not hidden, not "." or "..", at most 200 bytes, never empty.
QString SafeFileName(const QString &name);
