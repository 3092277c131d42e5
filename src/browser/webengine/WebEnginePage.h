#pragma once

#include <QPointer>
#include <QWebEnginePage>

class PageDialogs;
class PageHost;

// Page policy only: every request for a window goes to the window that shows the
// page first; the page's dialogs and links for other programs go through the user.
// The page may outlive that window for as long as a question holds its view.
class WebEnginePage : public QWebEnginePage
{
    Q_OBJECT
public:
    WebEnginePage(QWebEngineProfile *profile, PageHost *host, QWidget *hostWidget,
                  QObject *parent);

    // The window that shows the page; null once it has gone.
    PageHost *host() const { return m_hostWidget ? m_host : nullptr; }

signals:
    // A page this one opened by script has gone, and with it their link.
    void linkEnded();

protected:
    QWebEnginePage *createWindow(WebWindowType type) override;
    void javaScriptAlert(const QUrl &origin, const QString &text) override;
    bool javaScriptConfirm(const QUrl &origin, const QString &text) override;
    bool javaScriptPrompt(const QUrl &origin, const QString &text, const QString &value,
                          QString *result) override;
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;
    QStringList chooseFiles(FileSelectionMode mode, const QStringList &oldFiles,
                            const QStringList &acceptedMimeTypes) override;

private:
    PageHost *m_host;
    QPointer<QWidget> m_hostWidget;
    QPointer<PageDialogs> m_dialogs; // they go with the window
};
