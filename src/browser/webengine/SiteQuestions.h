#pragma once

#include <QObject>
#include <QSet>
#include <QString>

class PageHost;
class QAuthenticator;
class QUrl;
class QWebEngineCertificateError;
class QWebEnginePage;

// What a site asks of the user through the engine: a login for the site or its
// proxy, and whether to go on to a site whose certificate is not trusted.
class SiteQuestions : public QObject
{
    Q_OBJECT
public:
    SiteQuestions(QWebEnginePage *page, PageHost *host, QObject *parent);

private:
    void login(const QUrl &url, QAuthenticator *auth, const QString &asker);
    void certificate(const QWebEngineCertificateError &error);
    void answerCertificate(QWebEngineCertificateError error);

    PageHost *m_host;
    QSet<QString> m_tried; // site and realm of each login answered
};
