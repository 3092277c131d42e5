#include "browser/EngineLoader.h"

#include "browser/WebBrowser.h"

#include <QLibrary>

WebBrowserFactory *EngineLoader::factory()
{
    if (m_factory)
        return m_factory;
    QLibrary library(m_path);
    library.setLoadHints(QLibrary::ExportExternalSymbolsHint);
    if (!library.load()) {
        m_error = library.errorString();
        return nullptr;
    }
    auto entry = reinterpret_cast<OrvaneWebEngineEntry>(library.resolve("orvane_webengine_factory"));
    if (!entry) {
        m_error = library.errorString();
        return nullptr;
    }
    // The module stays loaded for the rest of the process.
    m_factory = entry();
    return m_factory;
}
