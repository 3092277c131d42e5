#pragma once

#include "browser/BrowserHost.h"
#include "forms/ChildForm.h"
#include "forms/Twips.h"

#include <memory>

class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QStatusBar;
class QStringListModel;
class QTimer;
class QToolBar;
class QTreeWidgetItem;
class WebBrowser;

// A browser window: one page in one child window of the frame.
class Form1 : public ChildForm
{
    Q_OBJECT
public:
    explicit Form1(BrowserHost *frame);
    ~Form1() override;

    BrowserHost *frame() const { return m_frame; }
    // Its node in "Open Web's", found by its key; null when it has none.
    QTreeWidgetItem *treeNode() const;
    // This window and every window opened from it, at any depth.
    QList<Form1 *> family() const;

    // Layout.
    void Form_Load();
    void Form_Resize();
    void rtimer_Timer();
    void Picture2_MouseMove();

    // Navigation.
    void cmbadress_Click();
    void cmbadress_KeyPress(int keyAscii);
    void gnet_ButtonClick(int index);
    // Toolbar1's buttons, in their order: the toolbar's 1-based index.
    enum class Command { Back = 1, Forward, Stop, Home, Refresh, Save, Print, Find, Properties };
    void Toolbar1_ButtonClick(int index);
    void run(Command command); // a button's command, as its key calls it
    void Toolbar1_MouseDown(int button);
    void Toolbar1_MouseMove();
    bool IsInHistory(const QString &url) const;
    QStringList history() const;

    // Page events.
    void wb_StatusTextChange(const QString &text);
    void wb_ProgressChange(int progress, int progressMax);
    void wb_TitleChange(const QString &text);
    void wb_DocumentComplete();
    void wb_NewWindow2(QObject **ppDisp, bool *cancel);
    // Opened behind the window in front: it takes no input until brought forward.
    void waitBehind();
    void wb_RendererGone(const QString &reason);
    void Stbar1_PanelClick();

    // Keys: reload, stop, back, forward, address box, find, print, save, zoom.
    // step +1 in, -1 out, 0 back to 100 %.
    void zoom(int step);

    // Toolbar pictures: which image list is in use and each button's picture.
    enum class IconSize { Large, Small };
    // Toolbar1's designed height, with its large pictures, in twips.
    static constexpr double LargeToolbarHeight = 780;
    void setToolbarIcons(IconSize size, const QList<int> &pictures);
    IconSize toolbarIconSize() const { return m_iconSize; }
    int ButtonImage(int index) const { return m_buttonImage.value(index - 1); }

    int pos = 0, max = 0; // the page's latest progress

    QFrame *CoolBar1;
    QToolBar *Toolbar1, *gnet;
    QFrame *CoolBar2, *Picture2;
    QLabel *Label1;
    QComboBox *cmbadress;
    WebBrowser *wb;
    QStatusBar *Stbar1;
    QLabel *Stbar1Panel1;
    QTimer *rtimer;
    QList<QAction *> Buttons;     // Toolbar1's nine buttons
    QList<QAction *> gnetButtons; // Go Net, separator, Edit Page

    std::unique_ptr<Placement> pCoolBar1, pToolbar1, pCoolBar2, pPicture2, pLabel1, pcmbadress,
            pgnet, pwb, pStbar1;

protected:
    void Form_Unload() override;
    bool mayClose() override;
    void takeFocus() override;
    void seenChanged() override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls();
    void createKeys();
    void setCaption(const QString &text);
    void setAddressText(const QString &text);

    BrowserHost *m_frame;
    QList<int> m_buttonImage;
    IconSize m_iconSize = IconSize::Large;
    QAction *m_stopKey = nullptr; // Esc: only while loading, else it is the page's
    bool m_leaving = false;       // its pages are being asked whether they may go
    QStringListModel *m_completions; // the address box's, from the history
    QObject *m_completionList = nullptr;
};
