#pragma once

#include <QList>
#include <QObject>
#include <QUrl>

class PageHost;
class QWebEnginePage;

// Addresses for other programs (mailto:, tel:, irc:, ...): the user is asked
// before the desktop's handler gets one; the status bar says when none exists.
class ExternalLinks : public QObject
{
    Q_OBJECT
public:
    ExternalLinks(QWebEnginePage *page, PageHost *host, QObject *parent);

    // True for a scheme that the engine does not load itself.
    static bool isForOtherProgram(const QUrl &url);
    // Never handed on, whatever asks: they would run or open something here.
    static bool isRefused(const QUrl &url);
    // Asks once the engine's call has returned; an address already waiting for
    // its answer is not asked about twice.
    void request(const QUrl &url, const QUrl &from);

private:
    void ask(const QUrl &url, const QUrl &from);

    PageHost *m_host;
    QList<QUrl> m_pending;
    QString m_status; // what became of the latest address
};
