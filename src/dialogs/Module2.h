#pragma once

#include <QString>

class MDIForm1;

namespace Module2 {
// Downloads the address's raw text and shows it in a new editor window.
void EditPageSource(MDIForm1 *frame, const QString &address);
}
