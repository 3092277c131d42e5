#pragma once

#include "forms/ChildHost.h"

class Prompter;
class QPoint;
class QString;
class QTimer;
class TabStrip;
class TreeView;
class WebBrowserFactory;

// What a browser window needs of the frame: the views that list the open
// windows, the progress timer, the new-window setting, the side bar's button
// reset, the icon-size menu and the page-source editor.
class BrowserHost : public virtual ChildHost
{
public:
    virtual Prompter *prompter() const = 0;
    virtual WebBrowserFactory *browserFactory() const = 0;
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
    // Both side-bar section buttons back to their resting pictures.
    virtual void resetSectionButtons() = 0;
    virtual void popupIconSizeMenu(const QPoint &at) = 0;
    virtual void EditPageSource(const QString &address) = 0;
};
