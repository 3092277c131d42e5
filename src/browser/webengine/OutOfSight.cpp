#include "browser/webengine/OutOfSight.h"

#include "browser/webengine/DownloadManager.h"
#include "browser/webengine/PageQuestion.h"
#include "forms/Timings.h"

#include <QFile>
#include <QWebEnginePage>
#include <QWebEngineView>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

// The memory the kernel says is available, as a share of all of it in percent;
// 100 when it cannot be read.
qint64 availablePercent()
{
    QFile info(QStringLiteral("/proc/meminfo"));
    if (!info.open(QIODevice::ReadOnly))
        return 100;
    qint64 total = 0, available = -1;
    for (const QByteArray &line : info.readAll().split('\n')) {
        const QList<QByteArray> words = line.simplified().split(' ');
        if (words.size() >= 2 && words.at(0) == "MemTotal:")
            total = words.at(1).toLongLong();
        else if (words.size() >= 2 && words.at(0) == "MemAvailable:")
            available = words.at(1).toLongLong();
    }
    return total > 0 && available >= 0 ? available * 100 / total : 100;
}

} // namespace

OutOfSight::OutOfSight(const Timings &timings, const DownloadManager *downloads)
    : m_timings(timings), m_downloads(downloads)
{
    // A page put away frees its share of the engine's heap, but the C library keeps
    // the freed pages in the process, scattered between the live windows' memory
    // (about 100 MB with 167 windows put away). Trimming returns them; it takes
    // about 15 ms with such a heap, so a run of pages put away is trimmed once.
    m_giveBack.setSingleShot(true);
    connect(&m_giveBack, &QTimer::timeout, this, [] {
#ifdef __GLIBC__
        malloc_trim(0);
#endif
    });
}

void OutOfSight::hidden(QWebEnginePage *page, bool touched)
{
    m_pages.removeAll(page);
    m_pages.append(page);
    m_touched.removeAll(page);
    if (touched)
        m_touched.append(page);
    connect(page, &QWebEnginePage::recommendedStateChanged, this,
            &OutOfSight::putAwayBeyondBudget, Qt::UniqueConnection);
    putAwayBeyondBudget();
}

void OutOfSight::shown(QWebEnginePage *page)
{
    m_pages.removeAll(page);
    m_touched.removeAll(page);
    disconnect(page, &QWebEnginePage::recommendedStateChanged, this,
               &OutOfSight::putAwayBeyondBudget);
}

bool OutOfSight::mayRest(QWebEnginePage *page) const
{
    QWebEngineView *view = QWebEngineView::forPage(page);
    return view && !IsViewHeld(view) && !view->window()->isFullScreen()
            && !m_downloads->isDownloading(page);
}

int OutOfSight::budget()
{
    // Asked at every window hidden and every change of the engine's mind: the kernel
    // writes the whole of its memory report each time, so it is read once a while.
    if (!m_memoryRead.isValid() || m_memoryRead.hasExpired(m_timings.memoryCheckMs)) {
        m_availablePercent = availablePercent();
        m_memoryRead.start();
    }
    return m_availablePercent < m_timings.shortMemoryPercent ? m_timings.liveOutOfSightWhenShort
                                                             : m_timings.liveOutOfSight;
}

void OutOfSight::putAwayBeyondBudget()
{
    m_pages.removeAll(nullptr);
    m_touched.removeAll(nullptr);
    using State = QWebEnginePage::LifecycleState;
    qsizetype live = 0;
    for (const QPointer<QWebEnginePage> &page : std::as_const(m_pages))
        live += page->lifecycleState() != State::Discarded;
    const int keep = budget();
    for (const QPointer<QWebEnginePage> &page : std::as_const(m_pages)) {
        if (live <= keep)
            break;
        if (page->lifecycleState() == State::Discarded || !mayRest(page)
            || page->recommendedState() == State::Active)
            continue; // kept live: the engine or the user still needs it
        if (page->lifecycleState() == State::Active)
            page->setLifecycleState(State::Frozen);
        if (page->recommendedState() == State::Discarded && !m_touched.contains(page)) {
            page->setLifecycleState(State::Discarded);
            --live;
            m_giveBack.start(m_timings.giveBackMemoryMs);
        }
    }
}
