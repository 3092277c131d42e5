#include "browser/webengine/HangWatch.h"

#include "browser/webengine/PageHost.h"
#include "browser/webengine/PageQuestion.h"
#include "forms/Prompter.h"
#include "forms/Timings.h"

#include <QPointer>
#include <QTimer>
#include <QWebEnginePage>
#include <csignal>

HangWatch::HangWatch(QWebEnginePage *page, PageHost *host, QObject *parent)
    : QObject(parent), m_page(page), m_host(host), m_wait(new QTimer(this))
{
    m_wait->setSingleShot(true);
    m_wait->setInterval(host->timings().hungPageMs);
    connect(m_wait, &QTimer::timeout, this, &HangWatch::notAnswered);
    // A renderer that ended has nothing left to answer; a page that loaded has
    // answered, even when the document that was asked went with the load.
    const auto answered = [this] {
        m_pending = false;
        m_wait->stop();
    };
    connect(page, &QWebEnginePage::renderProcessTerminated, this, answered);
    connect(page, &QWebEnginePage::loadFinished, this, answered);
}

void HangWatch::check()
{
    // Asleep, or waiting on the user's answer to one of its questions, a page does
    // not answer and is not hung; nor is one whose renderer is yet to start (a new
    // window's first load), which answers only once it has loaded.
    if (m_pending || m_page->lifecycleState() != QWebEnginePage::LifecycleState::Active
        || IsViewHeld(m_host->view()) || m_page->renderProcessPid() <= 0)
        return;
    m_pending = true;
    const int probe = ++m_probe;
    QPointer<HangWatch> self(this);
    m_page->runJavaScript(QStringLiteral("0"), [self, probe](const QVariant &) {
        if (self && probe == self->m_probe) {
            self->m_pending = false;
            self->m_wait->stop();
        }
    });
    m_wait->start();
}

void HangWatch::notAnswered()
{
    if (!m_pending || m_host->isClosing())
        return;
    if (IsViewHeld(m_host->view())) // a question of its own came up meanwhile
        return m_wait->start();
    const qint64 renderer = m_page->renderProcessPid();
    const int probe = m_probe;
    bool end = false;
    const QString text = SiteName(m_page->url()) + QStringLiteral(" is not responding. Stop it?");
    if (!AskForPage(m_host, [&] {
            end = m_host->prompter()->msgBox(m_host->widget(), text, MsgBox::YesNoQuestion,
                                             QStringLiteral("Not responding"))
                    == MsgBox::Yes;
        }))
        return;
    const bool hung = m_pending && probe == m_probe; // not if it answered meanwhile
    m_pending = false;
    ++m_probe; // a later request checks anew
    // The renderer goes, with every page it drew: each shows what a crash shows, and
    // a reload starts a new one.
    if (end && hung && renderer > 0 && renderer == m_page->renderProcessPid())
        ::kill(pid_t(renderer), SIGKILL);
}
