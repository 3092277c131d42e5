#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QUrl>
#include <QWebEnginePage>

class WebEngineBrowser;

// A site's requests for a device or feature (location, notifications, camera,
// microphone, screen, pointer lock): a Yes/No question naming the site and what it
// wants, the answer remembered per site for as long as the program runs. Every
// request is answered; a window that closes refuses what is still waiting.
class PagePermissions : public QObject
{
    Q_OBJECT
public:
    PagePermissions(QWebEnginePage *page, WebEngineBrowser *browser);

    // Refuses every request still waiting for its question.
    void refuseAll();

    // What the question says the site asks for ("know your location", ...).
    static QString what(QWebEnginePage::Feature feature);

private:
    struct Request
    {
        QUrl origin;
        QWebEnginePage::Feature feature;
    };
    void requested(const QUrl &origin, QWebEnginePage::Feature feature);
    void askNext();
    void answer(const Request &request, bool granted);
    // The run's answers live with the profile: every window of it shares them.
    QVariant remembered(const Request &request) const;
    void remember(const Request &request, bool granted);

    QWebEnginePage *m_page;
    QPointer<WebEngineBrowser> m_browser;
    QList<Request> m_waiting;
    bool m_asking = false;
};
