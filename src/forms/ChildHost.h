#pragma once

#include <QList>

class ChildForm;
class QMdiArea;
class Twips;

// What a child window needs of the frame that holds it: a handle, the area it
// shows in, the list of loaded windows and the frame's twips.
class ChildHost
{
public:
    virtual ~ChildHost() = default;

    virtual int allocateHandle() = 0;
    virtual QMdiArea *mdiArea() const = 0;
    virtual void registerForm(ChildForm *form) = 0;
    virtual void unregisterForm(ChildForm *form) = 0;
    virtual QList<ChildForm *> forms() const = 0;
    virtual ChildForm *activeChild() const = 0;
    virtual const Twips &twips() const = 0;
    // Set while Qt changes a child window's state: nothing lets events run meanwhile,
    // since Qt's half-made state would be read (and crash) in a resize of the area.
    virtual bool &windowChanging() = 0;
};
