#include "browser/webengine/PageDialogs.h"

#include "browser/webengine/PageHost.h"
#include "forms/Prompter.h"
#include "forms/Timings.h"

#include <QCoreApplication>
#include <QPointer>
#include <QWebEnginePage>

namespace {
// The engine asks "leave this page?" as a confirm with this text of its own.
QString leaveText()
{
    return QCoreApplication::translate("QWebEnginePage",
            "Are you sure you want to leave this page? Changes that you made may not be saved.");
}
} // namespace

PageDialogs::PageDialogs(QWebEnginePage *page, PageHost *host, QObject *parent)
    : QObject(parent), m_host(host), m_row(host->timings().questionRowGapMs)
{
    connect(page, &QWebEnginePage::loadStarted, this, [this] {
        m_stopped = false;
        m_row.reset();
    });
}

void PageDialogs::alert(const QUrl &origin, const QString &text)
{
    PageDialog dialog { PageDialog::Alert, SiteName(origin), text };
    ask(&dialog);
}

bool PageDialogs::confirm(const QUrl &origin, const QString &text)
{
    if (text == leaveText()) {
        PageDialog dialog { PageDialog::Leave, SiteName(origin),
                            QStringLiteral("Leave this page? Changes you made may not be saved.") };
        // A page whose dialogs are stopped, or whose window is going, is left:
        // it must not keep the user.
        if (m_stopped || m_host->isClosing())
            return true;
        QPointer<PageDialogs> self(this);
        const bool asked = ask(&dialog);
        if (!self) // the window went meanwhile
            return true;
        const bool leave = asked || m_stopped;
        m_host->leaveAnswered(leave);
        return leave;
    }
    PageDialog dialog { PageDialog::Confirm, SiteName(origin), text };
    return ask(&dialog);
}

bool PageDialogs::prompt(const QUrl &origin, const QString &text, const QString &value,
                         QString *result)
{
    PageDialog dialog { PageDialog::Prompt, SiteName(origin), text, value };
    if (!ask(&dialog))
        return false;
    *result = dialog.value;
    return true;
}

bool PageDialogs::ask(PageDialog *dialog)
{
    if (m_stopped)
        return false;
    const qint64 at = QuestionRow::now();
    dialog->offerStop = m_row.lengthAt(at) + 1 >= OfferAt;
    bool ok = false;
    QPointer<PageDialogs> self(this);
    // The engine waits inside this call for the answer: the window may close
    // meanwhile, but the view and its page stay until the call has returned.
    if (!AskForPage(m_host, [&] { ok = m_host->prompter()->pageDialog(m_host->widget(), dialog); })
        || !self)
        return false;
    m_row.answered(at);
    m_stopped = dialog->stop;
    return ok;
}
