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
#include <QScopeGuard>
#include <QSet>

namespace {

Form1 *browserOf(const MDIForm1 &frame, QTreeWidgetItem *node)
{
    bool ok = false;
    const int handle = WindowHandleFromKey(TreeView::Key(node), &ok);
    return ok ? qobject_cast<Form1 *>(frame.findForm(handle)) : nullptr;
}

// The browser windows in the tree's order, each after its opener; windows without
// a node (opened by a page whose window had none) come last. Editors are left out.
Journal Snapshot(const MDIForm1 &frame)
{
    Journal journal;
    QSet<Form1 *> listed;
    const ChildForm *front = frame.activeChild();
    const auto add = [&](Form1 *w, int opener) {
        listed.insert(w);
        if (w == front)
            journal.front = journal.windows.size();
        const QString address = w->wb->LocationURL();
        journal.windows.append(JournalEntry { w->hWnd(), opener,
                                              frame.mytab->FindKey(WindowKeyFor(w->hWnd())) > 0,
                                              address.isEmpty() ? w->cmbadress->currentText()
                                                                : address,
                                              w->Caption(), w->wb->saveHistory() });
    };
    const std::function<void(QTreeWidgetItem *, int)> walk = [&](QTreeWidgetItem *node,
                                                                 int opener) {
        for (int i = 0; i < node->childCount(); ++i) {
            QTreeWidgetItem *child = node->child(i);
            Form1 *w = browserOf(frame, child);
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
    // Whatever happens, the journal follows the windows again once this returns.
    const auto resume = qScopeGuard([this] { m_journal->resume(); });
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
        return;
    }
    // In tree order, so that every opener is there before the windows it opened.
    // Each one's showing lets events run: a window reopened earlier may be closed by then.
    QHash<int, QPointer<Form1>> reopened;
    m_cover->hold();
    const auto looked = qScopeGuard([this] { m_cover->release(); });
    for (const JournalEntry &e : left.windows) {
        // Its opener gone, it stands on its own, as a window from the menu does.
        Form1 *opener = reopened.value(e.opener);
        if (opener && opener->isUnloaded())
            opener = nullptr;
        // Only the window in front loads at once; the others when first seen.
        reopened.insert(e.id, openWindow({ e.address, e.history, e.caption, {}, {}, true }, opener));
    }
    if (left.front >= 0)
        if (Form1 *front = reopened.value(left.windows.at(left.front).id))
            front->Show();
}
