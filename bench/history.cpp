// The history at the size of a long-used browser: what recording a visit costs the
// interface thread, completing a typed prefix and opening the History window over
// 100,000 entries.
#include "browser/History.h"
#include "dialogs/HistoryWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QVariant>
#include <algorithm>
#include <cstdio>

namespace {

double median(QList<double> v)
{
    std::sort(v.begin(), v.end());
    return v.isEmpty() ? -1 : v.at(v.size() / 2);
}

// 100,000 visits of 20,000 pages, as many sites, straight into the file.
bool fill(const QString &path)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fill"));
    db.setDatabaseName(path);
    if (!db.open())
        return false;
    QSqlQuery q(db);
    db.transaction();
    q.prepare(QStringLiteral("INSERT INTO visits(url, title, at) VALUES (?, ?, ?)"));
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    for (int i = 0; i < 100000; ++i) {
        const QString url = QStringLiteral("https://site%1.example/page%2").arg(i % 20000).arg(i % 7);
        q.addBindValue(url);
        q.addBindValue(QStringLiteral("Page %1").arg(i));
        q.addBindValue(now - qint64(i) * 60000);
        q.exec();
    }
    q.exec(QStringLiteral("INSERT OR REPLACE INTO pages(url, bare, visits, last) SELECT url,"
                          " substr(url, 9), COUNT(*), MAX(at) FROM visits GROUP BY url"));
    db.commit();
    q = QSqlQuery();
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("fill"));
    return true;
}

} // namespace

int historyBench()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("history.sqlite"));
    QList<double> record, queued;
    {
        History history(path);
        if (!history.isOn())
            return std::fprintf(stderr, "history off\n"), 3;
        // The bare cost of handing work to another thread, as the baseline.
        QObject sink;
        QElapsedTimer clock;
        for (int i = 0; i < 1000; ++i) {
            clock.start();
            QMetaObject::invokeMethod(&sink, [] { }, Qt::QueuedConnection);
            queued << clock.nsecsElapsed() / 1e3;
            clock.start();
            history.record(QStringLiteral("https://example.org/%1").arg(i), QStringLiteral("Example"));
            record << clock.nsecsElapsed() / 1e3;
            if (i % 50 == 0)
                QCoreApplication::processEvents();
        }
    } // written to the end
    if (!fill(path))
        return std::fprintf(stderr, "fill failed\n"), 3;
    History history(path);
    QList<double> complete, scan;
    QSqlDatabase plain = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("plain"));
    plain.setDatabaseName(path);
    plain.open();
    for (int i = 0; i < 200; ++i) {
        const QString typed = QStringLiteral("site%1").arg(i * 97 % 2000);
        QElapsedTimer clock;
        clock.start();
        const QStringList found = history.complete(typed);
        complete << clock.nsecsElapsed() / 1e6;
        if (found.isEmpty())
            return std::fprintf(stderr, "nothing completes %s\n", qPrintable(typed)), 3;
        // The same question without the index: every page read.
        clock.start();
        QSqlQuery q(plain);
        q.prepare(QStringLiteral("SELECT url FROM pages WHERE substr(url, 9) LIKE ? ORDER BY visits DESC LIMIT 10"));
        q.addBindValue(typed + QLatin1Char('%'));
        q.exec();
        while (q.next()) { }
        scan << clock.nsecsElapsed() / 1e6;
    }
    // One letter: every page matches, the most visited of all are sorted out.
    QList<double> shortest;
    for (int i = 0; i < 20; ++i) {
        QElapsedTimer clock;
        clock.start();
        history.complete(QStringLiteral("s"));
        shortest << clock.nsecsElapsed() / 1e6;
    }
    QList<double> window, tree;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer clock;
        clock.start();
        {
            HistoryWindow w(&history, nullptr, [](const QString &) { }, nullptr);
            w.show();
            QCoreApplication::processEvents();
            window << clock.nsecsElapsed() / 1e6;
        }
        // A tree of as many rows from memory, as the baseline.
        const QList<History::Visit> visits = history.visits(QString(), HistoryWindow::Shown);
        clock.start();
        {
            QTreeWidget t;
            auto *day = new QTreeWidgetItem({ QStringLiteral("Today") });
            for (const History::Visit &v : visits)
                new QTreeWidgetItem(day, { v.title, v.address, v.when.toString() });
            t.addTopLevelItem(day);
            t.expandAll();
            t.show();
            QCoreApplication::processEvents();
            tree << clock.nsecsElapsed() / 1e6;
        }
    }
    std::printf("record_median_us %.2f\nrecord_worst_us %.2f\nqueued_median_us %.2f\n"
                "complete_ms %.3f\ncomplete_letter_ms %.3f\nscan_ms %.3f\nwindow_ms %.2f\ntree_ms %.2f\n",
                median(record), *std::max_element(record.begin(), record.end()), median(queued),
                median(complete), median(shortest), median(scan), median(window), median(tree));
    return 0;
}
