#include "browser/ToolbarPictures.h"

#include <QPainter>
#include <QPainterPath>

namespace {

// One glyph per picture number; the two lists share the first twelve and differ
// only in where Properties stands (14 large, 13 small).
enum Glyph { Home, Stop, Blank, Blank2, RefreshG, Forward, Back, Blank3, Save, Print, Find,
             Blank4, PropertiesG };

QIcon draw(Glyph glyph, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    const QColor blue(33, 93, 189);
    p.setPen(QPen(blue, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    switch (glyph) {
    case Back: p.drawPolyline(QPolygonF({{20, 6}, {10, 16}, {20, 26}})); break;
    case Forward: p.drawPolyline(QPolygonF({{12, 6}, {22, 16}, {12, 26}})); break;
    case Stop:
        p.setBrush(QColor(200, 40, 40));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QRectF(5, 5, 22, 22));
        break;
    case Home:
        p.drawPolyline(QPolygonF({{5, 16}, {16, 6}, {27, 16}}));
        p.drawRect(QRectF(9, 16, 14, 10));
        break;
    case RefreshG: p.drawArc(QRectF(7, 7, 18, 18), 30 * 16, 300 * 16); break;
    case Save: p.drawRect(QRectF(7, 7, 18, 18)); p.drawRect(QRectF(11, 7, 10, 6)); break;
    case Print: p.drawRect(QRectF(6, 13, 20, 10)); p.drawRect(QRectF(10, 6, 12, 7)); break;
    case Find: p.drawEllipse(QRectF(6, 6, 14, 14)); p.drawLine(18, 18, 26, 26); break;
    case PropertiesG: p.drawRect(QRectF(8, 5, 16, 22)); p.drawLine(12, 12, 20, 12);
        p.drawLine(12, 17, 20, 17); break;
    default: p.setPen(QPen(QColor(160, 160, 160), 2)); p.drawRect(QRectF(8, 8, 16, 16)); break;
    }
    return QIcon(pixmap);
}

QList<QIcon> list(int size, int count)
{
    // Picture numbers (1-based): 1 Home, 2 Stop, 5 Refresh, 6 Forward, 7 Back, 9 Save,
    // 10 Print, 11 Find; Properties is the last picture of each list.
    QList<QIcon> icons;
    for (int n = 1; n <= count; ++n) {
        Glyph g = Blank;
        switch (n) {
        case 1: g = Home; break;
        case 2: g = Stop; break;
        case 5: g = RefreshG; break;
        case 6: g = Forward; break;
        case 7: g = Back; break;
        case 9: g = Save; break;
        case 10: g = Print; break;
        case 11: g = Find; break;
        default: g = n == count ? PropertiesG : Blank; break;
        }
        icons.append(draw(g, size));
    }
    return icons;
}

QList<QIcon> gnetList()
{
    QList<QIcon> icons;
    for (int i = 0; i < 2; ++i) {
        QPixmap pixmap(16, 16);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(i == 0 ? QColor(30, 140, 60) : QColor(33, 93, 189), 2));
        if (i == 0)
            p.drawPolyline(QPolygonF({{3, 8}, {13, 8}, {9, 4}, {13, 8}, {9, 12}}));
        else
            p.drawRect(QRectF(3, 2, 10, 12));
        icons.append(QIcon(pixmap));
    }
    return icons;
}

} // namespace

ToolbarPictures::ToolbarPictures() : large(list(32, 14)), small(list(16, 13)), gnet(gnetList())
{
}
