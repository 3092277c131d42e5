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
    void init();
    void cleanup();

    void onlyTheActiveWindowSwitches();
    void pageAreaSitsBetweenBarsAndStatusBar();
    void choosingTwiceChangesNothing();
    void noBrowserWindowActiveDoesNothing();

private:
    Form1 *openWindow();
    static void checkFit(Form1 *w);

    MDIForm1 *frame() const { return m_frame->frame.get(); }
    std::unique_ptr<TestFrame> m_frame;
};

void tst_iconsize::init()
{
    m_frame = std::make_unique<TestFrame>(true, false);
}

void tst_iconsize::cleanup()
{
    m_frame.reset();
}

Form1 *tst_iconsize::openWindow()
{
    frame()->new_Click();
    return qobject_cast<Form1 *>(frame()->activeChild());
}

void tst_iconsize::checkFit(Form1 *w)
{
    QCOMPARE(w->pCoolBar2->Top(), w->pCoolBar1->Top() + w->pCoolBar1->Height());
    QCOMPARE(w->pwb->Top(), w->pCoolBar1->Height() + w->pCoolBar2->Height());
    QCOMPARE(w->pwb->Top() + w->pwb->Height(), w->ScaleHeight() - w->pStbar1->Height() - 80);
    // The band holds the whole toolbar.
    QVERIFY(w->CoolBar1->height() >= w->Toolbar1->sizeHint().height());
    QVERIFY(w->CoolBar2->geometry().bottom() < w->pwb->widget()->geometry().top());
}

void tst_iconsize::onlyTheActiveWindowSwitches()
{
    Form1 *first = openWindow();
    Form1 *second = openWindow();
    QVERIFY(first && second && first != second);
    QCOMPARE(first->toolbarIconSize(), Form1::IconSize::Large);
    QCOMPARE(second->ButtonImage(9), 14);

    frame()->dialog()->small->trigger();
    QCOMPARE(second->toolbarIconSize(), Form1::IconSize::Small);
    QCOMPARE(second->Toolbar1->iconSize(), QSize(16, 16));
    QCOMPARE(second->ButtonImage(9), 13);
    QCOMPARE(second->ButtonImage(1), 7);
    QCOMPARE(first->toolbarIconSize(), Form1::IconSize::Large);
    QCOMPARE(first->ButtonImage(9), 14);

    // A new window is made large whatever was chosen elsewhere.
    Form1 *third = openWindow();
    QVERIFY(third);
    QCOMPARE(third->toolbarIconSize(), Form1::IconSize::Large);
    QCOMPARE(third->ButtonImage(9), 14);

    second->Show();
    frame()->dialog()->large->trigger();
    QCOMPARE(second->toolbarIconSize(), Form1::IconSize::Large);
    QCOMPARE(second->Toolbar1->iconSize(), QSize(32, 32));
    QCOMPARE(second->ButtonImage(9), 14);
}

void tst_iconsize::pageAreaSitsBetweenBarsAndStatusBar()
{
    Form1 *w = openWindow();
    QVERIFY(w);
    frame()->dialog()->small_Click();
    checkFit(w);
    const double smallBand = w->pCoolBar1->Height();
    frame()->dialog()->large_Click();
    checkFit(w);
    QVERIFY(w->pCoolBar1->Height() > smallBand);

    // In a restored, smaller window too.
    w->subWindow()->showNormal();
    w->subWindow()->resize(500, 400);
    QCoreApplication::processEvents();
    frame()->dialog()->small_Click();
    checkFit(w);
}

void tst_iconsize::choosingTwiceChangesNothing()
{
    Form1 *w = openWindow();
    QVERIFY(w);
    frame()->dialog()->large_Click();
    const QList<double> once = { w->pCoolBar1->Height(), w->pToolbar1->Height(),
                                 w->pCoolBar2->Top(), w->pwb->Top(), w->pwb->Height() };
    frame()->dialog()->large_Click();
    const QList<double> twice = { w->pCoolBar1->Height(), w->pToolbar1->Height(),
                                  w->pCoolBar2->Top(), w->pwb->Top(), w->pwb->Height() };
    QCOMPARE(twice, once);
    QCOMPARE(w->ButtonImage(9), 14);
}

void tst_iconsize::noBrowserWindowActiveDoesNothing()
{
    // No window at all.
    frame()->dialog()->small_Click();
    frame()->dialog()->large_Click();

    Form1 *w = openWindow();
    QVERIFY(w);
    const double band = w->pCoolBar1->Height();
    auto *editor = new frmEdit(frame());
    editor->Show();
    QCOMPARE(frame()->activeChild(), editor);
    frame()->dialog()->small->trigger();
    QCOMPARE(w->toolbarIconSize(), Form1::IconSize::Large);
    QCOMPARE(w->ButtonImage(9), 14);
    QCOMPARE(w->pCoolBar1->Height(), band);
}

ORVANE_TEST_MAIN(tst_iconsize)
#include "tst_iconsize.moc"
