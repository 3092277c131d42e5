#pragma once

#include "forms/ChildHost.h"

#include <QByteArray>
#include <QString>
#include <optional>

class Form1;
class History;
class Prompter;
class QPoint;
class QTimer;
class TabStrip;
class TreeView;
class WebBrowserFactory;
struct ToolbarPictures;

// A browser window about to open: where its page comes from, and what it is
// called until the page names itself.
struct NewWindow
{
    // Typed into its address box and loaded. None for a window that a page asked
    // for: the engine loads that page into it.
    std::optional<QString> address;
    // A reopened window's Back/Forward list, given back instead when the engine takes it.
    QByteArray history;
    // A reopened window's title; its node and tab read it too.
    std::optional<QString> title;
    // What its node and its tab read; none: the window's own (blank) title.
    std::optional<QString> node, tab;
    // Loaded once the user first sees it, not before.
    bool whenSeen = false;
    // Opened behind the window in front, which keeps the front and the keyboard.
    bool behind = false;
};

// What a browser window needs of the frame: opening windows, the views that list
// them, the progress timer, the new-window setting, the side bar's button reset,
// the icon-size menu and the page-source editor.
class BrowserHost : public virtual ChildHost
{
public:
    virtual Prompter *prompter() const = 0;
    virtual WebBrowserFactory *browserFactory() const = 0;
    // The one way a browser window opens. Its node goes under its opener's, expanded
    // (none when the opener has none); without an opener, under "Open Web's", with a
    // tab. It comes to the front, except that a window a page asked for (no
    // address) waits behind its opener when the setting says so. Events run while
    // it shows: the window returned may be closing already (isUnloaded).
    virtual Form1 *openWindow(const NewWindow &window, Form1 *opener) = 0;
    virtual TreeView *openWebsTree() const = 0; // "Open Web's"
    virtual TabStrip *windowTabs() const = 0;
    virtual QTimer *progressTimer() const = 0;
    // A document completed: the progress bar takes the active window's last figures
    // once more, then stops following them.
    virtual void stopProgress() = 0;
    // A window's page completed: its address and history may have changed.
    virtual void windowNavigated() = 0;
    // The live new-window setting: true for " With Focus".
    virtual bool optfocus() const = 0;
    // Where words typed in the address box are looked up: %s stands for them.
    virtual QString searchAddress() const = 0;
    // Both side-bar section buttons back to their resting pictures.
    virtual void resetSectionButtons() = 0;
    virtual void popupIconSizeMenu(const QPoint &at) = 0;
    virtual void EditPageSource(const QString &address) = 0;
    // Adds the page to the Favorites folder, under a name the user confirms; what
    // became of it, for the status bar (empty when the user cancelled).
    virtual QString addFavorite(Form1 *window, const QString &title, const QString &address) = 0;
    // Every page shown; made on first use.
    virtual History *history() = 0;
    // The windows' toolbar pictures; drawn on first use.
    virtual const ToolbarPictures &toolbarPictures() = 0;
    // A window is closing: it can be reopened as it was.
    virtual void windowClosed(const NewWindow &window) = 0;
};
