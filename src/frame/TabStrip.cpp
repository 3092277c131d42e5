#include "frame/TabStrip.h"

#include <QSignalBlocker>

TabStrip::TabStrip(QWidget *parent) : QTabBar(parent)
{
    setObjectName(QStringLiteral("mytab"));
    setAccessibleName(QStringLiteral("mytab"));
    setShape(QTabBar::RoundedSouth);
    setExpanding(false);
    setUsesScrollButtons(true);
    setElideMode(Qt::ElideRight);
}

void TabStrip::Add(const QString &key, const QString &caption)
{
    // A new tab is appended and not selected.
    const QSignalBlocker blocker(this);
    const int selected = currentIndex();
    const int i = addTab(caption);
    setTabData(i, key);
    setTabToolTip(i, caption);
    if (selected >= 0)
        setCurrentIndex(selected);
}

void TabStrip::Remove(int index)
{
    if (index >= 1 && index <= count())
        removeTab(index - 1);
}

QString TabStrip::Key(int index) const
{
    return tabData(index - 1).toString();
}

QString TabStrip::Caption(int index) const
{
    return tabText(index - 1);
}

void TabStrip::setCaption(int index, const QString &caption)
{
    setTabText(index - 1, caption);
    setTabToolTip(index - 1, caption);
}

int TabStrip::FindKey(const QString &key) const
{
    for (int i = 1; i <= count(); ++i)
        if (Key(i) == key)
            return i;
    return 0;
}
