#pragma once

#include <QWebEnginePage>

class WebEngineBrowser;

// Page policy only: every request for a window goes to the browser window first.
class WebEnginePage : public QWebEnginePage
{
    Q_OBJECT
public:
    WebEnginePage(QWebEngineProfile *profile, WebEngineBrowser *browser, QObject *parent);

protected:
    QWebEnginePage *createWindow(WebWindowType type) override;

private:
    WebEngineBrowser *m_browser;
};
