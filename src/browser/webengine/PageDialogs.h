#pragma once

#include "forms/PageDialog.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QUrl>

class QWebEnginePage;
class WebEngineBrowser;

// A page's alert, confirm, prompt and leave-page dialogs, through the prompter.
// A page that raises them in a row is offered to be stopped; once stopped, its
// dialogs are answered without a word until it loads again.
class PageDialogs : public QObject
{
    Q_OBJECT
public:
    PageDialogs(QWebEnginePage *page, WebEngineBrowser *browser);

    void alert(const QUrl &origin, const QString &text);
    bool confirm(const QUrl &origin, const QString &text);
    bool prompt(const QUrl &origin, const QString &text, const QString &value, QString *result);

    bool stopped() const { return m_stopped; }
    // "scheme://host[:port]", what a question names the site by.
    static QString site(const QUrl &url);

    // Dialogs closer together than this are in a row.
    static constexpr qint64 RowGapMs = 3000;
    static constexpr int OfferAt = 3;

private:
    bool ask(PageDialog *dialog);

    QPointer<WebEngineBrowser> m_browser;
    QElapsedTimer m_clock;
    qint64 m_lastEnd = -1;
    int m_row = 0;
    bool m_stopped = false;
};
