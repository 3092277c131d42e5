#include "TestFrame.h"
#include "browser/Form1.h"
#include "dialogs/Dialog.h"
#include "dialogs/frmEdit.h"

#include <QAction>
#include <QFrame>
#include <QMdiSubWindow>
#include <QToolBar>
#include <QtTest>

class tst_iconsize : public QObject
{
    Q_OBJECT
private slots:
    void onlyTheActiveBrowserWindowSwitches();
    void barsRefitAndLargeRestoresTheOpeningLook();
};

namespace {

Form1 *openWindow(MDIForm1 *frame)
{
    frame->new_Click();
    return qobject_cast<Form1 *>(frame->activeChild());
}

// The page lies directly under the two bars and 80 twips above the status bar.
void checkFit(Form1 *w)
{
    QCOMPARE(w->pCoolBar2->Top(), w->pCoolBar1->Top() + w->pCoolBar1->Height());
    QCOMPARE(w->pwb->Top(), w->pCoolBar1->Height() + w->pCoolBar2->Height());
    QCOMPARE(w->pwb->Top() + w->pwb->Height(), w->ScaleHeight() - w->pStbar1->Height() - 80);
    QVERIFY(w->CoolBar1->height() >= w->Toolbar1->sizeHint().height());
}

} // namespace

void tst_iconsize::onlyTheActiveBrowserWindowSwitches()
{
    TestFrame t(true, false);
    Dialog *menu = t->dialog();
    menu->small_Click(); // no window at all: nothing to do
    Form1 *first = openWindow(t.frame.get());
    Form1 *second = openWindow(t.frame.get());
    menu->small->trigger();
    QCOMPARE(second->toolbarIconSize(), Form1::IconSize::Small);
    QCOMPARE(second->Toolbar1->iconSize(), QSize(16, 16));
    QCOMPARE(second->ButtonImage(9), 13);
    QCOMPARE(second->ButtonImage(1), 7);
    QCOMPARE(first->toolbarIconSize(), Form1::IconSize::Large);
    QCOMPARE(first->ButtonImage(9), 14);
    // A new window starts large whatever was chosen elsewhere.
    QCOMPARE(openWindow(t.frame.get())->ButtonImage(9), 14);

    // An editor in front has no toolbar: the menu changes nothing.
    second->Show();
    const double band = second->pCoolBar1->Height();
    auto *editor = new frmEdit(t.frame.get());
    editor->Show();
    menu->large->trigger();
    QCOMPARE(second->toolbarIconSize(), Form1::IconSize::Small);
    QCOMPARE(second->pCoolBar1->Height(), band);
}

void tst_iconsize::barsRefitAndLargeRestoresTheOpeningLook()
{
    TestFrame t(true, false);
    Form1 *w = openWindow(t.frame.get());
    QCoreApplication::processEvents();
    const QRect toolbar = w->Toolbar1->geometry();
    const QRect bar1 = w->CoolBar1->geometry();
    const QRect bar2 = w->CoolBar2->geometry();
    t->dialog()->small_Click();
    checkFit(w);
    QVERIFY(w->Toolbar1->height() < toolbar.height());
    // Large, and Large again: the window looks as it did when it opened.
    for (int i = 0; i < 2; ++i) {
        t->dialog()->large_Click();
        checkFit(w);
        QCOMPARE(w->Toolbar1->geometry(), toolbar);
        QCOMPARE(w->CoolBar1->geometry(), bar1);
        QCOMPARE(w->CoolBar2->geometry(), bar2);
        QCOMPARE(w->Toolbar1->iconSize(), QSize(32, 32));
        QCOMPARE(w->ButtonImage(9), 14);
    }
    // In a restored, smaller window too.
    w->subWindow()->showNormal();
    w->subWindow()->resize(500, 400);
    QCoreApplication::processEvents();
    t->dialog()->small_Click();
    checkFit(w);
}

ORVANE_TEST_MAIN(tst_iconsize)
#include "tst_iconsize.moc"
