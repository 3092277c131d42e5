#include "sidebar/SideBarControls.h"

#include "forms/TreeView.h"
#include "forms/Controls.h"

#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QProgressBar>
#include <QToolBar>

namespace {

constexpr char TagProperty[] = "orvaneTag";
constexpr char PictureProperty[] = "orvanePicture";

QColor colorRef(unsigned value)
{
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

QFrame *panel(const QString &name, QWidget *parent)
{
    auto *frame = named(new QFrame(parent), name);
    frame->setAutoFillBackground(true);
    QPalette pal = frame->palette();
    pal.setColor(QPalette::Window, colorRef(0x00F7DFD6));
    frame->setPalette(pal);
    return frame;
}

QLabel *caption(const QString &name, const QString &text, QWidget *parent)
{
    auto *label = named(new QLabel(text, parent), name, text);
    label->setTextFormat(Qt::PlainText);
    QFont font = label->font();
    font.setBold(true);
    font.setPointSizeF(8.25);
    label->setFont(font);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, colorRef(0x00FF0000));
    label->setPalette(pal);
    return label;
}

QLabel *spot(const QString &name, QWidget *parent)
{
    auto *label = named(new QLabel(parent), name);
    label->setAttribute(Qt::WA_TranslucentBackground);
    label->setCursor(Qt::PointingHandCursor);
    return label;
}

} // namespace

QPixmap DrawSectionButton(bool up, bool highlighted)
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(148, 182, 231), 1));
    p.setBrush(highlighted ? QColor(255, 255, 255) : QColor(236, 242, 252));
    p.drawEllipse(QRectF(4.5, 4.5, 23, 23));
    p.setPen(QPen(highlighted ? QColor(0, 64, 200) : QColor(33, 93, 189), 2.2, Qt::SolidLine,
                  Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 2; ++i) {
        const double y = up ? 17.5 - i * 5 + 0 : 11.5 + i * 5;
        QPainterPath path;
        if (up) {
            path.moveTo(11, y + 2.5);
            path.lineTo(16, y - 2.5);
            path.lineTo(21, y + 2.5);
        } else {
            path.moveTo(11, y - 2.5);
            path.lineTo(16, y + 2.5);
            path.lineTo(21, y - 2.5);
        }
        p.drawPath(path);
    }
    return pixmap;
}

SideBarControls::SideBarControls(const Twips *twips, QWidget *parent)
    : QFrame(parent),
      Picture5(panel(QStringLiteral("Picture5"), this)),
      Frame1(named(new QFrame(Picture5), QStringLiteral("Frame1"))),
      Picture1(panel(QStringLiteral("Picture1"), this)),
      Picture4(panel(QStringLiteral("Picture4"), Picture1)),
      Picture2(panel(QStringLiteral("Picture2"), this)),
      Label3(caption(QStringLiteral("Label3"), QStringLiteral("My Bar"), Frame1)),
      Label1(caption(QStringLiteral("Label1"), QStringLiteral("Open Web's"), Picture4)),
      Label2(caption(QStringLiteral("Label2"), QStringLiteral("Favorites"), Picture2)),
      Image2(named(new QLabel(Picture4), QStringLiteral("Image2"))),
      Image5(spot(QStringLiteral("Image5"), Picture4)),
      Image1(named(new QLabel(Picture2), QStringLiteral("Image1"))),
      Image6(spot(QStringLiteral("Image6"), Picture2)),
      Image3(named(new QLabel(this), QStringLiteral("Image3"))),
      pbar(named(new QProgressBar(Frame1), QStringLiteral("pbar"))),
      Toolbar1(named(new QToolBar(Frame1), QStringLiteral("Toolbar1"))),
      webtree(new TreeView(QStringLiteral("webtree"), Picture1)),
      TreeFavor(new TreeView(QStringLiteral("TreeFavor"), Picture2)),
      pPicture5(Picture5, twips, 0, 0, 2900, 410),
      pFrame1(Frame1, twips, 0, -80, 2895, 475),
      pLabel3(Label3, twips, 90, 180, 975, 255),
      ppbar(pbar, twips, 720, 120, 1545, 285),
      pToolbar1(Toolbar1, twips, 2480, 120, 375, 330),
      pPicture1(Picture1, twips, 0, 480, 2775, 3720),
      pPicture4(Picture4, twips, 0, 0, 2775, 495),
      pLabel1(Label1, twips, 0, 120, 1695, 255),
      pImage2(Image2, twips, 1680, 0, 480, 480),
      pImage5(Image5, twips, 1800, 120, 255, 255),
      pwebtree(webtree, twips, 0, 600, 2655, 3015),
      pPicture2(Picture2, twips, 0, 4320, 2775, 3120),
      pLabel2(Label2, twips, 0, 120, 1695, 255),
      pImage1(Image1, twips, 1680, 0, 480, 480),
      pImage6(Image6, twips, 1800, 120, 255, 255),
      pTreeFavor(TreeFavor, twips, 0, 600, 2655, 2415),
      pImage3(Image3, twips, 2880, 0, 75, 8175),
      m_twips(twips)
{
    setObjectName(QStringLiteral("Picture3"));
    setAccessibleName(QStringLiteral("My Bar"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, colorRef(0x00F7DFD6));
    setPalette(pal);
    setFrameShape(QFrame::NoFrame);
    setFixedWidth(twips->toPx(m_width));

    for (int i = 0; i < 4; ++i)
        m_image4[i] = DrawSectionButton(i % 2 == 1, i >= 2);

    pbar->setTextVisible(false);
    pbar->setRange(0, 100);
    pbar->setValue(0);
    Toolbar1->setIconSize(QSize(16, 16));
    QAction *close = Toolbar1->addAction(QStringLiteral("Close My Bar"));
    close->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    close->setToolTip(QStringLiteral("Close My Bar"));
    Image3->setCursor(Qt::SizeHorCursor);
    QFont bold = TreeFavor->font();
    bold.setBold(true);
    TreeFavor->setFont(bold);

    Image5->raise();
    Image6->raise();
    Image3->raise();
    Label3->raise();

    // Section buttons start closed.
    setPicture(Image1, 0);
    setPicture(Image2, 0);
    setTag(Image1, QStringLiteral("down"));
    setTag(Image2, QStringLiteral("down"));

}

int SideBarControls::pictureOf(QLabel *image) const
{
    return image->property(PictureProperty).toInt();
}

void SideBarControls::setPicture(QLabel *image, int stock)
{
    image->setProperty(PictureProperty, stock);
    image->setPixmap(m_image4[stock]);
}

QString SideBarControls::Tag(QLabel *image) const
{
    return image->property(TagProperty).toString();
}

void SideBarControls::setTag(QLabel *image, const QString &tag)
{
    image->setProperty(TagProperty, tag);
}

void SideBarControls::drawimages(QLabel *image)
{
    setPicture(image, Tag(image) == QLatin1String("down") ? 0 : 1);
}

void SideBarControls::setWidth(double twips)
{
    m_width = twips;
    setFixedWidth(qMax(0, m_twips->toPx(twips)));
    Picture3_Resize();
}

double SideBarControls::ScaleHeight() const
{
    return m_twips->fromPx(height());
}

void SideBarControls::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    Picture3_Resize();
}

void SideBarControls::Picture3_Resize()
{
    if (m_width < 1000) {
        // Setting the width lays out again.
        setWidth(1000);
        return;
    }
    const double w = m_width;
    const double h = Height();
    const double s = pImage3.Width();
    // A width the toolkit would refuse leaves that control as it was; the rest go on.
    pPicture1.setWidth(w - s);
    pPicture2.setWidth(w - s);
    pPicture4.setWidth(pPicture1.Width());
    pTreeFavor.setWidth(pPicture2.Width());
    pwebtree.setWidth(pPicture1.Width());
    pImage3.setLeft(w - s - 10);
    pImage3.setHeight(h);
    pPicture5.setWidth(w);
    pFrame1.setWidth(pPicture5.Width() + 10);
    // The title strip's button keeps to the right edge.
    pToolbar1.setLeft(pFrame1.Width() - pToolbar1.Width());
    placeProgressBar();
    // The picture keeps its natural size at the left; only the control's area grows.
    pImage1.setWidth(pToolbar1.Left() + 20);
}

void SideBarControls::placeProgressBar()
{
    // The caption shows whole, in whatever font and scale: the progress bar starts
    // after its text and ends before the button, with nothing left at a narrow width.
    const double gap = 60;
    const double text = m_twips->fromPx(Label3->fontMetrics().horizontalAdvance(Label3->text()) + 2);
    pLabel3.setWidth(qMax(975.0, text));
    const double left = qMax(720.0, pLabel3.Left() + text + gap);
    ppbar.setLeft(left);
    ppbar.setWidth(qBound(0.0, pToolbar1.Left() - gap - left, 1545.0));
}

void SideBarControls::keepFavoritesBelow()
{
    pPicture2.setTop(pPicture1.Top() + pPicture1.Height());
}
