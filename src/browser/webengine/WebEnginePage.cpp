#include "browser/webengine/WebEnginePage.h"

#include "browser/webengine/ExternalLinks.h"
#include "browser/webengine/PageDialogs.h"
#include "browser/webengine/WebEngineBrowser.h"

WebEnginePage::WebEnginePage(QWebEngineProfile *profile, WebEngineBrowser *browser,
                             QObject *parent)
    : QWebEnginePage(profile, parent), m_browser(browser),
      m_dialogs(new PageDialogs(this, browser))
{
}

QWebEnginePage *WebEnginePage::createWindow(WebWindowType)
{
    // Answered before returning: the new page keeps its link to its opener. The
    // handler may run a modal prompt here, which the engine tolerates.
    QObject *target = nullptr;
    bool cancel = false;
    if (!m_browser || m_browser->isClosing())
        return nullptr;
    emit m_browser->NewWindow2(&target, &cancel);
    if (!m_browser || cancel || !target)
        return nullptr;
    auto *other = qobject_cast<WebEngineBrowser *>(target);
    return other ? other->page() : nullptr;
}

void WebEnginePage::javaScriptAlert(const QUrl &origin, const QString &text)
{
    m_dialogs->alert(origin, text);
}

bool WebEnginePage::javaScriptConfirm(const QUrl &origin, const QString &text)
{
    return m_dialogs->confirm(origin, text);
}

bool WebEnginePage::javaScriptPrompt(const QUrl &origin, const QString &text,
                                     const QString &value, QString *result)
{
    return m_dialogs->prompt(origin, text, value, result);
}

bool WebEnginePage::acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame)
{
    if (ExternalLinks::isForOtherProgram(url)) {
        if (m_browser)
            m_browser->externalLinks()->request(url, this->url());
        return false;
    }
    return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
}
