#include "dialogs/Dialog.h"

#include "browser/Form1.h"
#include "browser/ToolbarPictures.h"
#include "forms/Twips.h"

#include <QLayout>
#include <QMenu>
#include <QToolBar>

Dialog::Dialog(ChildHost *host, QWidget *parent)
    : QObject(parent), file(new QMenu(QStringLiteral("File"), parent)), m_host(host)
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
    // An editor (or no window at all) has no toolbar to change.
    auto *window = qobject_cast<Form1 *>(m_host->activeChild());
    if (!window)
        return;
    window->setToolbarIcons(Form1::IconSize::Large, LargeButtonPictures);
    refit(window);
}

void Dialog::small_Click()
{
    auto *window = qobject_cast<Form1 *>(m_host->activeChild());
    if (!window)
        return;
    window->setToolbarIcons(Form1::IconSize::Small, SmallButtonPictures);
    refit(window);
}

void Dialog::refit(Form1 *window)
{
    const Twips &t = window->frame()->twips();
    if (QLayout *layout = window->Toolbar1->layout())
        layout->activate();
    // Large pictures are what the window is designed with: the toolbar takes back
    // its designed height. Small ones take what the toolbar needs for them.
    const double toolbar = window->toolbarIconSize() == Form1::IconSize::Large
            ? Form1::LargeToolbarHeight
            : t.fromPx(window->Toolbar1->sizeHint().height());
    // The band keeps its design margin around the toolbar.
    const double margin = window->pCoolBar1->Height() - window->pToolbar1->Height();
    window->pToolbar1->setHeight(toolbar);
    window->pCoolBar1->setHeight(toolbar + margin);
    window->pCoolBar2->setTop(window->pCoolBar1->Top() + window->pCoolBar1->Height());

    const double top = window->pCoolBar1->Height() + window->pCoolBar2->Height();
    window->pwb->setTop(top);
    window->pwb->setHeight(window->ScaleHeight() - top - window->pStbar1->Height() - 80);
}
