#pragma once

#include <QList>
#include <QObject>
#include <QUrl>
#include <QWebEnginePage>

class PageHost;
class WebEngineProfile;

// A site's requests for a device or feature (location, notifications, camera,
// microphone, screen, pointer lock): a Yes/No question naming the site and what it
// wants, the answer remembered per site and feature for as long as the program runs.
// Every request is answered; a window that closes refuses what is still waiting.
class PagePermissions : public QObject
{
    Q_OBJECT
public:
    PagePermissions(QWebEnginePage *page, PageHost *host, WebEngineProfile *profile,
                    QObject *parent);

    // Refuses every request still waiting for its question.
    void refuseAll();

    // What the question says the site asks for ("know your location", ...).
    static QString what(QWebEnginePage::Feature feature);

private:
    struct Request
    {
        QUrl origin;
        QWebEnginePage::Feature feature;
        bool operator==(const Request &other) const;
    };
    void requested(const QUrl &origin, QWebEnginePage::Feature feature);
    void askNext();
    void answer(const Request &request, bool granted);

    QWebEnginePage *m_page;
    PageHost *m_host;
    WebEngineProfile *m_profile;
    QList<Request> m_waiting;
    bool m_asking = false;
};
