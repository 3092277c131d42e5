#include "forms/ModuleLoader.h"

#include <QLibrary>

QFunctionPointer ModuleLoader::entry()
{
    if (m_resolved)
        return m_resolved;
    QLibrary library(m_path);
    if (!library.load()) {
        m_error = library.errorString();
        return nullptr;
    }
    // The module stays loaded for the rest of the process.
    m_resolved = library.resolve(m_entry);
    if (!m_resolved)
        m_error = library.errorString();
    return m_resolved;
}
