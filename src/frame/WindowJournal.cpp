#include "frame/WindowJournal.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QSet>

namespace {
constexpr char FormatKey[] = "orvane-journal";
constexpr int FormatVersion = 1;
// Far beyond what a person keeps open; a file past these is not ours.
constexpr int MostWindows = 10000;
constexpr qsizetype MostFileBytes = 64 * 1024 * 1024;
constexpr qsizetype MostHistoryBytes = 1024 * 1024;
constexpr int WritePause = 1000; // ms between two writes at the most
constexpr int WriteDelay = 100;  // ms after a change, so that a burst is written once
} // namespace

QByteArray EncodeJournal(const Journal &journal)
{
    QJsonArray windows;
    for (const JournalEntry &e : journal.windows)
        windows.append(QJsonObject {
                { QStringLiteral("id"), e.id },
                { QStringLiteral("opener"), e.opener },
                { QStringLiteral("tab"), e.tab },
                { QStringLiteral("address"), e.address },
                { QStringLiteral("caption"), e.caption },
                { QStringLiteral("history"), QString::fromLatin1(e.history.toBase64()) },
        });
    const QJsonObject root { { QLatin1String(FormatKey), FormatVersion },
                             { QStringLiteral("front"), journal.front },
                             { QStringLiteral("windows"), windows } };
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

bool DecodeJournal(const QByteArray &data, Journal *journal)
{
    *journal = Journal();
    if (data.size() > MostFileBytes)
        return false;
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(data, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return false;
    const QJsonObject root = doc.object();
    if (root.value(QLatin1String(FormatKey)) != QJsonValue(FormatVersion)
        || !root.value(QStringLiteral("windows")).isArray())
        return false;
    const QJsonArray windows = root.value(QStringLiteral("windows")).toArray();
    if (windows.size() > MostWindows)
        return false;
    Journal read;
    QSet<int> ids;
    for (const QJsonValue &value : windows) {
        const QJsonObject o = value.toObject();
        const QJsonValue id = o.value(QStringLiteral("id")), opener = o.value(QStringLiteral("opener")),
                         tab = o.value(QStringLiteral("tab")),
                         address = o.value(QStringLiteral("address")),
                         caption = o.value(QStringLiteral("caption")),
                         history = o.value(QStringLiteral("history"));
        if (!id.isDouble() || !opener.isDouble() || !tab.isBool() || !address.isString()
            || !caption.isString() || !history.isString())
            return false;
        JournalEntry e;
        e.id = id.toInt();
        e.opener = opener.toInt();
        e.tab = tab.toBool();
        e.address = address.toString();
        e.caption = caption.toString();
        const auto bytes = QByteArray::fromBase64Encoding(history.toString().toLatin1(),
                                                          QByteArray::AbortOnBase64DecodingErrors);
        if (e.id <= 0 || ids.contains(e.id) || !bytes || bytes.decoded.size() > MostHistoryBytes)
            return false;
        e.history = bytes.decoded;
        ids.insert(e.id);
        read.windows.append(e);
    }
    const int front = root.value(QStringLiteral("front")).toInt(-1);
    read.front = front >= 0 && front < read.windows.size() ? front : -1;
    *journal = read;
    return true;
}

WindowJournal::WindowJournal(const QString &folder, std::function<Journal()> snapshot,
                             QObject *parent)
    : QObject(parent),
      m_path(QDir(folder).filePath(QStringLiteral("windows.json"))),
      m_lock(QDir(folder).filePath(QStringLiteral("windows.lock"))),
      m_snapshot(std::move(snapshot))
{
    // The lock is the running copy's: a copy that was killed leaves it to the next,
    // one that still runs keeps it, and then this copy keeps no journal.
    m_lock.setStaleLockTime(0);
    m_kept = !folder.isEmpty() && QDir().mkpath(folder) && m_lock.tryLock(0);
    // What a bad end left is read before anything can write over it, and kept on
    // disk until the user has chosen: a crash meanwhile loses nothing.
    QFile file(m_path);
    if (m_kept && file.open(QIODevice::ReadOnly))
        DecodeJournal(file.read(MostFileBytes + 1), &m_left);
    if (m_kept) {
        m_thread.setObjectName(QStringLiteral("Journal"));
        m_writer = new QObject;
        m_writer->moveToThread(&m_thread);
        connect(&m_thread, &QThread::finished, m_writer, &QObject::deleteLater);
        m_thread.start(QThread::LowPriority);
    }
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &WindowJournal::writeNow);
}

WindowJournal::~WindowJournal()
{
    m_thread.quit(); // after the writes already posted
    m_thread.wait();
}

void WindowJournal::resume()
{
    m_left = Journal();
    changed();
}

void WindowJournal::changed()
{
    if (!m_kept || m_timer.isActive() || !m_left.windows.isEmpty())
        return;
    const qint64 since = m_sinceWrite.isValid() ? m_sinceWrite.elapsed() : WritePause;
    m_timer.start(int(qMax<qint64>(WriteDelay, WritePause - since)));
}

void WindowJournal::writeNow()
{
    if (!m_kept || !m_left.windows.isEmpty())
        return;
    m_timer.stop();
    m_sinceWrite.restart();
    // A whole new file replaces the old one, or the old one stays: never a torn file.
    // A full disk or a read-only folder only means the journal is not kept up to date.
    QMetaObject::invokeMethod(m_writer, [path = m_path, journal = m_snapshot()] {
        QSaveFile file(path);
        if (file.open(QIODevice::WriteOnly) && file.write(EncodeJournal(journal)) >= 0)
            file.commit();
    }, Qt::QueuedConnection);
}

void WindowJournal::flush()
{
    if (m_writer)
        QMetaObject::invokeMethod(m_writer, [] {}, Qt::BlockingQueuedConnection);
}

void WindowJournal::discard()
{
    if (!m_kept)
        return;
    m_timer.stop();
    flush();
    QFile::remove(m_path);
}
