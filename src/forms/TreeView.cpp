#include "forms/TreeView.h"

namespace {
constexpr int KeyRole = Qt::UserRole + 1;
}

TreeView::TreeView(const QString &name, QWidget *parent) : QTreeWidget(parent)
{
    setObjectName(name);
    setAccessibleName(name);
    setHeaderHidden(true);
    setColumnCount(1);
}

QTreeWidgetItem *TreeView::Add(QTreeWidgetItem *relative, int relationship, const QString &key,
                               const QString &text)
{
    auto *item = new QTreeWidgetItem;
    item->setText(0, text);
    item->setData(0, KeyRole, key);
    if (!relative)
        addTopLevelItem(item);
    else if (relationship == First && relative->parent())
        relative->parent()->insertChild(0, item);
    else if (relationship == First)
        insertTopLevelItem(0, item);
    else
        relative->addChild(item);
    m_nodes.append(item);
    if (!m_byKey.contains(key))
        m_byKey.insert(key, item);
    return item;
}

void TreeView::forget(QTreeWidgetItem *item)
{
    for (int i = 0; i < item->childCount(); ++i)
        forget(item->child(i));
    m_nodes.removeOne(item);
    const QString key = Key(item);
    if (m_byKey.value(key) != item)
        return;
    // Another node with the same key, if any, is found from now on.
    m_byKey.remove(key);
    for (QTreeWidgetItem *other : std::as_const(m_nodes))
        if (Key(other) == key) {
            m_byKey.insert(key, other);
            break;
        }
}

void TreeView::Remove(int index)
{
    RemoveItem(Item(index));
}

void TreeView::RemoveItem(QTreeWidgetItem *item)
{
    if (!item)
        return;
    forget(item);
    delete item;
}

void TreeView::Clear()
{
    m_nodes.clear();
    m_byKey.clear();
    clear();
}

QTreeWidgetItem *TreeView::Item(int index) const
{
    return index >= 1 && index <= m_nodes.size() ? m_nodes.at(index - 1) : nullptr;
}

int TreeView::IndexOf(QTreeWidgetItem *item) const
{
    return m_nodes.indexOf(item) + 1;
}

QTreeWidgetItem *TreeView::FindKey(const QString &key) const
{
    return m_byKey.value(key);
}

QString TreeView::Key(const QTreeWidgetItem *item)
{
    return item ? item->data(0, KeyRole).toString() : QString();
}
