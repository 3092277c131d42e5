#pragma once

#include "browser/WebBrowser.h"
#include "browser/webengine/PageHost.h"

#include <optional>

class ExternalLinks;
class FullScreenWindow;
class PagePermissions;
class Prompter;
class QPrinter;
class FindBar;
class HangWatch;
class QTimer;
class WebEngineProfile;
class QWebEnginePage;
class QWebEngineView;

// The web view over Qt WebEngine: the window's side of its page, and the host of
// the page's helpers (questions, permissions, downloads, links for other programs).
class WebEngineBrowser : public WebBrowser, private PageHost
{
    Q_OBJECT
public:
    // The profile outlives the view.
    WebEngineBrowser(QWidget *parent, Prompter *prompter, WebEngineProfile *profile);
    ~WebEngineBrowser() override;

    void Navigate(const QString &address) override;
    void GoBack() override;
    void GoForward() override;
    void Stop() override;
    void GoHome() override;
    void Refresh() override;
    double zoomFactor() const override;
    void setZoomFactor(double factor) override;
    void Close() override;
    void ExecWB(int command, int option) override;
    QString LocationURL() const override;
    QString documentUrl() const override;
    QObject *object() override { return this; }
    QByteArray saveHistory() const override;
    bool restoreHistory(const QByteArray &bytes) override;
    void setSeen(bool seen) override;
    void loadWhenSeen(const QString &address, const QByteArray &history) override;
    bool mayAskToLeave() const override { return m_touched && !m_closing && !m_rendererGone; }
    void askToLeave(std::function<void(bool leave)> answer) override;

    QWebEnginePage *page() const;
    QWebEngineView *view() const override { return m_view; }
    bool isClosing() const override { return m_closing; }

private:
    // What the page's helpers see of this window.
    QWidget *widget() override { return this; }
    Prompter *prompter() const override { return m_prompter; }
    const Timings &timings() const override;
    void endFullScreen() override;
    void showStatus(const QString &text) override;
    void showRefusal(const QString &text) override;
    QWebEnginePage *openWindow() override;
    void openElsewhere(const QUrl &url, const QUrl &from) override;
    void leaveAnswered(bool leave) override;
    QString &lastFolder() override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void leaveDecided(bool leave);

    QString saveFolder() const;
    void saveAs();
    void print();
    void printed(bool ok, const QString &where);
    void leaveFullScreen();
    void find();
    FindBar *findBar();
    void properties();
    // Asleep once out of sight for a while, unless something the user started is
    // still under way in it, or the engine advises against it.
    void trySleep();
    void linkEnded();

    Prompter *m_prompter;
    WebEngineProfile *m_profile;
    QWebEngineView *m_view;
    QPrinter *m_printer = nullptr;
    bool m_printing = false;
    ExternalLinks *m_externalLinks;
    HangWatch *m_hangWatch;
    FindBar *m_findBar = nullptr; // made on first use
    PagePermissions *m_permissions;
    FullScreenWindow *m_fullScreen = nullptr;
    bool m_rendererGone = false;
    QString m_refusal; // why the load under way was refused
    // Saved once per change of the list: a journal asks far more often than pages move.
    mutable QByteArray m_savedHistory;
    mutable bool m_historySaved = false;
    bool m_historyDue = false;
    bool m_closing = false;
    // The user typed or clicked in the page: only then may it ask before it is left.
    bool m_touched = false;
    std::function<void(bool)> m_leave; // a close waiting on the page's word
    QTimer *m_leaveWait;
    bool m_seen = true;
    bool m_sleepDue = false; // out of sight long enough
    QTimer *m_sleep;
    // What loads when the window is first seen.
    struct Pending
    {
        QString address;
        QByteArray history;
    };
    std::optional<Pending> m_pending;
    QString m_address; // the page's, as it last reported it
};
