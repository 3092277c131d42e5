#pragma once

class Prompter;
class QString;
class QUrl;
class QWebEnginePage;
class QWebEngineView;
class QWidget;
struct Timings;

// What a page's helpers (its dialogs, questions, permissions, downloads, links for
// other programs) need of the window that shows it. The window makes them and
// they know it only through this.
class PageHost
{
public:
    // The window's own widget: the parent of its questions. A QPointer to it tells
    // whether the window is still there.
    virtual QWidget *widget() = 0;
    virtual QWebEngineView *view() const = 0;
    virtual Prompter *prompter() const = 0;
    virtual const Timings &timings() const = 0;
    // The window is going: nothing more is asked for its page.
    virtual bool isClosing() const = 0;
    // Back into the window, so that a question does not hide behind the full screen.
    virtual void endFullScreen() = 0;
    // Says in the status bar what became of the page's request.
    virtual void showStatus(const QString &text) = 0;
    // Says why the load under way was refused; the end of that load says it again
    // rather than "Done".
    virtual void showRefusal(const QString &text) = 0;
    // The page asks for a window: the frame asks the user and makes it. Its page, or
    // null when refused.
    virtual QWebEnginePage *openWindow() = 0;
    // A link for another program, asked about once the engine's call has returned.
    virtual void openElsewhere(const QUrl &url, const QUrl &from) = 0;
    // Where the user chose files last in this run, for uploads and saving pages.
    virtual QString &lastFolder() = 0;
    // The user answered the page's "Leave this page?".
    virtual void leaveAnswered(bool leave) = 0;

protected:
    ~PageHost() = default;
};
