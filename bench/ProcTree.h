#pragma once

#include <QDir>
#include <QFile>
#include <QHash>
#include <QList>
#include <QString>

// The process tree under a process, read from /proc.
namespace ProcTree {

inline QHash<qint64, qint64> parents()
{
    QHash<qint64, qint64> ppid;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString &e : entries) {
        bool isPid = false;
        const qint64 pid = e.toLongLong(&isPid);
        if (!isPid)
            continue;
        QFile stat(QStringLiteral("/proc/") + e + QStringLiteral("/stat"));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = stat.readAll();
        const int close = line.lastIndexOf(')');
        const QList<QByteArray> rest = line.mid(close + 2).split(' ');
        if (rest.size() > 1)
            ppid.insert(pid, rest.at(1).toLongLong());
    }
    return ppid;
}

// root and all its descendants.
inline QList<qint64> tree(qint64 root)
{
    const QHash<qint64, qint64> ppid = parents();
    QList<qint64> all{ root };
    for (int i = 0; i < all.size(); ++i)
        for (auto it = ppid.cbegin(); it != ppid.cend(); ++it)
            if (it.value() == all.at(i))
                all.append(it.key());
    return all;
}

inline QString name(qint64 pid)
{
    QFile f(QStringLiteral("/proc/%1/comm").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromLocal8Bit(f.readAll()).trimmed();
}

// A /proc/<pid>/status field in kB.
inline qint64 statusKb(qint64 pid, const char *field)
{
    QFile f(QStringLiteral("/proc/%1/status").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ').value(0).toLongLong();
    return 0;
}

inline qint64 totalRssKb(qint64 root)
{
    qint64 sum = 0;
    for (qint64 pid : tree(root))
        sum += statusKb(pid, "VmRSS:");
    return sum;
}

// Proportional set size: shared pages counted once over the tree.
inline qint64 totalPssKb(qint64 root)
{
    qint64 sum = 0;
    for (qint64 pid : tree(root)) {
        QFile f(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
        if (!f.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray &line : f.readAll().split('\n'))
            if (line.startsWith("Pss:"))
                sum += line.mid(4).trimmed().split(' ').value(0).toLongLong();
    }
    return sum;
}

inline int countNamed(qint64 root, const QString &prefix)
{
    int n = 0;
    const QList<qint64> all = tree(root);
    for (int i = 1; i < all.size(); ++i)
        if (name(all.at(i)).startsWith(prefix))
            ++n;
    return n;
}

} // namespace ProcTree
