#pragma once

#include "browser/webengine/PageQuestion.h"
#include "forms/PageDialog.h"

#include <QObject>

class PageHost;
class QUrl;
class QWebEnginePage;

// A page's alert, confirm, prompt and leave-page dialogs, through the prompter.
// A page that raises them in a row is offered to be stopped; once stopped, its
// dialogs are answered without a word until it loads again.
class PageDialogs : public QObject
{
    Q_OBJECT
public:
    PageDialogs(QWebEnginePage *page, PageHost *host, QObject *parent);

    void alert(const QUrl &origin, const QString &text);
    bool confirm(const QUrl &origin, const QString &text);
    bool prompt(const QUrl &origin, const QString &text, const QString &value, QString *result);

    bool stopped() const { return m_stopped; }

    // From the third dialog in a row, the user is offered to stop them.
    static constexpr int OfferAt = 3;

private:
    bool ask(PageDialog *dialog);

    PageHost *m_host;
    QuestionRow m_row;
    bool m_stopped = false;
};
