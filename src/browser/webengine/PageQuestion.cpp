#include "browser/webengine/PageQuestion.h"

#include "browser/webengine/PageHost.h"

#include <QPointer>
#include <QUrl>
#include <QWebEngineView>
#include <chrono>

namespace {
const char HeldProperty[] = "orvaneHeld";

// Counts the questions open for the view's page; true when none holds it any more.
bool holdView(QWebEngineView *view, int delta)
{
    const int held = view->property(HeldProperty).toInt() + delta;
    view->setProperty(HeldProperty, held);
    return held <= 0;
}
} // namespace

bool AskForPage(PageHost *host, const std::function<void()> &question)
{
    if (!host || host->isClosing())
        return false;
    QPointer<QWidget> window(host->widget());
    host->endFullScreen();
    // A window that goes while its question is open leaves its view behind, hidden
    // and without a parent; the last question to end deletes it.
    QPointer<QWebEngineView> view(host->view());
    holdView(view, +1);
    question();
    if (view && holdView(view, -1) && !window)
        view->deleteLater();
    return window && !host->isClosing();
}

bool IsViewHeld(QWebEngineView *view)
{
    return view->property(HeldProperty).toInt() > 0;
}

QString SiteName(const QUrl &url)
{
    if (url.host().isEmpty())
        return url.scheme() + QLatin1Char(':');
    return url.adjusted(QUrl::RemoveUserInfo | QUrl::RemovePath | QUrl::RemoveQuery
                        | QUrl::RemoveFragment)
            .toString();
}

qint64 QuestionRow::now()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void QuestionRow::answered(qint64 at, bool inRow)
{
    m_length = !inRow ? 0 : continues(at) ? m_length + 1 : 1;
    m_lastAnswer = now();
}
