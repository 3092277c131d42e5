#include "browser/webengine/WebEnginePage.h"

#include "browser/webengine/ExternalLinks.h"
#include "browser/webengine/PageDialogs.h"
#include "browser/webengine/PageHost.h"
#include "browser/webengine/PageQuestion.h"
#include "forms/Prompter.h"

#include <QDir>
#include <QFileInfo>
#include <QTimer>
#include <QWidget>

WebEnginePage::WebEnginePage(QWebEngineProfile *profile, PageHost *host, QWidget *hostWidget,
                             QObject *parent)
    : QWebEnginePage(profile, parent), m_host(host), m_hostWidget(hostWidget),
      m_dialogs(new PageDialogs(this, host, hostWidget))
{
}

QWebEnginePage *WebEnginePage::createWindow(WebWindowType)
{
    // Answered before returning: the new page keeps its link to its opener. The
    // handler may run a modal prompt here, which the engine tolerates.
    PageHost *window = host();
    QWebEnginePage *opened = window && !window->isClosing() ? window->openWindow() : nullptr;
    if (opened)
        connect(opened, &QObject::destroyed, this,
                [this] { QTimer::singleShot(0, this, &WebEnginePage::linkEnded); });
    return opened;
}

void WebEnginePage::javaScriptAlert(const QUrl &origin, const QString &text)
{
    if (m_dialogs)
        m_dialogs->alert(origin, text);
}

bool WebEnginePage::javaScriptConfirm(const QUrl &origin, const QString &text)
{
    // Without its window, a page is let go rather than kept.
    return !m_dialogs || m_dialogs->confirm(origin, text);
}

bool WebEnginePage::javaScriptPrompt(const QUrl &origin, const QString &text,
                                     const QString &value, QString *result)
{
    return m_dialogs && m_dialogs->prompt(origin, text, value, result);
}

bool WebEnginePage::acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame)
{
    if (ExternalLinks::isForOtherProgram(url)) {
        if (PageHost *window = host())
            window->openElsewhere(url, this->url());
        return false;
    }
    return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
}

QStringList WebEnginePage::chooseFiles(FileSelectionMode mode, const QStringList &, const QStringList &)
{
    // In the folder chosen last in this run, else the user's home.
    PageHost *window = host();
    if (!window || window->isClosing())
        return {};
    QString &folder = window->lastFolder();
    QStringList files;
    if (!AskForPage(window, [&] {
            files = window->prompter()->chooseFiles(window->widget(),
                                                    folder.isEmpty() ? QDir::homePath() : folder,
                                                    mode == FileSelectOpenMultiple);
        }))
        return {};
    if (!files.isEmpty())
        folder = QFileInfo(files.first()).absolutePath();
    return files;
}
