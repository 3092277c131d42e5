#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>

class DownloadManager;
class QWebEnginePage;
struct Timings;

// The pages out of sight, the longest out of sight first. At most so many of them
// stay live (fewer when the machine runs short of memory); the others are put away:
// frozen, then discarded where the engine recommends it (not a page with typed form
// input, a PDF, sound, capture, or one linked by script to another live page). A
// page put away keeps its Back/Forward list and loads again when shown. A page the
// user typed or clicked in may ask before it is left, which a discarded page cannot:
// it is frozen at most.
class OutOfSight : public QObject
{
    Q_OBJECT
public:
    OutOfSight(const Timings &timings, const DownloadManager *downloads);

    void hidden(QWebEnginePage *page, bool touched);
    void shown(QWebEnginePage *page);
    // Nothing the user started is under way in it: no question open, no download,
    // not in full screen.
    bool mayRest(QWebEnginePage *page) const;

private slots:
    // Again whenever the engine changes its mind about a page.
    void putAwayBeyondBudget();

private:
    // How many pages out of sight stay live now.
    int budget();

    const Timings &m_timings;
    const DownloadManager *m_downloads;
    QList<QPointer<QWebEnginePage>> m_pages;
    QList<QPointer<QWebEnginePage>> m_touched; // of m_pages, never discarded
    QTimer m_giveBack;
    QElapsedTimer m_memoryRead;
    qint64 m_availablePercent = 100;
};
