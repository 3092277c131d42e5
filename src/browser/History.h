#pragma once

#include <QDateTime>
#include <QObject>
#include <QStringList>
#include <memory>

class QLockFile;
class QThread;

// Every page the browser windows show, kept in a SQLite database: written on a
// thread of its own so that a page never waits on the disk, read for the History
// window and the address box's completion.
class History : public QObject
{
    Q_OBJECT
public:
    struct Visit
    {
        qint64 id = 0;
        QString address, title;
        QDateTime when;
    };

    // An empty path keeps nothing (a copy running off the record); so does a path
    // another copy of Orvane keeps. A database that cannot be read is left as it is
    // and history is off for this run: problem() says why.
    explicit History(const QString &path, QObject *parent = nullptr);
    ~History() override; // what was recorded is written first

    bool isOn() const { return m_on; }
    // Why it is off, the first time asked: the user is told once.
    QString takeProblem() { return std::exchange(m_problem, QString()); }

    // Returns at once: the write happens on the history's thread.
    void record(const QString &address, const QString &title);
    // Newest first, at most limit, those whose address or title holds filter.
    QList<Visit> visits(const QString &filter, int limit) const;
    // Addresses that begin with what was typed, with or without their scheme and
    // "www.", the most visited first.
    QStringList complete(const QString &typed, int max = 10) const;
    void remove(const QList<qint64> &ids);
    void clear();
    // Pages worth a line: not blank pages, nor data or script addresses.
    static bool keeps(const QString &address);

signals:
    // Entries were removed: lists of them are out of date.
    void changed();

private:
    void write(std::function<void(const QString &connection)> job, bool thenChanged = false);

    bool m_on = false;
    QString m_problem;
    QString m_reader;
    std::unique_ptr<QLockFile> m_lock;
    QThread *m_thread = nullptr;
    QObject *m_writer = nullptr; // lives on m_thread
};
