#include "forms/TabStrip.h"

#include "forms/Controls.h"

#include <QPainter>
#include <QPixmap>
#include <QSignalBlocker>

namespace {

// A small page with a blue band: the picture every tab carries.
QIcon drawTabPicture()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QColor(57, 109, 165));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(2.5, 1.5, 11, 13));
    p.fillRect(QRectF(3, 2, 10, 3), QColor(57, 109, 165));
    p.drawLine(QPointF(5, 8.5), QPointF(11, 8.5));
    p.drawLine(QPointF(5, 11.5), QPointF(11, 11.5));
    return QIcon(pixmap);
}

} // namespace

TabStrip::TabStrip(QWidget *parent) : QTabBar(parent)
{
    setObjectName(QStringLiteral("mytab"));
    setAccessibleName(QStringLiteral("mytab"));
    setShape(QTabBar::RoundedSouth);
    setExpanding(false);
    setUsesScrollButtons(true);
    setElideMode(Qt::ElideRight);
    m_image1 = drawTabPicture();
}

void TabStrip::Add(const QString &key, const QString &caption)
{
    // A new tab is appended and not selected.
    const QSignalBlocker blocker(this);
    const int selected = currentIndex();
    const int i = addTab(m_image1, withLiteralAmpersands(caption));
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
    QString text = tabText(index - 1);
    return text.replace(QLatin1String("&&"), QLatin1String("&"));
}

void TabStrip::setCaption(int index, const QString &caption)
{
    setTabText(index - 1, withLiteralAmpersands(caption));
    setTabToolTip(index - 1, caption);
}

int TabStrip::FindKey(const QString &key) const
{
    for (int i = 1; i <= count(); ++i)
        if (Key(i) == key)
            return i;
    return 0;
}
