#pragma once

#include <QString>

class WebBrowserFactory;

// Loads the web-engine module on first use, so the program starts without the
// engine and pays for it only when the first browser window opens.
class EngineLoader
{
public:
    explicit EngineLoader(QString modulePath) : m_path(std::move(modulePath)) { }

    // Null, with errorString() set, when the module cannot be loaded.
    WebBrowserFactory *factory();
    QString errorString() const { return m_error; }
    bool isLoaded() const { return m_factory != nullptr; }

private:
    QString m_path;
    QString m_error;
    WebBrowserFactory *m_factory = nullptr;
};
