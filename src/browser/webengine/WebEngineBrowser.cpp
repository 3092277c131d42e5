#include "browser/webengine/WebEngineBrowser.h"

#include "browser/webengine/DownloadJob.h"
#include "browser/webengine/DownloadManager.h"
#include "browser/webengine/ExternalLinks.h"
#include "browser/webengine/FindBar.h"
#include "browser/webengine/FullScreenWindow.h"
#include "browser/webengine/HangWatch.h"
#include "browser/webengine/OutOfSight.h"
#include "browser/webengine/PagePermissions.h"
#include "browser/webengine/PageQuestion.h"
#include "browser/webengine/SiteQuestions.h"
#include "browser/webengine/WebEnginePage.h"
#include "browser/webengine/WebEngineProfile.h"
#include "forms/Prompter.h"

#include <QAction>
#include <QApplication>
#include <QChildEvent>
#include <QDataStream>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPointer>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEngineFullScreenRequest>
#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>

WebEngineBrowser::WebEngineBrowser(QWidget *parent, Prompter *prompter, WebEngineProfile *profile)
    : WebBrowser(parent), m_prompter(prompter), m_profile(profile),
      m_view(new QWebEngineView(this)), m_sleep(new QTimer(this)), m_leaveWait(new QTimer(this))
{
    setObjectName(QStringLiteral("wb"));
    setAccessibleName(QStringLiteral("wb"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);

    // The page belongs to its view; both go before the profile does.
    auto *page = new WebEnginePage(profile->profile(), this, this, m_view);
    // Every request for a window must reach our prompt: the engine's own popup
    // blocking stays off.
    page->settings()->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, true);
    page->settings()->setAttribute(QWebEngineSettings::FullScreenSupportEnabled, true);
    // A PDF shows in the window, in the engine's own viewer, rather than downloading.
    page->settings()->setAttribute(QWebEngineSettings::PluginsEnabled, true);
    page->settings()->setAttribute(QWebEngineSettings::PdfViewerEnabled, true);
    m_view->setPage(page);
    // F3 and Shift+F3 step through the matches from the page as from the bar.
    for (bool back : { false, true }) {
        auto *step = new QAction(this);
        step->setShortcut(back ? QKeySequence(Qt::SHIFT | Qt::Key_F3) : QKeySequence(Qt::Key_F3));
        step->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        connect(step, &QAction::triggered, this, [this, back] { findBar()->step(back); });
        addAction(step);
    }
    profile->downloads()->watch(page);
    new SiteQuestions(page, this, this);
    m_externalLinks = new ExternalLinks(page, this, this);
    m_hangWatch = new HangWatch(page, this, this);
    m_permissions = new PagePermissions(page, this, profile, this);

    connect(page, &QWebEnginePage::fullScreenRequested, this,
            [this](QWebEngineFullScreenRequest request) {
                if (!request.toggleOn()) {
                    request.accept();
                    return leaveFullScreen();
                }
                if (m_closing)
                    return request.reject();
                request.accept();
                if (!m_fullScreen)
                    m_fullScreen = new FullScreenWindow(m_view);
            });
    connect(page, &QWebEnginePage::pdfPrintingFinished, this,
            [this](const QString &file, bool ok) { printed(ok, file); });
    connect(m_view, &QWebEngineView::printFinished, this, [this](bool ok) {
        const QString name = !m_printer ? QString()
                : m_printer->outputFileName().isEmpty() ? m_printer->printerName()
                                                        : m_printer->outputFileName();
        delete m_printer;
        m_printer = nullptr;
        printed(ok, name);
    });

    connect(page, &QWebEnginePage::linkHovered, this, &WebBrowser::StatusTextChange);
    connect(page, &QWebEnginePage::loadStarted, this, [this] {
        m_rendererGone = false;
        m_refusal.clear();
        emit ProgressChange(0, 100);
    });
    // The address being opened, not the one shown until it commits.
    connect(page, &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo &load) {
        if (load.status() == QWebEngineLoadingInfo::LoadStartedStatus)
            emit StatusTextChange(QStringLiteral("Opening ") + load.url().toString());
    });
    connect(page, &QWebEnginePage::loadProgress, this,
            [this](int progress) { emit ProgressChange(progress, 100); });
    connect(page, &QWebEnginePage::titleChanged, this, &WebBrowser::TitleChange);
    connect(page, &QWebEnginePage::loadFinished, this, [this](bool) {
        emit ProgressChange(100, 100);
        // A load cut short by a dead renderer keeps the word of its end.
        if (!m_rendererGone)
            emit StatusTextChange(m_refusal.isEmpty() ? m_profile->doneText() : m_refusal);
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
    // The Back/Forward list moves with the address and the load, and keeps titles. It is
    // saved again soon after, window by window: the journal takes every window's at
    // once, and must not find them all to be saved at that moment.
    const auto moved = [this] {
        m_historySaved = false;
        if (!std::exchange(m_historyDue, true))
            QTimer::singleShot(0, this, [this] {
                m_historyDue = false;
                saveHistory();
            });
    };
    connect(page, &QWebEnginePage::urlChanged, this, moved);
    // Kept as text: the engine's own answer is made anew from its address at every call.
    connect(page, &QWebEnginePage::urlChanged, this,
            [this](const QUrl &url) { m_address = url.toString(); });
    connect(page, &QWebEnginePage::titleChanged, this, moved);
    connect(page, &QWebEnginePage::loadFinished, this, moved);
    m_sleep->setSingleShot(true);
    m_sleep->setInterval(profile->timings().hiddenSleepMs);
    connect(m_sleep, &QTimer::timeout, this, [this] {
        m_sleepDue = true;
        trySleep();
    });
    // What kept it awake may have ended: a sound, a download, a question.
    connect(page, &QWebEnginePage::recommendedStateChanged, this, &WebEngineBrowser::trySleep);
    connect(page, &WebEnginePage::linkEnded, this, &WebEngineBrowser::linkEnded);
    // The user's input reaches the page through the view's children.
    m_view->installEventFilter(this);
    for (QObject *child : m_view->children())
        child->installEventFilter(this);
    m_leaveWait->setSingleShot(true);
    m_leaveWait->setInterval(profile->timings().leaveAnswerMs);
    connect(m_leaveWait, &QTimer::timeout, this, [this] {
        // Its question is open: the user decides, however long that takes.
        if (IsViewHeld(m_view))
            return m_leaveWait->start();
        leaveDecided(true);
    });
    connect(page, &QWebEnginePage::windowCloseRequested, this, [this] {
        if (m_leave) // the window goes once the engine's handler has returned
            return QTimer::singleShot(0, this, [this] { leaveDecided(true); });
        // A page's own window.close() closes the browser window that shows it,
        // once the engine's handler has returned.
        if (QWidget *form = parentWidget())
            QMetaObject::invokeMethod(form, "Unload", Qt::QueuedConnection);
    });
}

WebEngineBrowser::~WebEngineBrowser()
{
    delete m_fullScreen; // the view comes back first
    delete m_printer;
    // A page call still waiting on the user keeps the view (and its page) alive;
    // the last such call deletes it.
    if (IsViewHeld(m_view)) {
        m_view->hide();
        m_view->setParent(nullptr);
    }
    // A close that waited on the page goes on, once this view has gone.
    if (m_leave)
        QTimer::singleShot(0, qApp, [answer = std::move(m_leave)] { answer(true); });
}

bool WebEngineBrowser::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::ChildAdded: // the widget the page draws in comes once it has a renderer
        if (watched == m_view)
            static_cast<QChildEvent *>(event)->child()->installEventFilter(this);
        break;
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape)
            m_hangWatch->check();
        Q_FALLTHROUGH();
    case QEvent::MouseButtonPress:
    case QEvent::TouchBegin:
        m_touched = true;
        break;
    default:
        break;
    }
    return WebBrowser::eventFilter(watched, event);
}

void WebEngineBrowser::askToLeave(std::function<void(bool leave)> answer)
{
    if (m_leave) // asked already: the first answer serves both
        m_leave = [first = std::move(m_leave), answer = std::move(answer)](bool leave) {
            first(leave);
            answer(leave);
        };
    else
        m_leave = std::move(answer);
    if (page()->lifecycleState() != QWebEnginePage::LifecycleState::Active)
        page()->setLifecycleState(QWebEnginePage::LifecycleState::Active);
    m_leaveWait->start();
    page()->triggerAction(QWebEnginePage::RequestClose);
}

void WebEngineBrowser::leaveAnswered(bool leave)
{
    // Leaving is confirmed by the engine's close request; staying only here.
    if (m_leave && !leave && !m_closing)
        QTimer::singleShot(0, this, [this] { leaveDecided(false); });
}

void WebEngineBrowser::leaveDecided(bool leave)
{
    m_leaveWait->stop();
    if (auto answer = std::exchange(m_leave, nullptr))
        answer(leave);
}

const Timings &WebEngineBrowser::timings() const
{
    return m_profile->timings();
}

void WebEngineBrowser::showStatus(const QString &text)
{
    emit StatusTextChange(text);
}

void WebEngineBrowser::showRefusal(const QString &text)
{
    m_refusal = text;
    emit StatusTextChange(text);
}

QWebEnginePage *WebEngineBrowser::openWindow()
{
    QObject *target = nullptr;
    bool cancel = false;
    QPointer<WebEngineBrowser> self(this);
    emit NewWindow2(&target, &cancel);
    if (!self || cancel || !target)
        return nullptr;
    auto *other = qobject_cast<WebEngineBrowser *>(target);
    return other ? other->page() : nullptr;
}

void WebEngineBrowser::openElsewhere(const QUrl &url, const QUrl &from)
{
    m_externalLinks->request(url, from);
}

void WebEngineBrowser::Close()
{
    if (m_closing)
        return;
    m_closing = true;
    endFullScreen();
    m_permissions->refuseAll();
    // Questions this window asked end with it.
    const QList<QDialog *> open = findChildren<QDialog *>(Qt::FindDirectChildrenOnly);
    for (QDialog *dialog : open)
        dialog->reject();
}

void WebEngineBrowser::endFullScreen()
{
    if (!m_fullScreen)
        return;
    leaveFullScreen();
    m_view->triggerPageAction(QWebEnginePage::ExitFullScreen);
}

void WebEngineBrowser::leaveFullScreen()
{
    if (FullScreenWindow *window = std::exchange(m_fullScreen, nullptr)) {
        window->giveBack();
        window->deleteLater();
    }
}

double WebEngineBrowser::zoomFactor() const
{
    return m_view->zoomFactor();
}

void WebEngineBrowser::setZoomFactor(double factor)
{
    m_view->setZoomFactor(factor);
}

QWebEnginePage *WebEngineBrowser::page() const
{
    return m_view->page();
}

void WebEngineBrowser::Navigate(const QString &address)
{
    m_hangWatch->check();
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
    m_hangWatch->check();
    m_view->stop();
}

void WebEngineBrowser::GoHome()
{
    m_view->load(QUrl(QStringLiteral("about:blank")));
}

void WebEngineBrowser::Refresh()
{
    m_hangWatch->check();
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
    return m_pending ? m_pending->address : m_address;
}

QString WebEngineBrowser::documentUrl() const
{
    return page()->url().toString();
}

QByteArray WebEngineBrowser::saveHistory() const
{
    if (m_pending)
        return m_pending->history;
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
    // The engine believes the list's own counts: bytes from a damaged file must not
    // reach it unless they hold together (the engine's version 4: version, count,
    // current index, then entries of well over 16 bytes each).
    QDataStream header(bytes);
    qint32 version = 0, count = 0, current = -1;
    header >> version >> count >> current;
    if (header.status() != QDataStream::Ok || version != 4 || count < 1
        || count > bytes.size() / 16 || current < 0 || current >= count)
        return false;
    QDataStream in(bytes);
    in >> *page()->history();
    return in.status() == QDataStream::Ok && page()->history()->count() > 0;
}

void WebEngineBrowser::setSeen(bool seen)
{
    if (seen == m_seen)
        return;
    m_seen = seen;
    m_sleepDue = false;
    // A page in full screen is in sight whatever covers its window.
    page()->setVisible(seen || m_fullScreen);
    // Out of sight, its view is not drawn either: the frame composes every view it holds
    // on each repaint, covered or not. In full screen the view is elsewhere meanwhile.
    setVisible(seen);
    if (!seen) {
        m_sleep->start();
        return m_profile->outOfSight()->hidden(page(), m_touched);
    }
    m_sleep->stop();
    m_profile->outOfSight()->shown(page());
    // Asleep, it wakes as it was; put away, it loads again from its history.
    if (page()->lifecycleState() != QWebEnginePage::LifecycleState::Active)
        page()->setLifecycleState(QWebEnginePage::LifecycleState::Active);
    if (m_pending) {
        m_view->setVisible(true);
        const Pending pending = *std::exchange(m_pending, std::nullopt);
        if (pending.history.isEmpty() || !restoreHistory(pending.history))
            Navigate(pending.address);
    }
}

void WebEngineBrowser::loadWhenSeen(const QString &address, const QByteArray &history)
{
    m_pending = Pending { address, history };
    m_seen = false; // whatever it was, the first sight of it loads
    // Nor is its page made before: a view on screen makes its page at once, and the
    // window shows for a moment whenever one opens behind it.
    m_view->setVisible(false);
}

void WebEngineBrowser::trySleep()
{
    if (!m_sleepDue || m_seen || m_closing)
        return;
    if (m_fullScreen || !m_profile->outOfSight()->mayRest(page()))
        return m_sleep->start(); // asked again later
    // The engine keeps awake a page that plays sound, captures, is being inspected, or is
    // linked by script to another live page: it is tried again when that changes. One
    // already put away stays so.
    using State = QWebEnginePage::LifecycleState;
    if (page()->recommendedState() == State::Active)
        return;
    m_sleepDue = false;
    if (page()->lifecycleState() == State::Active)
        page()->setLifecycleState(State::Frozen);
}

void WebEngineBrowser::linkEnded()
{
    // The engine counts a page's live partners only when its own state changes, not when
    // a partner goes: a freeze, undone unless it was due, makes it count again.
    using State = QWebEnginePage::LifecycleState;
    if (m_seen || m_closing || page()->lifecycleState() != State::Active)
        return;
    page()->setLifecycleState(State::Frozen);
    if (!m_sleepDue || !m_profile->outOfSight()->mayRest(page())
        || page()->recommendedState() == State::Active)
        page()->setLifecycleState(State::Active);
    else
        m_sleepDue = false;
}

QString &WebEngineBrowser::lastFolder()
{
    return m_profile->lastFolder();
}

QString WebEngineBrowser::saveFolder() const
{
    // Where the user saved last in this run, else Downloads.
    const QString last = m_profile->lastFolder();
    return last.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::DownloadLocation) : last;
}

void WebEngineBrowser::saveAs()
{
    QString suggested = QFileInfo(page()->url().path()).fileName();
    if (suggested.isEmpty())
        suggested = QStringLiteral("page.html");
    const QString path = m_prompter->saveFileName(this, QStringLiteral("Save.."),
                                                  QDir(saveFolder()).filePath(SafeFileName(suggested)));
    if (path.isEmpty())
        return;
    m_profile->lastFolder() = QFileInfo(path).absolutePath();
    page()->save(path, QWebEngineDownloadRequest::SingleHtmlSaveFormat);
}

void WebEngineBrowser::print()
{
    if (m_printing) {
        emit StatusTextChange(QStringLiteral("Still printing: one print job at a time."));
        return;
    }
    // At the printer's own resolution, not a picture of the page at 1200 dpi.
    auto printer = std::make_unique<QPrinter>(QPrinter::PrinterResolution);
    // Without a printer, a PDF named after the page, where files were saved last.
    const QString title = page()->title().trimmed().isEmpty() ? QStringLiteral("page") : page()->title();
    printer->setDocName(title);
    if (QPrinterInfo::availablePrinters().isEmpty())
        printer->setOutputFileName(QDir(saveFolder()).filePath(SafeFileName(title + QStringLiteral(".pdf"))));
    QPointer<WebEngineBrowser> self(this);
    if (!m_prompter->choosePrinter(this, printer.get()) || !self || m_closing)
        return;
    if (printer->outputFormat() == QPrinter::PdfFormat) {
        const QString file = printer->outputFileName();
        if (file.isEmpty()) {
            emit StatusTextChange(QStringLiteral("Not printed: no file was named for the PDF."));
            return;
        }
        // The engine's own PDF: text stays text, and it takes seconds.
        m_profile->lastFolder() = QFileInfo(file).absolutePath();
        m_printing = true;
        emit StatusTextChange(QStringLiteral("Printing to %1 ...").arg(file));
        page()->printToPdf(file, printer->pageLayout(), printer->pageRanges());
        return;
    }
    m_printing = true;
    m_printer = printer.release();
    emit StatusTextChange(QStringLiteral("Printing to %1 ...").arg(m_printer->printerName()));
    m_view->print(m_printer);
}

void WebEngineBrowser::printed(bool ok, const QString &where)
{
    m_printing = false;
    if (ok) {
        emit StatusTextChange(QStringLiteral("Printed to %1.").arg(where));
        return;
    }
    QString why = QStringLiteral("the printer did not take the page");
    const QFileInfo file(where);
    if (file.isAbsolute()) {
        if (!file.dir().exists())
            why = QStringLiteral("its folder does not exist");
        else if (!QFileInfo(file.path()).isWritable() || (file.exists() && !file.isWritable()))
            why = QStringLiteral("the file cannot be written there");
        else
            why = QStringLiteral("the page could not be made into a PDF");
    }
    emit StatusTextChange(QStringLiteral("Printing to %1 failed: %2.").arg(where, why));
}

void WebEngineBrowser::find()
{
    findBar()->open();
}

FindBar *WebEngineBrowser::findBar()
{
    // Made the first time it is asked for: most windows never search.
    if (!m_findBar) {
        m_findBar = new FindBar(page(), this);
        layout()->addWidget(m_findBar);
    }
    return m_findBar;
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
        self->m_prompter->msgBox(self, text, MsgBox::OkOnly, QStringLiteral("Properties"));
    });
}
