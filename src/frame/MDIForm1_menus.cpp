// The menu bar, the frame's timers, resizing and shutdown.
#include "frame/MDIForm1.h"
#include "frame/WindowJournal.h"

#include "browser/Form1.h"
#include "browser/LeaveInTurn.h"
#include "browser/WebBrowser.h"
#include "dialogs/frmOptions.h"
#include "dialogs/frmabout.h"
#include "forms/ChildForm.h"
#include "forms/Controls.h"
#include "forms/Prompter.h"
#include "forms/TreeView.h"
#include "sidebar/SideBar.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QMenuBar>
#include <QProgressBar>
#include <QTimer>
#include <QToolBar>

namespace {

QMenu *menu(QWidget *owner, QMenuBar *bar, const QString &name, const QString &caption)
{
    auto *m = new QMenu(caption, owner);
    m->setObjectName(name);
    m->menuAction()->setObjectName(name);
    bar->addMenu(m);
    return m;
}

QAction *item(QMenu *menu, const QString &name, const QString &caption)
{
    QAction *a = caption == QLatin1String("-") ? menu->addSeparator() : menu->addAction(caption);
    a->setObjectName(name);
    return a;
}

} // namespace

void MDIForm1::createMenus()
{
    // Alt and the underlined letter open a menu and choose in it; the names screen
    // readers read are the captions without the marks.
    QMenuBar *bar = menuBar();
    file = menu(this, bar, QStringLiteral("file"), QStringLiteral("&File"));
    new_ = item(file, QStringLiteral("new"), QStringLiteral("&New Window"));
    new_->setShortcut(QKeySequence(Qt::Key_F2));
    lien1 = item(file, QStringLiteral("lien1"), QStringLiteral("-"));
    open = item(file, QStringLiteral("open"), QStringLiteral("&Open File"));
    line2 = item(file, QStringLiteral("line2"), QStringLiteral("-"));
    exit = item(file, QStringLiteral("exit"), QStringLiteral("E&xit"));
    createWindowList();

    mnutools = menu(this, bar, QStringLiteral("mnutools"), QStringLiteral("&Tools"));
    view = mnutools->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("view"));
    view->menuAction()->setObjectName(QStringLiteral("view"));
    mybar = item(view, QStringLiteral("mybar"), QStringLiteral("&Mybar"));
    mybar->setCheckable(true);
    line5 = item(view, QStringLiteral("line5"), QStringLiteral("-"));
    butoon = item(view, QStringLiteral("butoon"), QStringLiteral("My&Buttons"));
    butoon->setCheckable(true);
    butoon->setChecked(true);
    // Choosing it does nothing: it keeps its check mark.
    connect(butoon, &QAction::triggered, butoon, [this] { butoon->setChecked(true); });
    prog = item(view, QStringLiteral("prog"), QStringLiteral("&Progress Bar.."));
    prog->setCheckable(true);
    prog->setChecked(true);
    line6 = item(mnutools, QStringLiteral("line6"), QStringLiteral("-"));
    options_ = item(mnutools, QStringLiteral("options"), QStringLiteral("&Options.."));
    line7 = item(mnutools, QStringLiteral("line7"), QStringLiteral("-"));
    reneter = mnutools->addMenu(QStringLiteral("&Refresh"));
    reneter->setObjectName(QStringLiteral("reneter"));
    reneter->menuAction()->setObjectName(QStringLiteral("reneter"));
    refresg_favorites = item(reneter, QStringLiteral("refresg_favorites"),
                             QStringLiteral("&Favorites"));

    help = menu(this, bar, QStringLiteral("help"), QStringLiteral("&Help"));
    new2 = item(help, QStringLiteral("new2"), QStringLiteral("&Whats New"));
    new2->setVisible(false);
    line10 = item(help, QStringLiteral("line10"), QStringLiteral("-"));
    line10->setVisible(false);
    about = item(help, QStringLiteral("about"), QStringLiteral("&About"));

    // F10 puts the keyboard on the menu bar, wherever it was.
    auto *f10 = new QAction(this);
    f10->setShortcut(Qt::Key_F10);
    connect(f10, &QAction::triggered, bar, [bar, this] { bar->setActiveAction(file->menuAction()); });
    addAction(f10);
    auto *reopen = new QAction(this);
    reopen->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_T));
    connect(reopen, &QAction::triggered, this, &MDIForm1::reopenClosed);
    addAction(reopen);
    auto *historyKey = new QAction(this);
    historyKey->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    connect(historyKey, &QAction::triggered, this, &MDIForm1::showHistory);
    addAction(historyKey);

    connect(new_, &QAction::triggered, this, &MDIForm1::new_Click);
    connect(open, &QAction::triggered, this, &MDIForm1::open_Click);
    connect(exit, &QAction::triggered, this, &MDIForm1::exit_Click);
    // The check marks change only through the handlers.
    connect(mybar, &QAction::triggered, this, [this] {
        mybar->setChecked(!mybar->isChecked());
        mybar_Click();
    });
    connect(prog, &QAction::triggered, this, [this] {
        prog->setChecked(!prog->isChecked());
        prog_Click();
    });
    connect(options_, &QAction::triggered, this, &MDIForm1::options_Click);
    connect(refresg_favorites, &QAction::triggered, this, &MDIForm1::refresg_favorites_Click);
    connect(about, &QAction::triggered, this, &MDIForm1::about_Click);

    QToolBar *bar1 = Picture3->Toolbar1;
    connect(bar1, &QToolBar::actionTriggered, this, [this] { Toolbar1_ButtonClick(); });
    bar1->setMouseTracking(true);
    bar1->installEventFilter(this);
}

void MDIForm1::createWindowList()
{
    // The window list: the open child windows, listed when the menu opens.
    winol = new QMenu(file);
    winol->setObjectName(QStringLiteral("winol"));
    connect(file, &QMenu::aboutToShow, this, [this] {
        for (QAction *a : file->actions())
            if (a->property("orvaneWindow").isValid())
                file->removeAction(a), a->deleteLater();
        QAction *separator = nullptr;
        int n = 0;
        for (ChildForm *form : forms()) {
            if (!separator) {
                separator = file->addSeparator();
                separator->setProperty("orvaneWindow", true);
            }
            ++n;
            QAction *a = file->addAction(
                    QStringLiteral("&%1 %2").arg(n).arg(withLiteralAmpersands(form->Caption())));
            a->setProperty("orvaneWindow", form->hWnd());
            a->setCheckable(true);
            a->setChecked(form == activeChild());
            const int handle = form->hWnd();
            connect(a, &QAction::triggered, this, [this, handle] {
                if (ChildForm *f = findForm(handle)) {
                    mdiArea()->setActiveSubWindow(f->subWindow());
                    f->subWindow()->showMaximized();
                }
            });
        }
    });
}

void MDIForm1::mybar_Click()
{
    if (mybar->isChecked()) {
        Picture3->hide();
        mybar->setChecked(false);
    } else {
        Picture3->show();
        mybar->setChecked(true);
    }
}

void MDIForm1::prog_Click()
{
    if (prog->isChecked()) {
        Picture3->pbar->hide();
        prog->setChecked(false);
    } else {
        Picture3->pbar->show();
        prog->setChecked(true);
    }
}

void MDIForm1::Toolbar1_ButtonClick()
{
    Picture3->hide();
    mybar_Click();
}

void MDIForm1::Toolbar1_MouseMove()
{
    resetSectionButtons();
}

void MDIForm1::options_Click()
{
    m_options->options_Click();
}

void MDIForm1::about_Click()
{
    // A new box each time; it goes when the command returns.
    frmabout box(m_twips, this);
    m_env.prompter->execDialog(&box);
}

void MDIForm1::Timer1_Timer()
{
    auto *window = qobject_cast<Form1 *>(activeChild());
    if (!window)
        return;
    Picture3->pbar->setMaximum(window->max);
    Picture3->pbar->setValue(window->pos);
}

void MDIForm1::stopProgress()
{
    // The timer may not have ticked since the page's last report.
    if (Timer1->isActive())
        Timer1_Timer();
    Timer1->stop();
}

void MDIForm1::Timer2_Timer()
{
    Picture3->keepFavoritesBelow();
}

void MDIForm1::applyTreeHeights()
{
    // Left to right in single precision; a negative height is not applied.
    SideBar *s = Picture3;
    const float favor = float(s->ScaleHeight()) - float(s->pPicture4.Height())
            - float(s->pPicture1.Top()) - float(s->pPicture5.Height())
            - float(s->pPicture5.Top()) - float(s->ppbar.Height()) - 100.0f;
    s->pTreeFavor.setHeight(favor);
    const float web = float(s->ScaleHeight()) - float(s->pPicture4.Height())
            - float(s->pPicture1.Top()) - float(s->pPicture5.Height())
            - float(s->pPicture5.Top()) - float(s->pPicture4.Height());
    s->pwebtree.setHeight(web);
}

void MDIForm1::Timer3_Timer()
{
    applyTreeHeights();
}

void MDIForm1::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    MDIForm_Resize();
}

void MDIForm1::MDIForm_Resize()
{
    if (isMinimized() || m_resizeDepth > 0)
        return;
    ++m_resizeDepth;
    yield();
    applyTreeHeights();
    Picture3->pImage3.setHeight(Picture3->Height());
    yield();
    --m_resizeDepth;
}

void MDIForm1::MDIForm_Unload(int &cancel)
{
    cancel = 0;
    const auto answer = m_env.prompter->msgBox(this, QStringLiteral(" Quit from Orvane?"),
                                              MsgBox::YesNoQuestion,
                                              QStringLiteral("End Program..."));
    if (answer == MsgBox::No) {
        cancel = 1;
        return;
    }
    // Quitting cancels what still downloads: the user says so first.
    WebBrowserFactory *engine = m_browsersLoaded ? browserFactory() : nullptr;
    const int running = engine ? engine->runningDownloads() : 0;
    if (running > 0
        && m_env.prompter->msgBox(
                   this,
                   running == 1 ? QStringLiteral("1 download is still running. Quit and cancel it?")
                                : QStringLiteral("%1 downloads are still running. Quit and cancel them?")
                                          .arg(running),
                   MsgBox::YesNoQuestion | MsgBox::SecondDefault, QStringLiteral("Downloads"))
                != MsgBox::Yes) {
        cancel = 1;
        return;
    }
    // A page the user typed in may ask first; staying on it keeps Orvane running.
    const QList<Form1 *> windows = browserWindows();
    if (!LeaveInTurn::noneAsks(windows)) {
        cancel = 1;
        return askPages(windows, [](Form1 *) { }, &MDIForm1::endNow);
    }
    endNow();
}

void MDIForm1::askPages(const QList<Form1 *> &windows, std::function<void(Form1 *)> left,
                        void (MDIForm1::*allLeft)())
{
    if (m_leaving) // one round at a time
        return;
    m_leaving = true;
    QPointer<MDIForm1> self(this);
    LeaveInTurn::ask(windows, std::move(left), [self, allLeft](bool all) {
        if (!self)
            return;
        self->m_leaving = false;
        if (all)
            (self->*allLeft)();
    });
}

void MDIForm1::closeAgain()
{
    close();
}

void MDIForm1::endNow()
{
    // Ends at once: no window's unload runs, nothing is saved, and the journal of
    // open windows goes, since this end is a proper one.
    if (m_journal) {
        stopReopening();
        m_journal->discard();
    }
    if (m_env.quit)
        m_env.quit();
}

QList<Form1 *> MDIForm1::browserWindows() const
{
    QList<Form1 *> windows;
    for (ChildForm *form : forms())
        if (auto *window = qobject_cast<Form1 *>(form))
            windows.append(window);
    return windows;
}

void MDIForm1::exit_Click()
{
    int cancel = 1;
    MDIForm_Unload(cancel);
}

void MDIForm1::closeEvent(QCloseEvent *event)
{
    // Every child window is unloaded first, then the question; a page the user typed
    // in may ask before its window goes, and staying on it stops the rest.
    const QList<Form1 *> windows = LeaveInTurn::deepestFirst(browserWindows());
    if (!LeaveInTurn::noneAsks(windows)) {
        event->ignore();
        return askPages(windows, [](Form1 *window) { window->Unload(); }, &MDIForm1::closeAgain);
    }
    stopReopening(); // the windows still to come go with the others
    const QList<ChildForm *> children = forms();
    for (ChildForm *form : children)
        form->Unload();
    int cancel = 0;
    MDIForm_Unload(cancel);
    if (cancel)
        event->ignore();
    else
        event->accept();
}
