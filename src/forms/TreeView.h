#pragma once

#include <QHash>
#include <QList>
#include <QTreeWidget>

// A tree whose nodes carry a key and are numbered from 1 in insertion order over
// the whole tree; removing a node removes its children.
class TreeView : public QTreeWidget
{
    Q_OBJECT
public:
    enum Relationship { First = 0, Child = 4 };

    explicit TreeView(const QString &name, QWidget *parent = nullptr);

    // No relative: a new last top-level node.
    QTreeWidgetItem *Add(QTreeWidgetItem *relative, int relationship, const QString &key,
                         const QString &text);
    void Remove(int index);
    void RemoveItem(QTreeWidgetItem *item);
    void Clear();
    int Count() const { return m_nodes.size(); }
    QTreeWidgetItem *Item(int index) const; // 1-based
    int IndexOf(QTreeWidgetItem *item) const; // 1-based, 0 when absent
    QTreeWidgetItem *FindKey(const QString &key) const; // the first added with the key

    static QString Key(const QTreeWidgetItem *item);
    static QString Text(const QTreeWidgetItem *item) { return item->text(0); }

private:
    void forget(QTreeWidgetItem *item);

    QList<QTreeWidgetItem *> m_nodes;
    // Windows look up their own node on every title change and close.
    QHash<QString, QTreeWidgetItem *> m_byKey;
};
