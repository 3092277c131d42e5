#pragma once

#include <QList>
#include <QObject>

class Form1;
class MDIForm1;
class QAction;
class QMenu;

// Carries the toolbar icon-size menu; never shown as a window.
class Dialog : public QObject
{
    Q_OBJECT
public:
    explicit Dialog(MDIForm1 *frame);
    ~Dialog() override;

    void large_Click();
    void small_Click();

    // Picture numbers of Toolbar1's nine buttons in each image list.
    static const QList<int> LargePictures;
    static const QList<int> SmallPictures;

    QMenu *file;
    QAction *large;
    QAction *small;

private:
    // Lets the toolbar's band take the toolbar's new height and moves the page
    // area to lie under the two bars.
    static void refit(Form1 *window);

    MDIForm1 *m_frame;
};
