#pragma once

#include "forms/Twips.h"

#include <QFrame>
#include <QHash>
#include <QPixmap>
#include <memory>

class QLabel;
class QProgressBar;
class QToolBar;
class TreeView;

// "My Bar": the panel at the frame's left edge with its title strip and the two
// collapsible sections "Open Web's" and "Favorites".
class SideBar : public QFrame
{
    Q_OBJECT
public:
    SideBar(const Twips *twips, QWidget *parent);
    ~SideBar() override;

    // The four stock button pictures: down, up, down highlighted, up highlighted.
    QPixmap Image4(int index) const { return m_image4[index]; }
    // Which stock picture a button shows now (0..3).
    int pictureOf(QLabel *image) const;
    void setPicture(QLabel *image, int stock);
    QString Tag(QLabel *image) const;
    void setTag(QLabel *image, const QString &tag);

    void drawimages(QLabel *image);

    // Width and height of the side bar in twips; the width is the program's own.
    double Width() const { return m_width; }
    void setWidth(double twips);
    double ScaleHeight() const;
    double Height() const { return ScaleHeight(); }

    // Controls, by name, and their placements in twips.
    QFrame *Picture5, *Frame1, *Picture1, *Picture4, *Picture2;
    QLabel *Label3, *Label1, *Label2, *Image2, *Image5, *Image1, *Image6, *Image3;
    QProgressBar *pbar;
    QToolBar *Toolbar1;
    TreeView *webtree, *TreeFavor;

    Placement pPicture5, pFrame1, pLabel3, ppbar, pToolbar1, pPicture1, pPicture4, pLabel1,
            pImage2, pImage5, pwebtree, pPicture2, pLabel2, pImage1, pImage6, pTreeFavor,
            pImage3;

    // Lays the side bar out across its width; below 1000 twips it widens first.
    void Picture3_Resize();
    // Favorites sits right below "Open Web's".
    void keepFavoritesBelow();

    // The section buttons: open or close with an animation, one section at a time.
    void Image5_Click();
    void Image6_Click();
    bool isAnimating() const { return m_animating; }

    // Pointer movement: the section's own button lights up, the rest go back to
    // their resting pictures.
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
    void resizeEvent(QResizeEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    using Handler = void (SideBar::*)();

    void installSectionHandlers();
    void restoreButtons();
    void wholeLoop(Placement &panel, double from, double to, int step);
    bool floatLoop(Placement &panel, double from, double to, int step, bool keepBelow,
                   bool yield);
    void finishAnimation();
    void Image3_MouseDrag(const QPointF &globalPos);

    const Twips *m_twips;
    double m_width = 2970;
    QPixmap m_image4[4];
    QHash<QObject *, Handler> m_moveHandlers;
    bool m_animating = false;
    Handler m_pendingClick = nullptr;
    bool m_dragging = false;
    double m_dragStartX = 0;
    double m_dragStartWidth = 0;
};

// The stock pictures, drawn by the program: a blue double chevron in a light
// circle, pointing down or up, normal or highlighted.
QPixmap DrawSectionButton(bool up, bool highlighted);
