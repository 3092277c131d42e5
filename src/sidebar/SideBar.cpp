// The side bar's two sections: opening and closing, hover pictures, and the drag
// strip that changes the side bar's width.
#include "sidebar/SideBar.h"

#include "forms/TreeView.h"

#include <QCoreApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QProgressBar>
#include <QTimer>
#include <cmath>
#include <utility>

namespace {

const QString Down = QStringLiteral("down");

bool isOpen(const QString &tag)
{
    return tag.toLower() == QLatin1String("up");
}

long wholeTwips(double twips)
{
    return std::lround(std::nearbyint(twips));
}

} // namespace

SideBar::SideBar(const Twips *twips, QWidget *parent) : SideBarControls(twips, parent)
{
    m_moveHandlers = {
        { Image5, &SideBar::Image5_MouseMove },
        { Image6, &SideBar::Image6_MouseMove },
        { Image1, &SideBar::Image1_MouseMove },
        { Image2, &SideBar::Image2_MouseMove },
        { Image3, &SideBar::Image3_MouseMove },
        { Frame1, &SideBar::Frame1_MouseMove },
        { Label1, &SideBar::Label1_MouseMove },
        { Label2, &SideBar::Label2_MouseMove },
        { Label3, &SideBar::Label3_MouseMove },
        { Picture2, &SideBar::Picture2_MouseMove },
        { Picture4, &SideBar::Picture4_MouseMove },
        { TreeFavor->viewport(), &SideBar::TreeFavor_MouseMove },
        // No handler of their own; their movement must not reach the side bar's.
        { Picture1, nullptr },
        { Picture5, nullptr },
        { pbar, nullptr },
    };
    setMouseTracking(true);
    TreeFavor->setMouseTracking(true);
    for (auto it = m_moveHandlers.cbegin(); it != m_moveHandlers.cend(); ++it) {
        auto *widget = static_cast<QWidget *>(it.key());
        widget->setMouseTracking(true);
        widget->installEventFilter(this);
    }
}

bool SideBar::eventFilter(QObject *watched, QEvent *event)
{
    const auto found = m_moveHandlers.constFind(watched);
    if (found == m_moveHandlers.cend())
        return SideBarControls::eventFilter(watched, event);

    switch (event->type()) {
    case QEvent::MouseMove: {
        if (watched == Image3)
            Image3_MouseDrag(static_cast<QMouseEvent *>(event)->globalPosition());
        if (const Handler handler = found.value())
            (this->*handler)();
        // The tree keeps its own pointer handling.
        return watched != TreeFavor->viewport();
    }
    case QEvent::MouseButtonPress: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (watched == Image3) {
            Image3_MouseDown(mouse->button(), mouse->globalPosition());
            return true;
        }
        if ((watched == Image5 || watched == Image6) && mouse->button() == Qt::LeftButton) {
            if (watched == Image5)
                Image5_Click();
            else
                Image6_Click();
            return true;
        }
        break;
    }
    case QEvent::MouseButtonRelease:
        if (watched == Image3) {
            m_dragging = false;
            return true;
        }
        break;
    default:
        break;
    }
    return SideBarControls::eventFilter(watched, event);
}

void SideBar::mouseMoveEvent(QMouseEvent *event)
{
    Picture3_MouseMove();
    event->accept();
}

void SideBar::restoreButtons()
{
    drawimages(Image2);
    drawimages(Image1);
}

void SideBar::Image1_MouseMove()
{
    drawimages(Image1);
    drawimages(Image2);
}

void SideBar::Image2_MouseMove()
{
    drawimages(Image1);
    drawimages(Image2);
}

void SideBar::Image3_MouseMove()
{
    drawimages(Image1);
}

void SideBar::Image5_MouseMove()
{
    setPicture(Image2, Tag(Image2) == Down ? 2 : 3);
    drawimages(Image1);
}

void SideBar::Image6_MouseMove()
{
    setPicture(Image1, Tag(Image1) == Down ? 2 : 3);
    drawimages(Image2);
}

// One twip per step between whole-twip ends.
void SideBar::wholeLoop(Placement &panel, double from, double to, int step)
{
    const long first = wholeTwips(from);
    const long last = wholeTwips(to);
    for (long h = first; step > 0 ? h <= last : h >= last; h += step) {
        panel.setHeight(h);
        keepFavoritesBelow();
    }
}

// One twip per step from the exact height. With yield, pending events run after
// every step; false when the side bar went away meanwhile.
bool SideBar::floatLoop(Placement &panel, double from, double to, int step, bool keepBelow,
                        bool yield)
{
    QPointer<SideBar> self(this);
    for (double h = from; step > 0 ? h <= to : h >= to; h += step) {
        panel.setHeight(h);
        if (keepBelow)
            keepFavoritesBelow();
        if (yield) {
            QCoreApplication::processEvents();
            if (!self)
                return false;
        }
    }
    return true;
}

void SideBar::Image5_Click()
{
    if (m_animating) {
        // Arrives while "Favorites" closes: "Open Web's" opens once it has closed.
        m_pendingClick = &SideBar::Image5_Click;
        return;
    }
    m_animating = true;
    if (Tag(Image2) == Down) {
        if (isOpen(Tag(Image1))) {
            wholeLoop(pPicture2, pPicture2.Height(), pPicture4.Height(), -1);
            setPicture(Image1, 0);
            setTag(Image1, Down);
        }
        wholeLoop(pPicture1, pPicture1.Height(), pwebtree.Top() + pwebtree.Height() + 100, 1);
        setPicture(Image2, 1);
        setTag(Image2, QStringLiteral("Up"));
    } else {
        wholeLoop(pPicture1, pPicture1.Height(), pPicture4.Height(), -1);
        setPicture(Image2, 0);
        setTag(Image2, Down);
    }
    finishAnimation();
}

void SideBar::Image6_Click()
{
    if (m_animating) {
        // Arrives while "Favorites" closes, with its button still saying open: a
        // click then closes it, which is what is under way. It ends closed.
        m_pendingClick = nullptr;
        return;
    }
    m_animating = true;
    if (Tag(Image1) == Down) {
        if (isOpen(Tag(Image2))) {
            floatLoop(pPicture1, pPicture1.Height(), pPicture4.Height(), -1, true, false);
            setPicture(Image2, 0);
            setTag(Image2, Down);
        }
        floatLoop(pPicture2, pPicture2.Height(), pTreeFavor.Top() + pTreeFavor.Height() + 100,
                  1, false, false);
        setPicture(Image1, 1);
        setTag(Image1, QStringLiteral("up"));
    } else {
        // The only animation that lets the user interface run between its steps.
        if (!floatLoop(pPicture2, pPicture2.Height(), pPicture4.Height(), -1, true, true))
            return;
        setPicture(Image1, 0);
        setTag(Image1, Down);
    }
    finishAnimation();
}

void SideBar::finishAnimation()
{
    m_animating = false;
    // An "Open Web's" click that arrived while "Favorites" was closing runs now, on
    // the settled state, instead of inside the running animation.
    if (const Handler pending = std::exchange(m_pendingClick, nullptr))
        QTimer::singleShot(0, this, pending);
}

void SideBar::Image3_MouseDown(Qt::MouseButton button, const QPointF &globalPos)
{
    if (button != Qt::LeftButton)
        return;
    m_dragging = true;
    m_dragStartX = globalPos.x();
    m_dragStartWidth = Width();
}

void SideBar::Image3_MouseDrag(const QPointF &globalPos)
{
    if (!m_dragging)
        return;
    // The right edge follows the pointer; the layout applies the minimum.
    const int dx = qRound(globalPos.x() - m_dragStartX);
    setWidth(m_dragStartWidth + m_twips->fromPx(dx));
}
