#pragma once

#include "browser/WebBrowser.h"

class ExternalLinks;
class FullScreenWindow;
class PagePermissions;
class Prompter;
class QPrinter;
class SiteQuestions;
class WebEngineProfile;
class QWebEnginePage;
class QWebEngineView;

// The web view over Qt WebEngine.
class WebEngineBrowser : public WebBrowser
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

    QWebEnginePage *page() const;
    QWebEngineView *view() const { return m_view; }
    Prompter *prompter() const { return m_prompter; }
    ExternalLinks *externalLinks() const { return m_externalLinks; }
    bool isClosing() const { return m_closing; }
    // Back into the window, before a question would hide behind the full screen.
    void endFullScreen();
    // Counts the page's calls that wait on the user: a view held outlives its
    // window until the last of them returns. True when none holds it any more.
    static bool holdView(QWebEngineView *view, int delta);

private:
    void saveAs();
    void print();
    void printed(bool ok, const QString &where);
    void leaveFullScreen();
    void find();
    void properties();

    Prompter *m_prompter;
    WebEngineProfile *m_profile;
    SiteQuestions *m_site;
    QWebEngineView *m_view;
    QPrinter *m_printer = nullptr;
    bool m_printing = false;
    ExternalLinks *m_externalLinks;
    PagePermissions *m_permissions;
    FullScreenWindow *m_fullScreen = nullptr;
    bool m_rendererGone = false;
    // Saved once per change of the list: a journal asks far more often than pages move.
    mutable QByteArray m_savedHistory;
    mutable bool m_historySaved = false;
    bool m_closing = false;
};
