// Opening browser windows from the frame and switching between them.
#include "frame/MDIForm1.h"

#include "browser/Form1.h"
#include "browser/WebBrowser.h"
#include "browser/ToolbarPictures.h"
#include "browser/TypedAddress.h"
#include "forms/CoverWatch.h"
#include "forms/Prompter.h"
#include "forms/TabStrip.h"
#include "forms/TreeView.h"
#include "forms/WindowKey.h"
#include "sidebar/SideBar.h"

#include <QToolBar>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QScopeGuard>
#include <QUrl>
#include <utility>

Form1 *MDIForm1::openWindow(const NewWindow &w, Form1 *opener)
{
    auto *window = new Form1(this);
    // Showing it lets events run: it stays until this returns, closed or not, and
    // the opener may go meanwhile.
    ChildForm::Hold hold(window);
    const QPointer<Form1> asker(opener);
    if (w.address) {
        window->cmbadress->setEditText(*w.address);
        if (w.whenSeen)
            window->wb->loadWhenSeen(*w.address, w.history);
        else if (w.history.isEmpty() || !window->wb->restoreHistory(w.history))
            window->wb->Navigate(*w.address);
    }
    const QString key = WindowKeyFor(window->hWnd());
    QTreeWidgetItem *parent = opener ? opener->treeNode()
                                     : webtree->FindKey(QStringLiteral("OpenWeb"));
    if (parent) {
        webtree->Add(parent, TreeView::Child, key, w.node.value_or(window->Caption()));
        if (opener)
            parent->setExpanded(true); // the new window shows in the tree at once
    }
    if (!opener)
        mytab->Add(key, w.tab.value_or(window->Caption()));
    if (w.title)
        window->wb_TitleChange(*w.title);
    // In front is the top window the user sees, whether or not the frame is active.
    QMdiSubWindow *front = nullptr;
    for (QMdiSubWindow *sub : mdiArea()->subWindowList(QMdiArea::StackingOrder))
        if (w.behind && sub != window->subWindow() && sub->isVisible() && !sub->isMinimized())
            front = sub;
    if (front) {
        // Shown and sent behind with no event run between. A window shown is made
        // active, and the front one coming back puts the keyboard where it was last:
        // it goes back where the user has it, with what is selected there.
        const QPointer<QWidget> focus = QApplication::focusWidget();
        auto *combo = qobject_cast<QComboBox *>(focus.data());
        const QPointer<QLineEdit> edit = combo ? combo->lineEdit()
                                               : qobject_cast<QLineEdit *>(focus.data());
        const int cursor = edit ? edit->cursorPosition() : 0;
        const int start = edit ? edit->selectionStart() : -1;
        const int length = edit ? edit->selectionLength() : 0;
        const bool changing = std::exchange(windowChanging(), true);
        window->showMaximizedInside();
        mdiArea()->setActiveSubWindow(front);
        front->raise();
        windowChanging() = changing;
        if (focus && focus->window() == this)
            focus->setFocus(Qt::OtherFocusReason);
        if (edit && start >= 0)
            edit->setSelection(start, length);
        else if (edit)
            edit->setCursorPosition(cursor);
        window->waitBehind();
        return window;
    }
    window->Show();
    if (!opener || w.address || !asker || asker->isUnloaded() || window->isUnloaded())
        return window;
    // A page asked for it: in front again (other windows may have come forward
    // meanwhile), or behind, as Options say.
    if (optfocus()) {
        window->Show();
    } else {
        // The opener keeps the front and the keyboard; the new one waits behind
        // until the user brings it forward, and then shows maximised (Show()).
        mdiArea()->setActiveSubWindow(asker->subWindow());
        window->waitBehind();
    }
    return window;
}

Form1 *MDIForm1::OpenBrowserWindow(const QString &address, const QString &nodeText,
                                   const QString &tabCaption)
{
    return openWindow({ address, {}, {}, nodeText, tabCaption }, nullptr);
}

Form1 *MDIForm1::new_Click()
{
    return OpenBrowserWindow(QStringLiteral("about:blank"), QStringLiteral("about:blank"),
                             QStringLiteral("about:blank"));
}

void MDIForm1::OpenArguments(const QStringList &arguments)
{
    // Only the last one, in front, loads at once; the others when first seen.
    m_cover->hold();
    const auto looked = qScopeGuard([this] { m_cover->release(); });
    for (qsizetype i = 0; i < arguments.size(); ++i)
        OpenArgument(arguments.at(i), i + 1 < arguments.size());
}

void MDIForm1::OpenArgument(const QString &argument, bool whenSeen)
{
    // An existing file opens as Open File opens it (a desktop passes files as file:
    // URLs); anything else is an address, typed into a new window's address box and
    // sent with Go Net.
    const QUrl url(argument);
    const QFileInfo file(QDir(m_env.currentDir), url.isLocalFile() ? url.toLocalFile() : argument);
    if (file.isFile()) {
        const QString full = file.absoluteFilePath();
        openWindow({ full, {}, whenSeen ? std::optional(file.fileName()) : std::nullopt, full,
                     file.fileName(), whenSeen }, nullptr);
        return;
    }
    if (whenSeen) {
        openWindow({ AddressToOpen(argument, searchAddress()), {}, argument, argument, argument,
                     true },
                   nullptr)
                ->cmbadress->setEditText(argument);
        return;
    }
    Form1 *window = new_Click();
    window->cmbadress->setEditText(argument);
    window->gnet_ButtonClick(1);
}

void MDIForm1::open_Click()
{
    const QList<FileFilter> filters = {
        { QStringLiteral("Html,Htm Files (*.html,*.htm)"),
          { QStringLiteral("*.html"), QStringLiteral("*.htm") } },
        { QStringLiteral("Asp Files (*.asp)"), { QStringLiteral("*.asp") } },
        { QStringLiteral("Flash Files (*.swf)"), { QStringLiteral("*.swf") } },
        { QStringLiteral("All Files (*.*)"), { QStringLiteral("*") } },
    };
    const QString path = m_env.prompter->openFileName(this, QStringLiteral("Our File Open Title"),
                                                      m_env.currentDir, filters);
    if (path.trimmed().isEmpty())
        return;
    const QString full = path.trimmed();
    OpenBrowserWindow(full, full, QFileInfo(full).fileName());
}

void MDIForm1::SwitchToWindow(const QString &key)
{
    const int handle = WindowHandleFromKey(key);
    if (ChildForm *form = findForm(handle))
        form->Show();
}

void MDIForm1::mytab_Click()
{
    const int index = mytab->currentIndex() + 1;
    if (index < 1)
        return;
    const QString key = mytab->Key(index);
    const int handle = WindowHandleFromKey(key);
    m_env.prompter->msgBox(this, QString::number(handle), MsgBox::OkOnly, QString());
    SwitchToWindow(key);
}

void MDIForm1::webtree_NodeClick(QTreeWidgetItem *node)
{
    if (node)
        SwitchToWindow(TreeView::Key(node));
}

void MDIForm1::webtree_MouseMove()
{
    resetSectionButtons();
}

bool MDIForm1::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseMove && watched == webtree->viewport())
        webtree_MouseMove();
    else if (event->type() == QEvent::MouseMove && watched == Picture3->Toolbar1)
        Toolbar1_MouseMove();
    else if (event->type() == QEvent::MouseMove && watched == mdiArea()->viewport())
        webtree_MouseMove(); // the same pair of resets as over the tree
    return QMainWindow::eventFilter(watched, event);
}

const ToolbarPictures &MDIForm1::toolbarPictures()
{
    if (!m_pictures)
        m_pictures = std::make_unique<ToolbarPictures>();
    return *m_pictures;
}
