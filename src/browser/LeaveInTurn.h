#pragma once

#include <QList>
#include <functional>

class Form1;

// Closing browser windows whose pages may ask first ("Leave this page?"): one
// question at a time, and a window never goes before those opened from it.
namespace LeaveInTurn {

// The order to ask them in: every window after those opened from it.
QList<Form1 *> deepestFirst(QList<Form1 *> windows);
// None of them may ask: they can all go at once.
bool noneAsks(const QList<Form1 *> &windows);
// Asks each page in turn. left(window) for each the user lets go that is still
// there; done(true) once all were asked, done(false) at the first the user stays
// on: the windows after it are not asked.
void ask(const QList<Form1 *> &windows, std::function<void(Form1 *)> left,
         std::function<void(bool all)> done);

} // namespace LeaveInTurn
