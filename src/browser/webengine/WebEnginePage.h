#pragma once

#include <QPointer>
#include <QWebEnginePage>

class PageDialogs;
class WebEngineBrowser;

// Page policy only: every request for a window goes to the browser window first;
// the page's dialogs and links for other programs go through the user.
class WebEnginePage : public QWebEnginePage
{
    Q_OBJECT
public:
    WebEnginePage(QWebEngineProfile *profile, WebEngineBrowser *browser, QObject *parent);

    WebEngineBrowser *browser() const { return m_browser; }

protected:
    QWebEnginePage *createWindow(WebWindowType type) override;
    void javaScriptAlert(const QUrl &origin, const QString &text) override;
    bool javaScriptConfirm(const QUrl &origin, const QString &text) override;
    bool javaScriptPrompt(const QUrl &origin, const QString &text, const QString &value,
                          QString *result) override;
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;

private:
    QPointer<WebEngineBrowser> m_browser;
    PageDialogs *m_dialogs;
};
