#include "browser/webengine/ExternalLinks.h"

#include "browser/webengine/PageHost.h"
#include "browser/webengine/PageQuestion.h"
#include "forms/Prompter.h"

#include <QDesktopServices>
#include <QPointer>
#include <QTimer>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>

ExternalLinks::ExternalLinks(QWebEnginePage *page, PageHost *host, QObject *parent)
    : QObject(parent), m_host(host)
{
    // The engine ends a refused address as a stopped load, whose "Done" must not
    // hide what became of the address.
    connect(page, &QWebEnginePage::loadingChanged, this,
            [this](const QWebEngineLoadingInfo &info) {
                if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus
                    || !isForOtherProgram(info.url()) || m_status.isEmpty())
                    return;
                QTimer::singleShot(0, this, [this] { m_host->showStatus(m_status); });
            });
}

bool ExternalLinks::isForOtherProgram(const QUrl &url)
{
    static const QStringList engine = {
        QStringLiteral("http"), QStringLiteral("https"), QStringLiteral("file"),
        QStringLiteral("data"), QStringLiteral("about"), QStringLiteral("blob"),
        QStringLiteral("ws"), QStringLiteral("wss"), QStringLiteral("qrc"),
        QStringLiteral("view-source"), QStringLiteral("chrome"), QStringLiteral("devtools"),
        QStringLiteral("filesystem"), QStringLiteral("javascript"),
    };
    return !url.scheme().isEmpty() && !engine.contains(url.scheme().toLower());
}

bool ExternalLinks::isRefused(const QUrl &url)
{
    // javascript:, file: and data: are the engine's own, so never handed on.
    return url.scheme().toLower() == QLatin1String("vbscript") || !isForOtherProgram(url);
}

void ExternalLinks::request(const QUrl &url, const QUrl &from)
{
    if (isRefused(url) || m_pending.contains(url))
        return;
    m_pending.append(url);
    m_status.clear();
    QTimer::singleShot(0, this, [this, url, from] { ask(url, from); });
}

void ExternalLinks::ask(const QUrl &url, const QUrl &from)
{
    const QString site = SiteName(from);
    const QString address = url.toString();
    QPointer<ExternalLinks> self(this);
    MsgBox::Answer reply = MsgBox::No;
    const bool heard = AskForPage(m_host, [&] {
        reply = m_host->prompter()->msgBox(
                m_host->widget(),
                (from.isEmpty() || site == QLatin1String(":") ? QStringLiteral("This page") : site)
                        + QStringLiteral(" wants to open this address with another program:\r\n")
                        + address + QStringLiteral("\r\nOpen it?"),
                MsgBox::YesNoQuestion, QStringLiteral("Open another program"));
    });
    if (!self)
        return;
    m_pending.removeAll(url);
    if (!heard || reply != MsgBox::Yes)
        return;
    m_status = QDesktopServices::openUrl(url)
            ? QStringLiteral("Opened with another program: ") + address
            : QStringLiteral("No program is set up to open %1: addresses.").arg(url.scheme());
    m_host->showStatus(m_status);
}
