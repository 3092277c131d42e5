#include "browser/webengine/WebEnginePage.h"

#include "browser/webengine/WebEngineBrowser.h"

#include <QPointer>

WebEnginePage::WebEnginePage(QWebEngineProfile *profile, WebEngineBrowser *browser,
                             QObject *parent)
    : QWebEnginePage(profile, parent), m_browser(browser)
{
}

QWebEnginePage *WebEnginePage::createWindow(WebWindowType)
{
    // Answered before returning: the new page keeps its link to its opener. The
    // handler may run a modal prompt here, which the engine tolerates.
    QObject *target = nullptr;
    bool cancel = false;
    QPointer<WebEngineBrowser> self(m_browser);
    emit m_browser->NewWindow2(&target, &cancel);
    if (!self || cancel || !target)
        return nullptr;
    auto *other = qobject_cast<WebEngineBrowser *>(target);
    return other ? other->page() : nullptr;
}
