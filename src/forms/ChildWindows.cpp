#include "forms/ChildWindows.h"

#include "forms/ChildForm.h"

#include <QMdiArea>
#include <QMdiSubWindow>

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

void ChildWindows::deleteAllChildren()
{
    const QList<QMdiSubWindow *> subs = m_area->subWindowList();
    for (QMdiSubWindow *sub : subs)
        delete sub;
    m_forms.clear();
}
