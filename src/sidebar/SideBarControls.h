#pragma once

#include "forms/Twips.h"

#include <QFrame>
#include <QPixmap>

class QLabel;
class QProgressBar;
class QToolBar;
class TreeView;

// "My Bar"'s controls: the title strip, the sections "Open Web's" and
// "Favorites" with their button pictures, the drag strip, all placed in twips
// and laid out across the side bar's width.
class SideBarControls : public QFrame
{
    Q_OBJECT
public:
    SideBarControls(const Twips *twips, QWidget *parent);

    // The four stock button pictures: down, up, down highlighted, up highlighted.
    QPixmap Image4(int index) const { return m_image4[index]; }
    // Which stock picture a button shows now (0..3).
    int pictureOf(QLabel *image) const;
    void setPicture(QLabel *image, int stock);
    QString Tag(QLabel *image) const;
    void setTag(QLabel *image, const QString &tag);
    // A section button back to its resting picture.
    void drawimages(QLabel *image);

    // Width and height of the side bar in twips; the width is the program's own.
    double Width() const { return m_width; }
    void setWidth(double twips);
    double ScaleHeight() const;
    double Height() const { return ScaleHeight(); }

    // Lays the side bar out across its width; below 1000 twips it widens first.
    void Picture3_Resize();
    // Favorites sits right below "Open Web's".
    void keepFavoritesBelow();

    // Controls, by name, and their placements in twips.
    QFrame *Picture5, *Frame1, *Picture1, *Picture4, *Picture2;
    QLabel *Label3, *Label1, *Label2, *Image2, *Image5, *Image1, *Image6, *Image3;
    QProgressBar *pbar;
    QToolBar *Toolbar1;
    TreeView *webtree, *TreeFavor;

    Placement pPicture5, pFrame1, pLabel3, ppbar, pToolbar1, pPicture1, pPicture4, pLabel1,
            pImage2, pImage5, pwebtree, pPicture2, pLabel2, pImage1, pImage6, pTreeFavor,
            pImage3;

protected:
    void resizeEvent(QResizeEvent *event) override;

    const Twips *m_twips;

private:
    void placeProgressBar();

    double m_width = 2970;
    QPixmap m_image4[4];
};

// The stock pictures, drawn by the program: a blue double chevron in a light
// circle, pointing down or up, normal or highlighted.
QPixmap DrawSectionButton(bool up, bool highlighted);
