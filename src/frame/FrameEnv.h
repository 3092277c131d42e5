#pragma once

#include "dialogs/PageDownload.h"

#include <QString>
#include <functional>

class Prompter;
class WebBrowserFactory;

// What the frame is given from outside: its folders, the prompter, the web-view
// factory (loaded on first use) and how to end the process.
struct FrameEnv
{
    QString programDir; // holds Orvane.ini while writable; empty when installed
    QString configDir;  // holds it otherwise (the user's configuration folder)
    QString homeDir;    // holds Favorites
    QString currentDir; // where Open File starts
    QString stateDir;   // holds the journal of open windows; empty: none is kept
    QString historyFile; // the pages visited; empty: none are kept
    Prompter *prompter = nullptr;
    std::function<WebBrowserFactory *()> browsers;
    // The page-source download, loaded on first use like the web engine.
    std::function<PageFetch()> downloads;
    std::function<void()> quit;
    double dpi = 0; // 0: the screen's
};
