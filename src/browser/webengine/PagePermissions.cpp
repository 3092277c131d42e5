#include "browser/webengine/PagePermissions.h"

#include "browser/webengine/PageDialogs.h"
#include "browser/webengine/WebEngineBrowser.h"
#include "forms/Prompter.h"

#include <QTimer>
#include <QVariantMap>
#include <QWebEngineProfile>

namespace {
const char AnswersProperty[] = "orvanePermissionAnswers";

QString keyOf(const QUrl &origin, QWebEnginePage::Feature feature)
{
    return PageDialogs::site(origin) + QLatin1Char(' ') + QString::number(int(feature));
}
} // namespace

PagePermissions::PagePermissions(QWebEnginePage *page, WebEngineBrowser *browser)
    : QObject(browser), m_page(page), m_browser(browser)
{
    connect(page, &QWebEnginePage::featurePermissionRequested, this, &PagePermissions::requested);
    connect(page, &QWebEnginePage::featurePermissionRequestCanceled, this,
            [this](const QUrl &origin, QWebEnginePage::Feature feature) {
                m_waiting.removeIf([&](const Request &r) {
                    return r.origin == origin && r.feature == feature;
                });
            });
}

QString PagePermissions::what(QWebEnginePage::Feature feature)
{
    switch (feature) {
    case QWebEnginePage::Geolocation: return QStringLiteral("know your location");
    case QWebEnginePage::Notifications: return QStringLiteral("show notifications");
    case QWebEnginePage::MediaAudioCapture: return QStringLiteral("use your microphone");
    case QWebEnginePage::MediaVideoCapture: return QStringLiteral("use your camera");
    case QWebEnginePage::MediaAudioVideoCapture:
        return QStringLiteral("use your camera and microphone");
    case QWebEnginePage::DesktopVideoCapture: return QStringLiteral("see your screen");
    case QWebEnginePage::DesktopAudioVideoCapture:
        return QStringLiteral("see your screen and hear its sound");
    case QWebEnginePage::MouseLock: return QStringLiteral("hide and lock your mouse pointer");
    }
    return QStringLiteral("use a feature of your computer");
}

void PagePermissions::requested(const QUrl &origin, QWebEnginePage::Feature feature)
{
    const Request request { origin, feature };
    const QVariant known = remembered(request);
    if (known.isValid() || !m_browser || m_browser->isClosing())
        return answer(request, known.toBool());
    m_waiting.append(request);
    // No question inside the engine's call: asked once it has returned.
    if (!m_asking)
        QTimer::singleShot(0, this, &PagePermissions::askNext);
}

void PagePermissions::askNext()
{
    if (m_asking || m_waiting.isEmpty())
        return;
    const Request request = m_waiting.first();
    const QVariant known = remembered(request);
    if (known.isValid()) {
        m_waiting.removeFirst();
        answer(request, known.toBool());
        return askNext();
    }
    m_asking = true;
    const QString site = PageDialogs::site(request.origin);
    QPointer<PagePermissions> self(this);
    m_browser->endFullScreen();
    const int reply = m_browser->prompter()->msgBox(
            m_browser, site + QStringLiteral(" wants to ") + what(request.feature)
                    + QStringLiteral(".\r\nAllow it?"),
            MsgBox::YesNoQuestion, site);
    if (!self)
        return; // the window and its page are gone: nothing waits for the answer
    m_asking = false;
    if (!m_browser || m_browser->isClosing())
        return refuseAll();
    remember(request, reply == MsgBox::Yes);
    // Everything waiting for the same answer gets it now.
    const QList<Request> waiting = std::exchange(m_waiting, {});
    for (const Request &r : waiting) {
        if (keyOf(r.origin, r.feature) == keyOf(request.origin, request.feature))
            answer(r, reply == MsgBox::Yes);
        else
            m_waiting.append(r);
    }
    if (!m_waiting.isEmpty())
        QTimer::singleShot(0, this, &PagePermissions::askNext);
}

void PagePermissions::refuseAll()
{
    const QList<Request> waiting = std::exchange(m_waiting, {});
    for (const Request &r : waiting)
        answer(r, false);
}

void PagePermissions::answer(const Request &request, bool granted)
{
    m_page->setFeaturePermission(request.origin, request.feature,
                                 granted ? QWebEnginePage::PermissionGrantedByUser
                                         : QWebEnginePage::PermissionDeniedByUser);
}

QVariant PagePermissions::remembered(const Request &request) const
{
    return m_page->profile()->property(AnswersProperty).toMap().value(
            keyOf(request.origin, request.feature));
}

void PagePermissions::remember(const Request &request, bool granted)
{
    QWebEngineProfile *profile = m_page->profile();
    QVariantMap answers = profile->property(AnswersProperty).toMap();
    answers.insert(keyOf(request.origin, request.feature), granted);
    profile->setProperty(AnswersProperty, answers);
}
