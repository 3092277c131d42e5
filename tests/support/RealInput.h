#pragma once

#include <QPoint>
#include <QString>

class QWidget;

// Input through the X server itself (the XTEST extension), so the program gets it
// exactly as from a person: pointer motion, focus changes and all. Real X only.
namespace RealInput {

// True when the program runs on an X server that accepts synthetic input.
bool available();
// Moves the pointer to a point of a widget (its centre by default) and clicks.
void click(QWidget *widget, QPoint at = QPoint(-1, -1), int button = 1);
// Types printable ASCII text, with the shift key where a character needs it.
void type(const QString &text);
// Return, Escape, Tab, ...: an X key name.
void key(const char *keysymName);
// Lets the program run before a test looks, as a person looks once the screen settled.
void settle(int idleMs = 1000);

} // namespace RealInput
