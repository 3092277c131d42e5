// Opening a favourite from the side bar's Favorites tree.
#include "frame/MDIForm1.h"

#include "browser/Form1.h"
#include "browser/WebBrowser.h"
#include "forms/TabStrip.h"
#include "forms/TreeView.h"
#include "forms/WindowKey.h"
#include "sidebar/Shortcut.h"

#include <QComboBox>
#include <QPointer>

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

    QPointer<Form1> window = new Form1(this);
    const QString key = WindowKeyFor(window->hWnd());
    webtree->Add(webtree->FindKey(QStringLiteral("OpenWeb")), TreeView::Child, key,
                 window->Caption());
    mytab->Add(key, window->Caption());
    window->Show();
    if (!window)
        return;
    window->cmbadress->setEditText(*address);
    window->wb->Navigate(*address);
}
