#pragma once

#include "browser/WebBrowser.h"

class QPrinter;
class SiteQuestions;
class WebEngineProfile;
class QWebEnginePage;
class QWebEngineView;

// The web view over Qt WebEngine.
class WebEngineBrowser : public WebBrowser
{
    Q_OBJECT
public:
    // The profile outlives the view.
    WebEngineBrowser(QWidget *parent, Prompter *prompter, WebEngineProfile *profile);
    ~WebEngineBrowser() override;

    void Navigate(const QString &address) override;
    void GoBack() override;
    void GoForward() override;
    void Stop() override;
    void GoHome() override;
    void Refresh() override;
    void ExecWB(int command, int option) override;
    QString LocationURL() const override;
    QString documentUrl() const override;
    QObject *object() override { return this; }
    QByteArray saveHistory() const override;
    bool restoreHistory(const QByteArray &bytes) override;

    QWebEnginePage *page() const;
    QWebEngineView *view() const { return m_view; }

private:
    void saveAs();
    void print();
    void find();
    void properties();

    Prompter *m_prompter;
    WebEngineProfile *m_profile;
    SiteQuestions *m_site;
    QWebEngineView *m_view;
    QPrinter *m_printer = nullptr;
    bool m_rendererGone = false;
    // Saved once per change of the list: a journal asks far more often than pages move.
    mutable QByteArray m_savedHistory;
    mutable bool m_historySaved = false;
};
