#pragma once

#include "browser/WebBrowser.h"

#include <memory>

class WebEngineProfile;

// Makes the browser views. The profile they share is made with the first of them
// and goes with the factory, which the program deletes after its last window.
class WebEngineFactory : public WebBrowserFactory
{
public:
    WebEngineFactory();
    ~WebEngineFactory() override;
    WebBrowser *create(QWidget *parent, Prompter *prompter) override;
    int runningDownloads() const override;

    // Null before the first view.
    WebEngineProfile *profile() const { return m_profile.get(); }

private:
    std::unique_ptr<WebEngineProfile> m_profile;
};
