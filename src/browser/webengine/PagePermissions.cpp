#include "browser/webengine/PagePermissions.h"

#include "browser/webengine/PageHost.h"
#include "browser/webengine/PageQuestion.h"
#include "browser/webengine/WebEngineProfile.h"
#include "forms/Prompter.h"

#include <QPointer>
#include <QTimer>

PagePermissions::PagePermissions(QWebEnginePage *page, PageHost *host, WebEngineProfile *profile,
                                 QObject *parent)
    : QObject(parent), m_page(page), m_host(host), m_profile(profile)
{
    connect(page, &QWebEnginePage::featurePermissionRequested, this, &PagePermissions::requested);
    connect(page, &QWebEnginePage::featurePermissionRequestCanceled, this,
            [this](const QUrl &origin, QWebEnginePage::Feature feature) {
                m_waiting.removeAll(Request { origin, feature });
            });
}

// One answer serves every request of the same site for the same feature.
bool PagePermissions::Request::operator==(const Request &other) const
{
    return feature == other.feature && SiteName(origin) == SiteName(other.origin);
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
    const std::optional<bool> known = m_profile->permission(SiteName(origin), int(feature));
    if (known || m_host->isClosing())
        return answer(request, known.value_or(false));
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
    const QString site = SiteName(request.origin);
    if (const std::optional<bool> known = m_profile->permission(site, int(request.feature))) {
        m_waiting.removeFirst();
        answer(request, *known);
        return askNext();
    }
    m_asking = true;
    QPointer<PagePermissions> self(this);
    MsgBox::Answer reply = MsgBox::No;
    const bool heard = AskForPage(m_host, [&] {
        reply = m_host->prompter()->msgBox(m_host->widget(),
                                           site + QStringLiteral(" wants to ") + what(request.feature)
                                                   + QStringLiteral(".\r\nAllow it?"),
                                           MsgBox::YesNoQuestion, site);
    });
    if (!self)
        return; // the window and its page are gone: nothing waits for the answer
    m_asking = false;
    if (!heard)
        return refuseAll();
    m_profile->setPermission(site, int(request.feature), reply == MsgBox::Yes);
    // Everything waiting for the same answer gets it now.
    const QList<Request> waiting = std::exchange(m_waiting, {});
    for (const Request &r : waiting) {
        if (r == request)
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
