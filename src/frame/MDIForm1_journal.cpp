// The journal of open windows, and giving them back after a run that ended badly.
#include "frame/MDIForm1.h"
#include "frame/WindowJournal.h"

#include "browser/Form1.h"
#include "browser/WebBrowser.h"
#include "forms/CoverWatch.h"
#include "forms/Prompter.h"
#include "forms/TabStrip.h"
#include "forms/TreeView.h"
#include "forms/WindowKey.h"

#include <QComboBox>
#include <QHash>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QSet>
#include <QSignalBlocker>
#include <QTimer>
#include <climits>
#include <memory>
#include <utility>

namespace {

// The browser windows in the tree's order, each after its opener; windows without
// a node (opened by a page whose window had none) come last. Editors are left out.
// Taken on the interface thread at every change: each window is looked up once.
Journal Snapshot(const MDIForm1 &frame)
{
    Journal journal;
    QHash<int, Form1 *> byHandle;
    for (ChildForm *form : frame.forms())
        if (auto *w = qobject_cast<Form1 *>(form))
            byHandle.insert(w->hWnd(), w);
    const auto windowOf = [&](const QString &key) {
        bool ok = false;
        const int handle = WindowHandleFromKey(key, &ok);
        return ok ? byHandle.value(handle) : nullptr;
    };
    QSet<Form1 *> tabbed;
    for (int i = 1; i <= frame.mytab->Count(); ++i)
        tabbed.insert(windowOf(frame.mytab->Key(i)));
    QSet<Form1 *> listed;
    const ChildForm *front = frame.activeChild();
    const auto add = [&](Form1 *w, int opener) {
        listed.insert(w);
        if (w == front)
            journal.front = journal.windows.size();
        const QString address = w->wb->LocationURL();
        journal.windows.append(JournalEntry { w->hWnd(), opener, tabbed.contains(w),
                                              address.isEmpty() ? w->cmbadress->currentText()
                                                                : address,
                                              w->Caption(), w->wb->saveHistory() });
    };
    const std::function<void(QTreeWidgetItem *, int)> walk = [&](QTreeWidgetItem *node,
                                                                 int opener) {
        for (int i = 0; i < node->childCount(); ++i) {
            QTreeWidgetItem *child = node->child(i);
            Form1 *w = windowOf(TreeView::Key(child));
            if (w && !listed.contains(w))
                add(w, opener);
            walk(child, w ? w->hWnd() : opener);
        }
    };
    walk(frame.webtree->invisibleRootItem(), 0);
    for (ChildForm *form : frame.forms())
        if (auto *w = qobject_cast<Form1 *>(form); w && !listed.contains(w))
            add(w, 0);
    return journal;
}

} // namespace

void MDIForm1::createJournal()
{
    m_journal = new WindowJournal(m_env.stateDir, [this] { return Snapshot(*this); }, this);
    // A window opened, closed or retitled changes the tree; one brought forward, the
    // area; one navigated reports it (windowNavigated).
    const auto changed = [this] { m_journal->changed(); };
    QAbstractItemModel *tree = webtree->model();
    connect(tree, &QAbstractItemModel::rowsInserted, m_journal, changed);
    connect(tree, &QAbstractItemModel::rowsRemoved, m_journal, changed);
    connect(tree, &QAbstractItemModel::dataChanged, m_journal, changed);
    connect(mdiArea(), &QMdiArea::subWindowActivated, m_journal, changed);
}

void MDIForm1::windowNavigated()
{
    m_journal->changed();
}

void MDIForm1::offerRestore()
{
    const Journal left = m_journal->leftBehind();
    if (left.windows.isEmpty())
        return;
    const int n = left.windows.size();
    const QString text = QStringLiteral("Orvane did not end properly.\r\n"
                                        "It can reopen the %1 that %2 open.\r\n"
                                        "Reopen %3?")
                                 .arg(n == 1 ? QStringLiteral("window")
                                             : QStringLiteral("%1 windows").arg(n),
                                      n == 1 ? QStringLiteral("was") : QStringLiteral("were"),
                                      n == 1 ? QStringLiteral("it") : QStringLiteral("them"));
    if (m_env.prompter->msgBox(this, text, MsgBox::YesNoQuestion, QStringLiteral("Orvane"))
        != MsgBox::Yes) {
        m_journal->discard();
        m_journal->resume();
        return;
    }
    // The window in front and those it was opened from come now, the front one
    // loading; the others follow behind it, one per turn of the event loop, so that
    // the user has the front page at once. Until the last is there the journal
    // keeps what the bad end left.
    QSet<int> first;
    QHash<int, int> openers;
    for (const JournalEntry &e : left.windows) {
        openers.insert(e.id, e.opener);
        if (left.front < 0) // none was in front: all of them now
            first.insert(e.id);
    }
    for (int id = left.front >= 0 ? left.windows.at(left.front).id : 0;
         id && !first.contains(id); id = openers.value(id))
        first.insert(id);
    m_reopened.clear();
    m_reopenedPlace.clear();
    m_toReopen.clear();
    m_cover->hold();
    for (int i = 0; i < n; ++i) {
        const JournalEntry &e = left.windows.at(i);
        if (first.contains(e.id))
            reopen(i, e, false);
        else
            m_toReopen.append({ i, e });
    }
    Form1 *front = left.front >= 0 ? m_reopened.value(left.windows.at(left.front).id) : nullptr;
    if (front)
        front->Show();
    m_cover->release();
    if (m_toReopen.isEmpty())
        return m_journal->resume();
    // Made at once, the others would hold the front page back.
    const auto others = [this, started = std::make_shared<bool>(false)] {
        if (!std::exchange(*started, true))
            reopenNext();
    };
    if (front)
        connect(front->wb, &WebBrowser::DocumentComplete, this, others, Qt::SingleShotConnection);
    WebBrowserFactory *engine = browserFactory();
    QTimer::singleShot(engine ? engine->timings().reopenOthersMs : Timings().reopenOthersMs, this,
                       others);
}

Form1 *MDIForm1::reopen(int place, const JournalEntry &e, bool behind)
{
    // Its opener gone, it stands on its own, as a window from the menu does.
    Form1 *opener = m_reopened.value(e.opener);
    if (opener && opener->isUnloaded())
        opener = nullptr;
    NewWindow w { e.address, e.history, e.caption, {}, {}, true };
    w.behind = behind;
    Form1 *window = openWindow(w, opener);
    m_reopened.insert(e.id, window);
    m_reopenedPlace.insert(window->hWnd(), place);
    // In the journal's order among its siblings and among the tabs, whatever came first.
    const auto before = [&](const QString &key) {
        const int other = WindowHandleFromKey(key);
        return other != window->hWnd() && m_reopenedPlace.value(other, INT_MAX) < place;
    };
    const QString key = WindowKeyFor(window->hWnd());
    if (QTreeWidgetItem *node = webtree->FindKey(key); node && node->parent()) {
        QTreeWidgetItem *parent = node->parent();
        int at = 0;
        for (int i = 0; i < parent->childCount(); ++i)
            at += before(TreeView::Key(parent->child(i)));
        if (parent->indexOfChild(node) != at)
            parent->insertChild(at, parent->takeChild(parent->indexOfChild(node)));
    }
    if (const int tab = mytab->FindKey(key)) {
        int at = 0;
        for (int i = 1; i <= mytab->Count(); ++i)
            at += before(mytab->Key(i));
        const QSignalBlocker quiet(mytab);
        if (tab - 1 != at)
            mytab->moveTab(tab - 1, at);
    }
    return window;
}

void MDIForm1::reopenNext()
{
    if (m_toReopen.isEmpty())
        return;
    const auto [place, entry] = m_toReopen.takeFirst();
    // The user closed its opener meanwhile, and with it whatever it opened.
    const bool closed = m_reopened.contains(entry.opener)
            && (!m_reopened.value(entry.opener) || m_reopened.value(entry.opener)->isUnloaded());
    if (closed) {
        m_reopened.insert(entry.id, nullptr);
    } else {
        m_cover->hold();
        reopen(place, entry, true);
        m_cover->release();
    }
    if (m_toReopen.isEmpty())
        m_journal->resume();
    else
        QTimer::singleShot(0, this, &MDIForm1::reopenNext);
}

void MDIForm1::stopReopening()
{
    if (m_toReopen.isEmpty())
        return;
    m_toReopen.clear();
    m_journal->resume();
}
