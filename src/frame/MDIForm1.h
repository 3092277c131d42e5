#pragma once

#include "browser/BrowserHost.h"
#include "dialogs/EditorHost.h"
#include "forms/ChildWindows.h"
#include "frame/FrameEnv.h"
#include "frame/FrameControls.h"
#include "frame/WindowJournal.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>

class CoverWatch;
class Dialog;
class Form1;
class frmOptions;
class QLabel;
class QTreeWidgetItem;
class WindowJournal;

// The main frame: start-up, the registry of open windows with its tab strip and
// tree, menus, timers and shutdown.
class MDIForm1 : public QMainWindow, public FrameControls, public ChildWindows,
                public BrowserHost, public EditorHost
{
    Q_OBJECT
public:
    explicit MDIForm1(FrameEnv env, QWidget *parent = nullptr);
    ~MDIForm1() override;

    // Start-up: roots, settings, Favorites, colours, side-bar sections.
    void MDIForm_Load();
    const FrameEnv &env() const { return m_env; }
    QString settingsPath() const { return m_settingsPath; } // chosen when built

    // What the browser windows and editors reach the frame by.
    Prompter *prompter() const override { return m_env.prompter; }
    WebBrowserFactory *browserFactory() const override;
    Form1 *openWindow(const NewWindow &window, Form1 *opener) override;
    PageFetch pageFetch() const override;
    TreeView *openWebsTree() const override { return webtree; }
    TabStrip *windowTabs() const override { return mytab; }
    QTimer *progressTimer() const override { return Timer1; }
    void stopProgress() override;
    void windowNavigated() override;
    void resetSectionButtons() override;
    void popupIconSizeMenu(const QPoint &at) override;
    void EditPageSource(const QString &address) override;
    bool optfocus() const override; // the options dialog's live choice
    QString searchAddress() const override; // read anew each time: the user may edit it

    // Registry.
    Form1 *OpenBrowserWindow(const QString &address, const QString &nodeText,
                             const QString &tabCaption);
    void SwitchToWindow(const QString &key);
    Form1 *new_Click();
    // Addresses or files from the command line, each in a window of its own, the
    // last in front; whenSeen: loaded once the user first sees it.
    void OpenArguments(const QStringList &arguments);
    void OpenArgument(const QString &argument, bool whenSeen = false);
    void open_Click();
    void mytab_Click();
    void webtree_NodeClick(QTreeWidgetItem *node);
    void webtree_MouseMove();

    // After a run that ended badly: asks, then reopens its windows. Before any other.
    // The one in front comes at once; the others follow behind it, one at a time.
    void offerRestore();
    WindowJournal *journal() const { return m_journal; }
    CoverWatch *coverWatch() const { return m_cover; }

    // Favorites.
    void LoadFavorites(bool startUp);
    void refresg_favorites_Click();
    QString addFavorite(Form1 *window, const QString &title, const QString &address) override;
    // Ctrl+Shift+T: the browser window closed last, with its Back/Forward list, in front.
    void windowClosed(const NewWindow &window) override;
    void reopenClosed();
    History *history() override;
    const ToolbarPictures &toolbarPictures() override;
    // Ctrl+H: the pages visited, to open again, remove or clear.
    void showHistory();
    static constexpr int RememberClosed = 25;
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
    frmOptions *options() const { return m_options; }
    Dialog *dialog(); // the icon-size menu, made on first use

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
    void createJournal();

    FrameEnv m_env;
    QString m_settingsPath;
    frmOptions *m_options = nullptr;
    Dialog *m_dialog = nullptr;
    int m_resizeDepth = 0;
    WindowJournal *m_journal = nullptr;
    CoverWatch *m_cover = nullptr;
    // Ends the program now that the user said so.
    void endNow();
    void closeAgain(); // once every page let its window go
    // Asks the pages in turn; left() for each that lets go, then allLeft if all did.
    void askPages(const QList<Form1 *> &windows, std::function<void(Form1 *)> left,
                  void (MDIForm1::*allLeft)());
    QList<Form1 *> browserWindows() const;
    bool m_leaving = false; // pages are being asked whether they may go
    QList<NewWindow> m_closed; // the last closed first
    // Reopening after a bad end: the windows still to come with their places in the
    // journal; the windows reopened by their journal ids, and their places.
    Form1 *reopen(int place, const JournalEntry &entry, bool behind);
    void reopenNext();
    void stopReopening();
    QList<std::pair<int, JournalEntry>> m_toReopen;
    QHash<int, QPointer<Form1>> m_reopened;
    QHash<int, int> m_reopenedPlace; // by window handle
    std::unique_ptr<History> m_history;
    std::unique_ptr<ToolbarPictures> m_pictures;
    mutable bool m_browsersLoaded = false; // the engine is asked only once it is there
};
