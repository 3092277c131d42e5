#pragma once

#include "frame/Twips.h"

#include <QFrame>
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

    void Picture3_Resize();

signals:
    void mouseMovedOver(QObject *control);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    const Twips *m_twips;
    double m_width = 2970;
    QPixmap m_image4[4];
};

// The stock pictures, drawn by the program: a blue double chevron in a light
// circle, pointing down or up, normal or highlighted.
QPixmap DrawSectionButton(bool up, bool highlighted);
