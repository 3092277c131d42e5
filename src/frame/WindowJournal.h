#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <QThread>
#include <QTimer>
#include <functional>

// One browser window as the journal keeps it.
struct JournalEntry
{
    int id = 0;     // the window's handle in the run that wrote it
    int opener = 0; // the id of the window whose page opened it; 0: under "Open Web's"
    bool tab = false;
    QString address, caption;
    QByteArray history; // the engine's own Back/Forward list, as it saves it
};

// The open windows, in the tree's order, and which one is in front.
struct Journal
{
    QList<JournalEntry> windows;
    int front = -1; // index into windows; -1: none
};

// The file: a JSON document of one version, read back whole or not at all.
QByteArray EncodeJournal(const Journal &journal);
bool DecodeJournal(const QByteArray &data, Journal *journal);

// Keeps the open windows on disk while Orvane runs, so that a start after a crash
// can offer them back. A change is written shortly after, at most about once a
// second, on a thread of its own; only taking the snapshot runs on the caller's.
// A copy of Orvane that finds another one running keeps no journal at all.
class WindowJournal : public QObject
{
    Q_OBJECT
public:
    WindowJournal(const QString &folder, std::function<Journal()> snapshot,
                  QObject *parent = nullptr);
    ~WindowJournal() override;

    bool isKept() const { return m_kept; }
    // What a run that did not end properly left; empty when there is nothing usable.
    // While it is there, changes wait: the file stays as it was left until resume(),
    // which writes the windows as they are then.
    const Journal &leftBehind() const { return m_left; }
    void resume();
    // A change to the windows: written soon.
    void changed();
    // Takes the snapshot and queues its write now (also what the timer does).
    void writeNow();
    // Waits until every queued write is on disk.
    void flush();
    // A normal end, or the user declined what was left: nothing is kept.
    void discard();

private:
    QString m_path;
    QLockFile m_lock;
    bool m_kept = false;
    Journal m_left;
    std::function<Journal()> m_snapshot;
    QTimer m_timer;
    QElapsedTimer m_sinceWrite;
    // Writes are posted to one thread that lives as long as the journal: they land in
    // order, and a change costs the caller no thread start.
    QThread m_thread;
    QObject *m_writer = nullptr;
};
