#pragma once

#include "sidebar/SideBarControls.h"

#include <QHash>

// "My Bar" at work: the section buttons open or close their section with an
// animation, one section at a time; pointer movement lights a section's own
// button and puts the rest back; the drag strip changes the side bar's width.
class SideBar : public SideBarControls
{
    Q_OBJECT
public:
    SideBar(const Twips *twips, QWidget *parent);

    void Image5_Click();
    void Image6_Click();
    bool isAnimating() const { return m_animating; }

    void Image5_MouseMove();
    void Image6_MouseMove();
    void Image1_MouseMove();
    void Image2_MouseMove();
    void Image3_MouseMove();
    void Frame1_MouseMove() { restoreButtons(); }
    void Label1_MouseMove() { restoreButtons(); }
    void Label2_MouseMove() { restoreButtons(); }
    void Label3_MouseMove() { restoreButtons(); }
    void Picture2_MouseMove() { restoreButtons(); }
    void Picture3_MouseMove() { restoreButtons(); }
    void Picture4_MouseMove() { restoreButtons(); }
    void TreeFavor_MouseMove() { restoreButtons(); }

    // The drag strip: the left button drags the side bar's right edge.
    void Image3_MouseDown(Qt::MouseButton button, const QPointF &globalPos);
    bool isDragging() const { return m_dragging; }

protected:
    void mouseMoveEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    using Handler = void (SideBar::*)();

    void restoreButtons();
    void wholeLoop(Placement &panel, double from, double to, int step);
    bool floatLoop(Placement &panel, double from, double to, int step, bool keepBelow,
                   bool yield);
    void finishAnimation();
    void Image3_MouseDrag(const QPointF &globalPos);

    QHash<QObject *, Handler> m_moveHandlers;
    bool m_animating = false;
    Handler m_pendingClick = nullptr;
    bool m_dragging = false;
    double m_dragStartX = 0;
    double m_dragStartWidth = 0;
};
