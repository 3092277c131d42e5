#include "dialogs/Dialog.h"

#include "frame/MDIForm1.h"

#include <QMenu>

Dialog::Dialog(MDIForm1 *frame)
    : QObject(frame), file(new QMenu(QStringLiteral("File"), frame)), m_frame(frame)
{
    setObjectName(QStringLiteral("Dialog"));
    file->setObjectName(QStringLiteral("file"));
    large = file->addAction(QStringLiteral("Large Icons"));
    large->setObjectName(QStringLiteral("large"));
    small = file->addAction(QStringLiteral("Small Icons"));
    small->setObjectName(QStringLiteral("small"));
    connect(large, &QAction::triggered, this, &Dialog::large_Click);
    connect(small, &QAction::triggered, this, &Dialog::small_Click);
}

Dialog::~Dialog() = default;

void Dialog::large_Click()
{
}

void Dialog::small_Click()
{
}
