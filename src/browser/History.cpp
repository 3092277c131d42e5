#include "browser/History.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QPointer>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QUrl>
#include <QVariant>
#include <atomic>

namespace {

std::atomic<int> connections { 0 };

QString newConnection(const QString &path)
{
    const QString name = QStringLiteral("orvane-history-%1").arg(++connections);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(path);
    // A copy of the file locked by someone else is waited on a little, not for ever.
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=2000"));
    return name;
}

void dropConnection(const QString &name)
{
    {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        if (db.isOpen())
            db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

// The address as typed without its scheme and "www.": what completion matches.
QString bare(QString address)
{
    address = address.toLower();
    const int scheme = address.indexOf(QLatin1String("://"));
    if (scheme > 0 && scheme < 12)
        address.remove(0, scheme + 3);
    if (address.startsWith(QLatin1String("www.")))
        address.remove(0, 4);
    return address;
}

bool run(QSqlQuery &query, const QString &sql, const QVariantList &values = {})
{
    if (!query.prepare(sql))
        return false;
    for (const QVariant &v : values)
        query.addBindValue(v);
    return query.exec();
}

} // namespace

History::History(const QString &path, QObject *parent) : QObject(parent)
{
    if (path.isEmpty())
        return;
    QDir().mkpath(QFileInfo(path).absolutePath());
    // One copy of Orvane keeps the history; another one started meanwhile keeps none.
    m_lock = std::make_unique<QLockFile>(path + QStringLiteral(".lock"));
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0))
        return;
    m_reader = newConnection(path);
    QSqlDatabase db = QSqlDatabase::database(m_reader);
    QSqlQuery q(db);
    const QStringList schema {
        QStringLiteral("PRAGMA journal_mode=WAL"),
        QStringLiteral("PRAGMA synchronous=NORMAL"),
        QStringLiteral("CREATE TABLE IF NOT EXISTS visits(id INTEGER PRIMARY KEY, url TEXT NOT NULL,"
                       " title TEXT NOT NULL, at INTEGER NOT NULL)"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS visits_at ON visits(at)"),
        QStringLiteral("CREATE TABLE IF NOT EXISTS pages(url TEXT PRIMARY KEY, bare TEXT NOT NULL,"
                       " visits INTEGER NOT NULL, last INTEGER NOT NULL)"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS pages_bare ON pages(bare)"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS pages_visits ON pages(visits DESC, last DESC)"),
        QStringLiteral("SELECT COUNT(*) FROM visits"),
    };
    bool ok = db.isOpen() || db.open();
    for (const QString &sql : schema)
        if (ok && !(ok = run(q, sql)))
            break;
    if (!ok) {
        const QString why = (db.isOpenError() ? db.lastError() : q.lastError()).text();
        m_problem = why.isEmpty() ? QStringLiteral("the file cannot be used") : why;
        q = QSqlQuery();
        db = QSqlDatabase();
        dropConnection(m_reader);
        m_reader.clear();
        return;
    }
    m_on = true;
    m_thread = new QThread(this);
    m_thread->setObjectName(QStringLiteral("History"));
    m_writer = new QObject;
    m_writer->moveToThread(m_thread);
    connect(m_thread, &QThread::finished, m_writer, &QObject::deleteLater);
    m_thread->start(QThread::LowPriority);
    // A connection serves the thread that made it: the writer's is made there.
    QObject *writer = m_writer;
    QMetaObject::invokeMethod(writer, [writer, path] { writer->setObjectName(newConnection(path)); },
                              Qt::QueuedConnection);
}

History::~History()
{
    if (m_thread) {
        // Written to the end, then the thread's connection goes with it.
        QObject *writer = m_writer;
        QMetaObject::invokeMethod(writer, [writer] { dropConnection(writer->objectName()); },
                                  Qt::QueuedConnection);
        m_thread->quit();
        m_thread->wait();
    }
    if (!m_reader.isEmpty())
        dropConnection(m_reader);
}

bool History::keeps(const QString &address)
{
    const QString scheme = QUrl(address).scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https")
            || scheme == QLatin1String("file") || scheme == QLatin1String("ftp");
}

void History::write(std::function<void(const QString &)> job, bool thenChanged)
{
    if (!m_on)
        return;
    QPointer<History> self(this);
    QObject *writer = m_writer;
    QMetaObject::invokeMethod(
            writer,
            [job = std::move(job), writer, thenChanged, self] {
                job(writer->objectName());
                if (thenChanged)
                    QMetaObject::invokeMethod(qApp, [self] {
                        if (self)
                            emit self->changed();
                    }, Qt::QueuedConnection);
            },
            Qt::QueuedConnection);
}

void History::record(const QString &address, const QString &title)
{
    if (!keeps(address))
        return;
    const qint64 at = QDateTime::currentMSecsSinceEpoch();
    write([address, title, at](const QString &connection) {
        QSqlDatabase db = QSqlDatabase::database(connection);
        QSqlQuery q(db);
        db.transaction();
        run(q, QStringLiteral("INSERT INTO visits(url, title, at) VALUES (?, ?, ?)"), { address, title, at });
        run(q, QStringLiteral("INSERT INTO pages(url, bare, visits, last) VALUES (?, ?, 1, ?)"
                              " ON CONFLICT(url) DO UPDATE SET visits = visits + 1, last = excluded.last"),
            { address, bare(address), at });
        db.commit();
    });
}

QList<History::Visit> History::visits(const QString &filter, int limit) const
{
    QList<Visit> found;
    if (!m_on)
        return found;
    QSqlQuery q(QSqlDatabase::database(m_reader));
    QString like = filter;
    like.replace(QLatin1Char('\\'), QLatin1String("\\\\")).replace(QLatin1Char('%'), QLatin1String("\\%"))
            .replace(QLatin1Char('_'), QLatin1String("\\_"));
    like = QLatin1Char('%') + like + QLatin1Char('%');
    run(q, filter.isEmpty()
                ? QStringLiteral("SELECT id, url, title, at FROM visits ORDER BY at DESC, id DESC LIMIT ?")
                : QStringLiteral("SELECT id, url, title, at FROM visits WHERE url LIKE ? ESCAPE '\\'"
                                 " OR title LIKE ? ESCAPE '\\' ORDER BY at DESC, id DESC LIMIT ?"),
        filter.isEmpty() ? QVariantList { limit } : QVariantList { like, like, limit });
    while (q.next())
        found.append({ q.value(0).toLongLong(), q.value(1).toString(), q.value(2).toString(),
                       QDateTime::fromMSecsSinceEpoch(q.value(3).toLongLong()) });
    return found;
}

QStringList History::complete(const QString &typed, int max) const
{
    QStringList found;
    const QString prefix = bare(typed.trimmed());
    if (!m_on || prefix.isEmpty())
        return found;
    QSqlQuery q(QSqlDatabase::database(m_reader));
    // A letter or two matches most pages: the most visited are read until enough
    // match. A longer prefix matches few: those are read and sorted.
    run(q, prefix.size() <= 2 ? QStringLiteral("SELECT url FROM pages INDEXED BY pages_visits"
                                               " WHERE bare >= ? AND bare < ? ORDER BY visits DESC, last DESC LIMIT ?")
                              : QStringLiteral("SELECT url FROM pages INDEXED BY pages_bare"
                                               " WHERE bare >= ? AND bare < ? ORDER BY visits DESC, last DESC LIMIT ?"),
        { prefix, prefix + QChar(0xFFFF), max });
    while (q.next())
        found.append(q.value(0).toString());
    return found;
}

void History::remove(const QList<qint64> &ids)
{
    write([ids](const QString &connection) {
        QSqlDatabase db = QSqlDatabase::database(connection);
        QSqlQuery q(db);
        db.transaction();
        for (qint64 id : ids) {
            run(q, QStringLiteral("UPDATE pages SET visits = visits - 1"
                                  " WHERE url = (SELECT url FROM visits WHERE id = ?)"), { id });
            run(q, QStringLiteral("DELETE FROM visits WHERE id = ?"), { id });
        }
        run(q, QStringLiteral("DELETE FROM pages WHERE visits <= 0"));
        db.commit();
    }, true);
}

void History::clear()
{
    write([](const QString &connection) {
        QSqlDatabase db = QSqlDatabase::database(connection);
        QSqlQuery q(db);
        db.transaction();
        run(q, QStringLiteral("DELETE FROM visits"));
        run(q, QStringLiteral("DELETE FROM pages"));
        db.commit();
    }, true);
}
