#include "dialogs/AboutPictures.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

const QColor Ink(57, 109, 165);
const QColor Light(214, 223, 247);

QPixmap blank(int width, int height)
{
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

} // namespace

QPixmap AboutPictures::Globe()
{
    QPixmap pixmap = blank(48, 48);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Ink, 2));
    p.setBrush(Light);
    p.drawEllipse(QRectF(4, 4, 40, 40));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(14, 4, 20, 40));
    p.drawLine(QPointF(4, 24), QPointF(44, 24));
    p.drawLine(QPointF(8, 14), QPointF(40, 14));
    p.drawLine(QPointF(8, 34), QPointF(40, 34));
    return pixmap;
}

QPixmap AboutPictures::Windows()
{
    QPixmap pixmap = blank(48, 48);
    QPainter p(&pixmap);
    p.setPen(QPen(Ink, 2));
    for (int i = 0; i < 2; ++i) {
        const QRect r(4 + i * 12, 6 + i * 12, 30, 24);
        p.fillRect(r, Qt::white);
        p.drawRect(r);
        p.fillRect(QRect(r.left(), r.top(), r.width(), 6), Ink);
    }
    return pixmap;
}

QPixmap AboutPictures::Prompt()
{
    QPixmap pixmap = blank(48, 48);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Ink, 2));
    p.setBrush(QColor(255, 244, 200));
    QPainterPath bubble;
    bubble.addRoundedRect(QRectF(4, 6, 40, 28), 6, 6);
    bubble.moveTo(14, 34);
    bubble.lineTo(10, 44);
    bubble.lineTo(22, 34);
    p.drawPath(bubble.simplified());
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(20);
    p.setFont(font);
    p.drawText(QRectF(4, 6, 40, 28), Qt::AlignCenter, QStringLiteral("?"));
    return pixmap;
}

QPixmap AboutPictures::Banner()
{
    QPixmap pixmap = blank(300, 50);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient shade(0, 0, 300, 0);
    shade.setColorAt(0, Ink);
    shade.setColorAt(1, Light);
    p.setPen(Qt::NoPen);
    p.setBrush(shade);
    p.drawRoundedRect(QRectF(0, 0, 300, 50), 8, 8);
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(28);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(16, 0, 284, 50), Qt::AlignVCenter | Qt::AlignLeft,
               QStringLiteral("Orvane 2"));
    return pixmap;
}
