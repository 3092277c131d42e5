#pragma once

#include "browser/BrowserHost.h"
#include "dialogs/EditorHost.h"
#include "forms/Twips.h"
#include "frame/FrameEnv.h"

#include <QList>
#include <QMainWindow>

class Dialog;
class Form1;
class frmOptions;
class QAction;
class QFrame;
class QLabel;
class QMenu;
class QTreeWidgetItem;
class SideBar;

// The main frame: start-up, the registry of open windows with its tab strip and
// tree, menus, timers and shutdown.
class MDIForm1 : public QMainWindow, public BrowserHost, public EditorHost
{
    Q_OBJECT
public:
    explicit MDIForm1(FrameEnv env, QWidget *parent = nullptr);
    ~MDIForm1() override;

    // Start-up: roots, settings, Favorites, colours, side-bar sections.
    void MDIForm_Load();

    const FrameEnv &env() const { return m_env; }
    const Twips &twips() const override { return m_twips; }
    Prompter *prompter() const override { return m_env.prompter; }
    // Chosen once, at construction: beside the program or in the user's folder.
    QString settingsPath() const { return m_settingsPath; }
    WebBrowserFactory *browserFactory() const override;
    PageFetch pageFetch() const override;

    // The loaded child windows and their handles.
    int allocateHandle() override { return ++m_lastHandle; }
    void registerForm(ChildForm *form) override;
    void unregisterForm(ChildForm *form) override;
    QList<ChildForm *> forms() const override { return m_forms; }
    ChildForm *findForm(int handle) const;
    ChildForm *activeChild() const override;
    QMdiArea *mdiArea() const override { return m_area; }

    // What the browser windows and editors reach the frame by.
    TreeView *openWebsTree() const override { return webtree; }
    TabStrip *windowTabs() const override { return mytab; }
    QTimer *progressTimer() const override { return Timer1; }
    void resetSectionButtons() override;
    void popupIconSizeMenu(const QPoint &at) override;
    void EditPageSource(const QString &address) override;

    // Registry.
    Form1 *OpenBrowserWindow(const QString &address, const QString &nodeText,
                             const QString &tabCaption);
    void SwitchToWindow(const QString &key);
    Form1 *new_Click();
    // One address or file from the command line, in a window of its own.
    void OpenArgument(const QString &argument);
    void open_Click();
    void mytab_Click();
    void webtree_NodeClick(QTreeWidgetItem *node);
    void webtree_MouseMove();

    // Favorites.
    void LoadFavorites(bool startUp);
    void refresg_favorites_Click();
    void TreeFavor_DblClick();

    // Menus, timers, shutdown.
    void mybar_Click();
    void prog_Click();
    void Toolbar1_ButtonClick();
    void Toolbar1_MouseMove();
    void options_Click();
    void about_Click();
    void exit_Click();
    void MDIForm_Unload(int &cancel);
    void Timer1_Timer();
    void Timer2_Timer();
    void Timer3_Timer();
    void MDIForm_Resize();

    // The side bar's section buttons back to their resting pictures.
    void drawimages(QLabel *image);

    // The live new-window setting (the options dialog's buttons).
    bool optfocus() const override;
    frmOptions *options() const { return m_options; }
    Dialog *dialog();

    // Controls.
    SideBar *Picture3 = nullptr;
    TreeView *webtree = nullptr;
    TreeView *TreeFavor = nullptr;
    TabStrip *mytab = nullptr;
    QFrame *CoolBar1 = nullptr;
    QFrame *mypic = nullptr;
    QTimer *Timer1 = nullptr;
    QTimer *Timer2 = nullptr;
    QTimer *Timer3 = nullptr;

    // Menu items, by name.
    QMenu *file = nullptr, *mnutools = nullptr, *view = nullptr, *reneter = nullptr,
          *help = nullptr, *winol = nullptr;
    QAction *new_ = nullptr, *lien1 = nullptr, *open = nullptr, *line2 = nullptr,
            *exit = nullptr, *mybar = nullptr, *line5 = nullptr, *butoon = nullptr,
            *prog = nullptr, *line6 = nullptr, *options_ = nullptr, *line7 = nullptr,
            *refresg_favorites = nullptr, *new2 = nullptr, *line10 = nullptr,
            *about = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createMenus();
    void createWindowList();
    void createBars();
    void createTimers();
    void applyTreeHeights();
    void reportSettingsFailure(int code, const QString &description);
    void yield();

    FrameEnv m_env;
    Twips m_twips;
    QString m_settingsPath;
    QMdiArea *m_area = nullptr;
    frmOptions *m_options = nullptr;
    Dialog *m_dialog = nullptr;
    QList<ChildForm *> m_forms;
    int m_lastHandle = 0;
    int m_resizeDepth = 0;
};
