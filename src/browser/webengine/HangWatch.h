#pragma once

#include <QObject>

class PageHost;
class QTimer;
class QWebEnginePage;

// A page whose script never returns (a loop, or dialogs it may no longer show) takes
// no Stop and no new address. Whenever the user asks something of the page, it must
// answer within a few seconds; if it does not, the user is offered to end it.
class HangWatch : public QObject
{
public:
    HangWatch(QWebEnginePage *page, PageHost *host, QObject *parent);
    // The user asked something of the page: Stop, Esc, a new address, a reload.
    void check();

private:
    void notAnswered();

    QWebEnginePage *m_page;
    PageHost *m_host;
    QTimer *m_wait;
    int m_probe = 0;       // the check under way; an older answer is late
    bool m_pending = false;
};
