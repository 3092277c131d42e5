#pragma once

#include <QObject>
#include <QPointer>
#include <QUrl>

class WebEngineBrowser;

// Addresses for other programs (mailto:, tel:, irc:, ...): the user is asked
// before the desktop's handler gets one; the status bar says when none exists.
class ExternalLinks : public QObject
{
    Q_OBJECT
public:
    explicit ExternalLinks(WebEngineBrowser *browser);

    // True for a scheme that the engine does not load itself.
    static bool isForOtherProgram(const QUrl &url);
    // Never handed on, whatever asks: they would run or open something here.
    static bool isRefused(const QUrl &url);
    // Asks once the engine's call has returned.
    void request(const QUrl &url, const QUrl &from);

private:
    void ask(const QUrl &url, const QUrl &from);

    QPointer<WebEngineBrowser> m_browser;
    QList<QUrl> m_pending;
    QString m_status; // what became of the latest address
};
