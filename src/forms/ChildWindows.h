#pragma once

#include "forms/ChildHost.h"
#include "forms/Twips.h"

#include <QList>
#include <QPointer>

class QMdiSubWindow;

// The frame's side of its child windows: the area they show in, a handle for
// each, and the collection of loaded windows, searched by handle.
// Its members are defined in ChildForm.cpp, beside the windows it holds.
class ChildWindows : public virtual ChildHost
{
public:
    explicit ChildWindows(double dpi) : m_twips(dpi) { }

    int allocateHandle() override { return ++m_lastHandle; }
    QMdiArea *mdiArea() const override { return m_area; }
    void registerForm(ChildForm *form) override;
    void unregisterForm(ChildForm *form) override;
    QList<ChildForm *> forms() const override { return m_forms; }
    ChildForm *findForm(int handle) const;
    // The active sub-window's form, unless it is closing.
    ChildForm *activeChild() const override;
    const Twips &twips() const override { return m_twips; }
    bool &windowChanging() override { return m_changing; }

protected:
    void setMdiArea(QMdiArea *area) { m_area = area; }
    // Deletes every sub-window, and so every child window, at once.
    void deleteAllChildren();
    // Whichever window comes to the front, by any means, fills the area.
    void subWindowActivated(QMdiSubWindow *sub);

    Twips m_twips;

private:
    QMdiArea *m_area = nullptr;
    QList<ChildForm *> m_forms;
    QPointer<QMdiSubWindow> m_front;
    int m_lastHandle = 0;
    bool m_changing = false;
};
