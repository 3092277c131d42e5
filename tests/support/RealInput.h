#pragma once

#include <QPoint>
#include <QStringList>
#include <QTest>

class QString;
class QWidget;

// Input through the X server itself (XTEST), so the program gets it exactly as from
// a person: pointer motion, focus changes and all. Real X only.
namespace RealInput {
bool available();
// Moves the pointer to a point of the widget (its centre by default) and clicks.
void click(QWidget *widget, QPoint at = QPoint(-1, -1), int button = 1);
void type(const QString &printableAscii);
// Clicks the window manager's close box of a top-level window (at the right of its
// title bar, as openbox draws it); false when the window has no frame yet.
bool clickCloseBox(QWidget *window);
void key(const char *keysymName); // "Return", "Escape", ...
// Keys held down in order and let go in reverse: {"Control_L", "r"}.
void chord(const QStringList &keysymNames);
// Lets the program run before a test looks, as a person looks once the screen settled.
inline void settle(int idleMs = 1000) { QTest::qWait(idleMs); }
} // namespace RealInput
