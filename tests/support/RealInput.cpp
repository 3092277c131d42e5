#include "TestUtil.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace {
Display *display()
{
    auto *x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->display() : nullptr;
}

void flush()
{
    XSync(display(), False);
    QTest::qWait(50); // let the program read what the server now sends it
}

void pressKeysym(KeySym sym)
{
    Display *d = display();
    const KeyCode code = XKeysymToKeycode(d, sym), shift = XKeysymToKeycode(d, XK_Shift_L);
    const bool shifted
        = XkbKeycodeToKeysym(d, code, 0, 0) != sym && XkbKeycodeToKeysym(d, code, 0, 1) == sym;
    if (shifted)
        XTestFakeKeyEvent(d, shift, True, CurrentTime);
    XTestFakeKeyEvent(d, code, True, CurrentTime);
    XTestFakeKeyEvent(d, code, False, CurrentTime);
    if (shifted)
        XTestFakeKeyEvent(d, shift, False, CurrentTime);
    flush();
}
} // namespace

bool RealInput::available()
{
    int event, error, major, minor;
    return display() && XTestQueryExtension(display(), &event, &error, &major, &minor);
}

void RealInput::click(QWidget *widget, QPoint at, int button)
{
    if (!widget) // the test goes on to its own checks, which then fail
        return QTest::qFail("nothing to click: the widget is missing", __FILE__, __LINE__);
    const QPoint p = widget->mapToGlobal(at.x() < 0 ? widget->rect().center() : at);
    const qreal ratio = widget->devicePixelRatioF(); // the server works in device pixels
    XTestFakeMotionEvent(display(), -1, qRound(p.x() * ratio), qRound(p.y() * ratio), CurrentTime);
    flush();
    // Press and release go out together: a handler that opens a modal box on the
    // press must not hold the button down while the box waits for its answer.
    XTestFakeButtonEvent(display(), unsigned(button), True, CurrentTime);
    XTestFakeButtonEvent(display(), unsigned(button), False, 20);
    flush();
}

void RealInput::type(const QString &text)
{
    for (const QChar c : text)
        pressKeysym(KeySym(c.unicode())); // Latin-1 keysyms equal their code points
}

void RealInput::key(const char *keysymName) { pressKeysym(XStringToKeysym(keysymName)); }

void RealInput::chord(const QStringList &names)
{
    Display *d = display();
    QList<KeyCode> codes;
    for (const QString &name : names)
        codes.append(XKeysymToKeycode(d, XStringToKeysym(name.toLatin1().constData())));
    for (KeyCode code : codes)
        XTestFakeKeyEvent(d, code, True, CurrentTime);
    for (auto it = codes.crbegin(); it != codes.crend(); ++it)
        XTestFakeKeyEvent(d, *it, False, CurrentTime);
    flush();
}

bool RealInput::clickCloseBox(QWidget *window)
{
    // The frame is the window manager's window around ours, just below the root.
    Display *d = display();
    const Window own = Window(window->winId());
    Window frame = own, root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    while (XQueryTree(d, frame, &root, &parent, &children, &count)) {
        if (children)
            XFree(children);
        if (parent == root || !parent)
            break;
        frame = parent;
    }
    XWindowAttributes attributes;
    int x = 0, bar = 0;
    Window child;
    if (frame == own || !XGetWindowAttributes(d, frame, &attributes)
        || !XTranslateCoordinates(d, own, frame, 0, 0, &x, &bar, &child) || bar <= 0)
        return false;
    XTestFakeMotionEvent(d, -1, attributes.x + attributes.width - bar / 2 - 2,
                         attributes.y + bar / 2, CurrentTime);
    flush();
    XTestFakeButtonEvent(d, 1, True, CurrentTime);
    XTestFakeButtonEvent(d, 1, False, 20);
    flush();
    return true;
}
