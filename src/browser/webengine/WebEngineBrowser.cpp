#include "browser/webengine/WebEngineBrowser.h"

#include "browser/webengine/SiteQuestions.h"
#include "browser/webengine/WebEnginePage.h"
#include "browser/webengine/WebEngineProfile.h"
#include "forms/Prompter.h"

#include <QDataStream>
#include <QFileInfo>
#include <QPointer>
#include <QPrinter>
#include <QVBoxLayout>
#include <QWebEngineHistory>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>

WebEngineBrowser::WebEngineBrowser(QWidget *parent, Prompter *prompter, WebEngineProfile *profile)
    : WebBrowser(parent), m_prompter(prompter), m_profile(profile), m_view(new QWebEngineView(this))
{
    setObjectName(QStringLiteral("wb"));
    setAccessibleName(QStringLiteral("wb"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);

    // The page belongs to its view; both go before the profile does.
    auto *page = new WebEnginePage(profile->profile(), this, m_view);
    // Every request for a window must reach our prompt: the engine's own popup
    // blocking stays off.
    page->settings()->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, true);
    m_view->setPage(page);
    m_site = new SiteQuestions(page, prompter, this);

    connect(page, &QWebEnginePage::linkHovered, this, &WebBrowser::StatusTextChange);
    connect(page, &QWebEnginePage::loadStarted, this, [this] {
        m_rendererGone = false;
        emit StatusTextChange(QStringLiteral("Opening ") + LocationURL());
        emit ProgressChange(0, 100);
    });
    connect(page, &QWebEnginePage::loadProgress, this,
            [this](int progress) { emit ProgressChange(progress, 100); });
    connect(page, &QWebEnginePage::titleChanged, this, &WebBrowser::TitleChange);
    connect(page, &QWebEnginePage::loadFinished, this, [this](bool) {
        emit ProgressChange(100, 100);
        // A load cut short by a dead renderer keeps the word of its end.
        if (!m_rendererGone)
            emit StatusTextChange(m_site->refusal().isEmpty() ? m_profile->doneText()
                                                              : m_site->refusal());
        emit DocumentComplete(this, LocationURL());
    });
    connect(page, &QWebEnginePage::renderProcessTerminated, this,
            [this](QWebEnginePage::RenderProcessTerminationStatus status, int) {
                if (status == QWebEnginePage::NormalTerminationStatus)
                    return;
                m_rendererGone = true;
                emit RendererGone(status == QWebEnginePage::KilledTerminationStatus
                                          ? QStringLiteral("was killed")
                                          : status == QWebEnginePage::CrashedTerminationStatus
                                          ? QStringLiteral("crashed")
                                          : QStringLiteral("ended abnormally"));
            });
    // The Back/Forward list moves with the address and the load, and keeps titles.
    const auto moved = [this] { m_historySaved = false; };
    connect(page, &QWebEnginePage::urlChanged, this, moved);
    connect(page, &QWebEnginePage::titleChanged, this, moved);
    connect(page, &QWebEnginePage::loadFinished, this, moved);
    connect(page, &QWebEnginePage::windowCloseRequested, this, [this] {
        // A page's own window.close() closes the browser window that shows it,
        // once the engine's handler has returned.
        if (QWidget *form = parentWidget())
            QMetaObject::invokeMethod(form, "Unload", Qt::QueuedConnection);
    });
}

WebEngineBrowser::~WebEngineBrowser()
{
    delete m_printer;
}

QWebEnginePage *WebEngineBrowser::page() const
{
    return m_view->page();
}

void WebEngineBrowser::Navigate(const QString &address)
{
    m_view->load(QUrl::fromUserInput(address));
}

void WebEngineBrowser::GoBack()
{
    m_view->back();
}

void WebEngineBrowser::GoForward()
{
    m_view->forward();
}

void WebEngineBrowser::Stop()
{
    m_view->stop();
}

void WebEngineBrowser::GoHome()
{
    m_view->load(QUrl(QStringLiteral("about:blank")));
}

void WebEngineBrowser::Refresh()
{
    m_view->reload();
}

void WebEngineBrowser::ExecWB(int command, int)
{
    switch (command) {
    case SaveAs: saveAs(); break;
    case Print: print(); break;
    case Find: find(); break;
    case Properties: properties(); break;
    default: break;
    }
}

QString WebEngineBrowser::LocationURL() const
{
    return m_view->url().toString();
}

QString WebEngineBrowser::documentUrl() const
{
    return page()->url().toString();
}

QByteArray WebEngineBrowser::saveHistory() const
{
    if (!m_historySaved) {
        m_savedHistory.clear();
        QDataStream out(&m_savedHistory, QIODevice::WriteOnly);
        out << *page()->history();
        m_historySaved = true;
    }
    return m_savedHistory;
}

bool WebEngineBrowser::restoreHistory(const QByteArray &bytes)
{
    QDataStream in(bytes);
    in >> *page()->history();
    return in.status() == QDataStream::Ok && page()->history()->count() > 0;
}

void WebEngineBrowser::saveAs()
{
    QString suggested = QFileInfo(page()->url().path()).fileName();
    if (suggested.isEmpty())
        suggested = QStringLiteral("page.html");
    const QString path = m_prompter->saveFileName(this, QStringLiteral("Save.."), suggested);
    if (!path.isEmpty())
        page()->save(path, QWebEngineDownloadRequest::SingleHtmlSaveFormat);
}

void WebEngineBrowser::print()
{
    if (m_printer)
        return; // one print job at a time
    auto *printer = new QPrinter(QPrinter::HighResolution);
    if (!m_prompter->choosePrinter(this, printer)) {
        delete printer;
        return;
    }
    m_printer = printer;
    connect(m_view, &QWebEngineView::printFinished, this, [this](bool) {
        delete m_printer;
        m_printer = nullptr;
    }, Qt::SingleShotConnection);
    m_view->print(m_printer);
}

void WebEngineBrowser::find()
{
    bool ok = false;
    const QString text = m_prompter->askText(this, QStringLiteral("Find"),
                                             QStringLiteral("Find what:"), &ok);
    if (ok)
        page()->findText(text);
}

void WebEngineBrowser::properties()
{
    const QUrl url = page()->url();
    QPointer<WebEngineBrowser> self(this);
    page()->runJavaScript(QStringLiteral("document.contentType"), [self, url](const QVariant &v) {
        if (!self)
            return;
        const QString type = v.toString().isEmpty() ? QStringLiteral("unknown") : v.toString();
        const QString text = QStringLiteral("Title: ") + self->page()->title()
                + QStringLiteral("\nAddress: ") + url.toString()
                + QStringLiteral("\nProtocol: ") + url.scheme()
                + QStringLiteral("\nType: ") + type;
        self->m_prompter->msgBox(self, text, 0, QStringLiteral("Properties"));
    });
}
