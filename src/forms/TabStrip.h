#pragma once

#include <QIcon>
#include <QTabBar>

// The tab strip of open windows; each tab carries its window's key.
class TabStrip : public QTabBar
{
    Q_OBJECT
public:
    explicit TabStrip(QWidget *parent = nullptr);

    void Add(const QString &key, const QString &caption);
    void Remove(int index);           // 1-based
    int Count() const { return count(); }
    QString Key(int index) const;     // 1-based
    QString Caption(int index) const; // 1-based
    void setCaption(int index, const QString &caption);
    int FindKey(const QString &key) const; // 1-based, 0 when absent
    // The strip's image list; every tab shows its first picture.
    QIcon ImageList2(int index) const { return index == 1 ? m_image1 : QIcon(); }

private:
    QIcon m_image1;
};
