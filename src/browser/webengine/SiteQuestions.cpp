#include "browser/webengine/SiteQuestions.h"

#include "browser/webengine/PageHost.h"
#include "browser/webengine/PageQuestion.h"
#include "forms/Prompter.h"

#include <QAuthenticator>
#include <QPointer>
#include <QTimer>
#include <QWebEngineCertificateError>
#include <QWebEnginePage>

namespace {

QString reasonText(const QWebEngineCertificateError &error)
{
    switch (error.type()) {
    case QWebEngineCertificateError::CertificateAuthorityInvalid:
        return QStringLiteral("it was issued by an unknown authority, or by the site itself");
    case QWebEngineCertificateError::CertificateDateInvalid:
        return QStringLiteral("it has expired or is not valid yet");
    case QWebEngineCertificateError::CertificateCommonNameInvalid:
        return QStringLiteral("it was issued for another name than this site's");
    case QWebEngineCertificateError::CertificateRevoked:
        return QStringLiteral("it has been revoked");
    default:
        return error.description();
    }
}

} // namespace

SiteQuestions::SiteQuestions(QWebEnginePage *page, PageHost *host, QObject *parent)
    : QObject(parent), m_host(host)
{
    connect(page, &QWebEnginePage::authenticationRequired, this,
            [this](const QUrl &url, QAuthenticator *auth) { login(url, auth, QString()); });
    connect(page, &QWebEnginePage::proxyAuthenticationRequired, this,
            [this](const QUrl &url, QAuthenticator *auth, const QString &proxy) {
                login(url, auth, proxy);
            });
    connect(page, &QWebEnginePage::certificateError, this, &SiteQuestions::certificate);
}

// The engine reads the answer when this returns, so the question is asked here;
// checked on the real engine, also when the window closes while it is open. One
// answer, one request: the engine asks again only when the server refuses it.
void SiteQuestions::login(const QUrl &url, QAuthenticator *auth, const QString &proxy)
{
    const QString site = SiteName(url);
    const QString key = proxy + QLatin1Char('\n') + site + QLatin1Char('\n') + auth->realm();
    QString text = proxy.isEmpty()
            ? QStringLiteral("The site %1 asks for a name and a password.").arg(site)
            : QStringLiteral("The proxy %1 asks for a name and a password to reach %2.")
                      .arg(proxy, site);
    if (!auth->realm().isEmpty())
        text += QStringLiteral("\nRealm: ") + auth->realm();
    if (m_tried.contains(key))
        text = QStringLiteral("That name and password were refused.\n") + text;
    QString user, password;
    bool ok = false;
    QPointer<SiteQuestions> self(this);
    const bool heard = AskForPage(m_host, [&] {
        ok = m_host->prompter()->askLogin(m_host->widget(), QStringLiteral("Log in"), text, &user,
                                          &password);
    });
    if (!heard || !ok || !self) {
        *auth = QAuthenticator(); // cancelled: the page shows the server's refusal
        return;
    }
    m_tried.insert(key);
    auth->setUser(user);
    auth->setPassword(password);
}

void SiteQuestions::certificate(const QWebEngineCertificateError &error)
{
    // Asked once the engine's call has returned; the load waits for the answer.
    QWebEngineCertificateError deferred = error;
    deferred.defer();
    QTimer::singleShot(0, this, [this, deferred] { answerCertificate(deferred); });
}

void SiteQuestions::answerCertificate(QWebEngineCertificateError error)
{
    const QString site = SiteName(error.url());
    const QString reason = reasonText(error);
    const QString refusal =
            QStringLiteral("Not opened: the certificate of %1 is not trusted (%2)").arg(site, reason);
    QPointer<SiteQuestions> self(this);
    MsgBox::Answer answer = MsgBox::No;
    const bool heard = AskForPage(m_host, [&] {
        if (!error.isOverridable()) {
            m_host->prompter()->msgBox(m_host->widget(), refusal + QLatin1Char('.'),
                                       MsgBox::Critical, QStringLiteral("Untrusted site"));
            return;
        }
        answer = m_host->prompter()->msgBox(
                m_host->widget(),
                QStringLiteral("The certificate of %1 is not trusted: %2.\n\nSomeone may be "
                               "posing as this site to read what you send it.\n\nGo on to %1 "
                               "anyway? Orvane will trust this certificate until it is closed.")
                        .arg(site, reason),
                MsgBox::YesNoExclamation | MsgBox::SecondDefault, QStringLiteral("Untrusted site"));
    });
    if (!self)
        return; // the window went; the engine drops the request with it
    if (heard && answer == MsgBox::Yes)
        return error.acceptCertificate();
    error.rejectCertificate();
    if (heard)
        m_host->showRefusal(refusal);
}
