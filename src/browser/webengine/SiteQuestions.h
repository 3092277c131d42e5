#pragma once

#include <QObject>
#include <QSet>
#include <QString>

class Prompter;
class QAuthenticator;
class QUrl;
class QWebEngineCertificateError;
class QWebEnginePage;
class WebBrowser;

// What a site asks of the user through the engine: a login for the site or its
// proxy, and whether to go on to a site whose certificate is not trusted.
class SiteQuestions : public QObject
{
    Q_OBJECT
public:
    SiteQuestions(QWebEnginePage *page, Prompter *prompter, WebBrowser *browser);

    // Why the page now loading was refused, for the status bar; empty if it was not.
    QString refusal() const { return m_refusal; }

private:
    void login(const QUrl &url, QAuthenticator *auth, const QString &asker);
    void certificate(const QWebEngineCertificateError &error);
    void answerCertificate(QWebEngineCertificateError error);

    Prompter *m_prompter;
    WebBrowser *m_browser;
    QString m_refusal;
    QSet<QString> m_tried; // site and realm of each login answered
};

// The site's name and port as the user knows it.
QString SiteName(const QUrl &url);
