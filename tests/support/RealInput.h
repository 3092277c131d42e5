#pragma once

#include <QPoint>
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
// "Return", "Escape", "w" with Qt::ControlModifier, ...
void key(const char *keysymName, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// Lets the program run before a test looks, as a person looks once the screen settled.
inline void settle(int idleMs = 1000) { QTest::qWait(idleMs); }
} // namespace RealInput
