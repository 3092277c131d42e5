#include "browser/webengine/PageDialogs.h"

#include "browser/webengine/WebEngineBrowser.h"
#include "forms/Prompter.h"

#include <QCoreApplication>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace {
// The engine asks "leave this page?" as a confirm with this text of its own.
QString leaveText()
{
    return QCoreApplication::translate("QWebEnginePage",
            "Are you sure you want to leave this page? Changes that you made may not be saved.");
}
} // namespace

PageDialogs::PageDialogs(QWebEnginePage *page, WebEngineBrowser *browser)
    : QObject(page), m_browser(browser)
{
    m_clock.start();
    connect(page, &QWebEnginePage::loadStarted, this, [this] {
        m_stopped = false;
        m_row = 0;
        m_lastEnd = -1;
    });
}

QString PageDialogs::site(const QUrl &url)
{
    if (url.host().isEmpty())
        return url.scheme() + QLatin1Char(':');
    return url.adjusted(QUrl::RemoveUserInfo | QUrl::RemovePath | QUrl::RemoveQuery
                        | QUrl::RemoveFragment)
            .toString();
}

void PageDialogs::alert(const QUrl &origin, const QString &text)
{
    PageDialog dialog { PageDialog::Alert, site(origin), text };
    ask(&dialog);
}

bool PageDialogs::confirm(const QUrl &origin, const QString &text)
{
    if (text == leaveText()) {
        PageDialog dialog { PageDialog::Leave, site(origin),
                            QStringLiteral("Leave this page? Changes you made may not be saved.") };
        // A page whose dialogs are stopped, or whose window is going, is left:
        // it must not keep the user.
        if (m_stopped || !m_browser || m_browser->isClosing())
            return true;
        return ask(&dialog) || m_stopped;
    }
    PageDialog dialog { PageDialog::Confirm, site(origin), text };
    return ask(&dialog);
}

bool PageDialogs::prompt(const QUrl &origin, const QString &text, const QString &value,
                         QString *result)
{
    PageDialog dialog { PageDialog::Prompt, site(origin), text, value };
    if (!ask(&dialog))
        return false;
    *result = dialog.value;
    return true;
}

bool PageDialogs::ask(PageDialog *dialog)
{
    if (m_stopped || !m_browser || m_browser->isClosing())
        return false;
    const qint64 now = m_clock.elapsed();
    m_row = m_lastEnd >= 0 && now - m_lastEnd < RowGapMs ? m_row + 1 : 1;
    dialog->offerStop = m_row >= OfferAt;

    // The engine waits inside this call for the answer: the window may close
    // meanwhile, but the view and its page stay until the call has returned.
    QWebEngineView *view = m_browser->view();
    WebEngineBrowser::holdView(view, +1);
    QPointer<WebEngineBrowser> browser(m_browser);
    const bool ok = browser->prompter()->pageDialog(browser, dialog);
    if (WebEngineBrowser::holdView(view, -1) && !browser)
        view->deleteLater();
    if (!browser || browser->isClosing())
        return false;
    m_lastEnd = m_clock.elapsed();
    m_stopped = dialog->stop;
    return ok;
}
