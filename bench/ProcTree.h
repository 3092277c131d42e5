#pragma once

#include <QDir>
#include <QFile>
#include <QHash>
#include <QList>
#include <QString>
#include <unistd.h>

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

// CPU time (user and system) of each process of the tree, in clock ticks.
inline QHash<qint64, qint64> cpuTicks(qint64 root)
{
    QHash<qint64, qint64> ticks;
    for (qint64 pid : tree(root)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = stat.readAll();
        // After the name: state is field 3, utime 14 and stime 15.
        const QList<QByteArray> rest = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (rest.size() > 12)
            ticks.insert(pid, rest.at(11).toLongLong() + rest.at(12).toLongLong());
    }
    return ticks;
}

// The CPU time the tree spent between two readings, in ms; a process that ended
// meanwhile is left out.
inline double cpuMsBetween(const QHash<qint64, qint64> &before, const QHash<qint64, qint64> &after)
{
    qint64 sum = 0;
    for (auto it = after.cbegin(); it != after.cend(); ++it)
        sum += it.value() - before.value(it.key(), 0);
    return sum * 1000.0 / sysconf(_SC_CLK_TCK);
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
