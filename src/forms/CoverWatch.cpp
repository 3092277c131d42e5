#include "forms/CoverWatch.h"

#include "forms/ChildForm.h"

#include <QEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRegion>
#include <QTimer>

CoverWatch::CoverWatch(QMdiArea *area) : QObject(area), m_area(area)
{
    area->viewport()->installEventFilter(this);
    area->window()->installEventFilter(this);
    connect(area, &QMdiArea::subWindowActivated, this, &CoverWatch::schedule);
}

bool CoverWatch::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::ChildAdded:
    case QEvent::ChildRemoved:
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::WindowStateChange:
    case QEvent::ZOrderChange:
        schedule();
        break;
    default:
        break;
    }
    return false;
}

void CoverWatch::schedule()
{
    if (m_scheduled)
        return;
    m_scheduled = true;
    QTimer::singleShot(0, this, &CoverWatch::update);
}

void CoverWatch::release()
{
    if (--m_holds == 0)
        schedule();
}

void CoverWatch::update()
{
    m_scheduled = false;
    if (m_holds > 0)
        return; // the last release works it out
    const bool frameShown = m_area->window()->isVisible() && !m_area->window()->isMinimized();
    const QRegion area(m_area->viewport()->rect());
    QRegion covered;
    const QList<QMdiSubWindow *> subs = m_area->subWindowList(QMdiArea::StackingOrder);
    for (auto it = subs.crbegin(); it != subs.crend(); ++it) { // the top one first
        QMdiSubWindow *sub = *it;
        // A new sub-window is watched from here on (installing again is harmless).
        sub->installEventFilter(this);
        const bool shown = frameShown && sub->isVisible() && !sub->isMinimized();
        const QRegion visible = shown ? (area & sub->geometry()) - covered : QRegion();
        if (shown)
            covered += sub->geometry();
        if (auto *form = qobject_cast<ChildForm *>(sub->widget()))
            form->setSeen(!visible.isEmpty());
    }
}
