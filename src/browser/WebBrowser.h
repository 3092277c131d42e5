#pragma once

#include "forms/Timings.h"

#include <QByteArray>
#include <QString>
#include <QWidget>
#include <functional>

class Prompter;

// The embedded web view as the browser window drives it: operations named as the
// window's code calls them, and the five page events it listens to.
class WebBrowser : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;

    virtual void Navigate(const QString &address) = 0;
    virtual void GoBack() = 0;
    virtual void GoForward() = 0;
    virtual void Stop() = 0;
    virtual void GoHome() = 0;
    virtual void Refresh() = 0;
    // The page's zoom, 1 for 100 %.
    virtual double zoomFactor() const = 0;
    virtual void setZoomFactor(double factor) = 0;
    // The window is going: the page's questions end unanswered, its requests are
    // refused and it leaves full screen.
    virtual void Close() { }
    // 4 save as, 6 print, 32 find in page, 10 properties; option 1 prompts the user.
    virtual void ExecWB(int command, int option) = 0;
    virtual QString LocationURL() const = 0;
    // The address of the document now loaded.
    virtual QString documentUrl() const = 0;
    // Handed back from NewWindow2, it makes the requested page open in this view.
    virtual QObject *object() = 0;
    // The Back/Forward list as the engine saves it; restoring it loads its current
    // page. False when the bytes are not a list the engine can take.
    virtual QByteArray saveHistory() const = 0;
    virtual bool restoreHistory(const QByteArray &bytes) = 0;
    // Whether the user can see the page: one out of sight is hidden to itself, and
    // goes to sleep after a while.
    virtual void setSeen(bool seen) = 0;
    // Loads the address (or gives back the history, when the engine takes it) only
    // once the page is first seen; meanwhile both are what the page reports.
    virtual void loadWhenSeen(const QString &address, const QByteArray &history) = 0;
    // Whether the page may ask before it is left: only one the user typed or clicked in.
    virtual bool mayAskToLeave() const { return false; }
    // Gives the page its chance to ask before the window closes. answer(true): leave;
    // answer(false): the user chose to stay. Called once, also when the page does not
    // answer in time or the view goes first.
    virtual void askToLeave(std::function<void(bool leave)> answer) { answer(true); }

    enum Command { SaveAs = 4, Print = 6, Properties = 10, Find = 32 };

signals:
    void StatusTextChange(const QString &text);
    void ProgressChange(int progress, int progressMax);
    void TitleChange(const QString &text);
    // Raised before any new window exists. Set *cancel to refuse it, or *ppDisp to
    // another view's object() to send the page there. The handler may ask the user.
    void NewWindow2(QObject **ppDisp, bool *cancel);
    void DocumentComplete(QObject *pDisp, const QString &url);
    // The page's renderer ended abnormally (killed, crashed, out of memory). The
    // view stays; a reload starts a new renderer.
    void RendererGone(const QString &reason);
};

class WebBrowserFactory
{
public:
    virtual ~WebBrowserFactory() = default;
    virtual WebBrowser *create(QWidget *parent, Prompter *prompter) = 0;
    // Downloads still running, which quitting would cancel.
    virtual int runningDownloads() const { return 0; }

    // The delays and limits of every view it makes and of what they share.
    Timings &timings() { return m_timings; }
    const Timings &timings() const { return m_timings; }

private:
    Timings m_timings;
};
