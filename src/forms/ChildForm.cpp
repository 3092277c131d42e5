#include "forms/ChildForm.h"
#include "forms/ChildWindows.h"

#include "forms/ChildHost.h"
#include "forms/Twips.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <utility>

ChildForm::ChildForm(ChildHost *host)
    : QWidget(nullptr), m_host(host), m_handle(host->allocateHandle())
{
    // The form paints all of itself: a maximised sub-window can leave a stale title
    // bar behind its children (after a modal dialog, when the area resizes), and it
    // must never show through.
    setAutoFillBackground(true);
    m_sub = host->mdiArea()->addSubWindow(this);
    // Closing goes through Unload(), which decides when the window is deleted.
    m_sub->setAttribute(Qt::WA_DeleteOnClose, false);
    m_sub->setOption(QMdiSubWindow::RubberBandResize, false);
    host->registerForm(this);
}

ChildForm::~ChildForm()
{
    m_host->unregisterForm(this);
}

int ChildForm::WindowState() const
{
    if (m_sub->isMinimized())
        return 1;
    if (m_sub->isMaximized())
        return 2;
    return 0;
}

double ChildForm::Width() const
{
    return m_host->twips().fromPx(m_sub->width());
}

double ChildForm::Height() const
{
    return m_host->twips().fromPx(m_sub->height());
}

double ChildForm::ScaleWidth() const
{
    return m_host->twips().fromPx(width());
}

double ChildForm::ScaleHeight() const
{
    return m_host->twips().fromPx(height());
}

void ChildForm::setSeen(bool seen)
{
    if ((m_seenKnown && seen == m_seen) || m_unloaded)
        return;
    m_seenKnown = true;
    m_seen = seen;
    seenChanged();
}

void ChildForm::Show()
{
    if (m_unloaded)
        return;
    // Made active before it is maximised: the other way round, the area puts its
    // buttons in the menu bar twice, and taking them out in between walks every
    // widget of the frame. A window not shown yet is made active by showing it.
    m_host->mdiArea()->setActiveSubWindow(m_sub);
    showMaximizedInside();
    takeFocus();
}

void ChildForm::showMaximizedInside()
{
    if (!m_sub->isMaximized()) {
        // The restore button brings back the size and place the window had before:
        // never beyond the area's edges, where the user could not see or reach it.
        const QRect area = m_host->mdiArea()->viewport()->rect();
        QRect normal = m_sub->geometry();
        if (!area.contains(normal)) {
            normal.setSize(normal.size().boundedTo(area.size()));
            const int step = 24 * (m_handle % 8);
            normal.moveTopLeft(QPoint(qMax(0, qMin(step, area.width() - normal.width())),
                                      qMax(0, qMin(step, area.height() - normal.height()))));
            m_sub->setGeometry(normal);
        }
    }
    const bool changing = std::exchange(m_host->windowChanging(), true);
    m_sub->showMaximized();
    m_host->windowChanging() = changing;
}

void ChildForm::Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    m_host->unregisterForm(this);
    Form_Unload();
    m_sub->hide();
    if (m_holds == 0)
        m_sub->deleteLater();
    else
        m_deletePending = true;
}

void ChildForm::closeEvent(QCloseEvent *event)
{
    // The sub-window's close box and Ctrl+W land here.
    if (!m_unloaded && !mayClose())
        return event->ignore();
    event->accept();
    Unload();
}

void ChildForm::yieldOnce()
{
    if (m_yielding || m_host->windowChanging())
        return;
    m_yielding = true;
    Hold hold(this);
    QCoreApplication::processEvents();
    m_yielding = false;
}

void ChildForm::release()
{
    if (--m_holds == 0 && m_deletePending) {
        m_deletePending = false;
        m_sub->deleteLater();
    }
}

ChildForm::Hold::Hold(ChildForm *form) : m_form(form)
{
    ++m_form->m_holds;
}

ChildForm::Hold::~Hold()
{
    m_form->release();
}

// The frame keeps its loaded windows through ChildWindows; they live here, with
// the windows they hold.
void ChildWindows::registerForm(ChildForm *form)
{
    if (!m_forms.contains(form))
        m_forms.append(form);
}

void ChildWindows::unregisterForm(ChildForm *form)
{
    m_forms.removeOne(form);
}

ChildForm *ChildWindows::findForm(int handle) const
{
    for (ChildForm *form : m_forms)
        if (form->hWnd() == handle)
            return form;
    return nullptr;
}

ChildForm *ChildWindows::activeChild() const
{
    QMdiSubWindow *sub = m_area->activeSubWindow();
    if (!sub)
        return nullptr;
    auto *form = qobject_cast<ChildForm *>(sub->widget());
    return form && !form->isUnloaded() ? form : nullptr;
}

void ChildWindows::subWindowActivated(QMdiSubWindow *sub)
{
    // The frame losing and regaining the keyboard activates the same window again;
    // a window the user restored while in front stays as the user left it.
    if (!sub || sub == m_front)
        return;
    QPointer<QMdiSubWindow> previous = std::exchange(m_front, sub);
    auto *form = qobject_cast<ChildForm *>(sub->widget());
    if (form && !form->isUnloaded())
        form->showMaximizedInside();
    // The one it replaces goes back to its own size behind it. The area would do this
    // itself, but with every window of the frame made not to paint and back, which
    // costs more than the rest of the switch together; nothing of it shows anyway.
    // Restored, a window is shown again and would make itself active: it is disabled
    // meanwhile.
    if (previous && previous->isMaximized()) {
        const bool changing = std::exchange(m_changing, true);
        const bool disabled = previous->testAttribute(Qt::WA_ForceDisabled);
        previous->setEnabled(false);
        previous->showNormal();
        previous->setEnabled(!disabled);
        m_changing = changing;
    }
}

void ChildWindows::deleteAllChildren()
{
    const QList<QMdiSubWindow *> subs = m_area->subWindowList();
    for (QMdiSubWindow *sub : subs)
        delete sub;
    m_forms.clear();
}
