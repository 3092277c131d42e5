#include "dialogs/Module2.h"

#include "frame/MDIForm1.h"

void Module2::EditPageSource(MDIForm1 *frame, const QString &address)
{
    Q_UNUSED(frame);
    Q_UNUSED(address);
}
