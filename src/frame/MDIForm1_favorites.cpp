// Opening a favourite from the side bar's Favorites tree, adding one; reopening a
// window closed by mistake; the history.
#include "frame/MDIForm1.h"

#include "browser/Form1.h"
#include "browser/History.h"
#include "dialogs/HistoryWindow.h"
#include "forms/Prompter.h"
#include "forms/TreeView.h"
#include "sidebar/Favorites.h"
#include "sidebar/Shortcut.h"

#include <QDir>
#include <QFileInfo>

void MDIForm1::TreeFavor_DblClick()
{
    const QList<QTreeWidgetItem *> selected = TreeFavor->selectedItems();
    if (selected.isEmpty())
        return;
    const QString path = TreeView::Key(selected.first());
    // Sub-folders have no key; the root is no shortcut either.
    if (path.isEmpty() || path == QLatin1String("Favorites"))
        return;

    // A file gone or unreadable since the build opens nothing, like one without
    // an address line.
    const std::optional<QString> address = ReadShortcutAddress(path);
    if (!address)
        return;
    TreeFavor->viewport()->update();
    openWindow({ *address }, nullptr);
}

QString MDIForm1::addFavorite(Form1 *window, const QString &title, const QString &address)
{
    const QString caption = QStringLiteral("Add to Favorites");
    bool ok = false;
    // What the user types is made safe too: no folders, nothing hidden.
    const QString name = SafeShortcutName(m_env.prompter->askText(
            window, caption, QStringLiteral("Name:"), SafeShortcutName(title), &ok));
    if (!ok || name.isEmpty())
        return QString();
    QString folder = Module1::GetSpecialFolder(6, m_env.homeDir);
    if (folder.isEmpty()) {
        folder = QDir(m_env.homeDir).filePath(QStringLiteral("Favorites"));
        QDir().mkpath(folder);
    }
    const QString path = QDir(folder).filePath(name + QStringLiteral(".url"));
    if (QFileInfo::exists(path)
        && m_env.prompter->msgBox(window, name + QStringLiteral(" is already in Favorites. Replace it?"),
                                  MsgBox::YesNoQuestion | MsgBox::SecondDefault, caption)
                != MsgBox::Yes)
        return QString();
    QString why;
    if (!WriteShortcut(path, address, &why))
        return QStringLiteral("Not added to Favorites: ") + why;
    LoadFavorites(false);
    return QStringLiteral("Added to Favorites: ") + name;
}

void MDIForm1::windowClosed(const NewWindow &window)
{
    if (!window.address || window.address->isEmpty())
        return;
    m_closed.prepend(window);
    if (m_closed.size() > RememberClosed)
        m_closed.removeLast();
}

void MDIForm1::reopenClosed()
{
    if (!m_closed.isEmpty())
        openWindow(m_closed.takeFirst(), nullptr);
}

History *MDIForm1::history()
{
    if (!m_history)
        m_history = std::make_unique<History>(m_env.historyFile);
    return m_history.get();
}

void MDIForm1::showHistory()
{
    HistoryWindow window(history(), m_env.prompter,
                         [this](const QString &address) { openWindow({ address }, nullptr); }, this);
    m_env.prompter->execDialog(&window);
}
