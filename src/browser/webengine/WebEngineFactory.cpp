#include "browser/webengine/WebEngineFactory.h"

#include "browser/webengine/DownloadManager.h"
#include "browser/webengine/WebEngineBrowser.h"
#include "browser/webengine/WebEngineProfile.h"

#include <QDir>
#include <QStandardPaths>

WebEngineFactory::WebEngineFactory() = default;
WebEngineFactory::~WebEngineFactory() = default;

WebBrowser *WebEngineFactory::create(QWidget *parent, Prompter *prompter)
{
    if (!m_profile) {
        // The user's folders by name: the program's name in tests is not Orvane's.
        const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
        const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
        m_profile = std::make_unique<WebEngineProfile>(QDir(data).filePath(QStringLiteral("Orvane")),
                                                       QDir(cache).filePath(QStringLiteral("Orvane")),
                                                       prompter, timings());
    }
    return new WebEngineBrowser(parent, prompter, m_profile.get());
}

int WebEngineFactory::runningDownloads() const
{
    return m_profile ? int(m_profile->downloads()->jobs().size()) : 0;
}
