#pragma once

#include <QFunctionPointer>
#include <QString>
#include <QStringList>

class QWidget;

// Loads a module of the program's own on first use and resolves its entry point,
// so the program starts without it and pays for it only when it is needed.
class ModuleLoader
{
public:
    // The places are tried in order; the first that loads is used.
    ModuleLoader(QStringList paths, const char *entry) : m_paths(std::move(paths)), m_entry(entry) { }

    // Null, with errorString() set, when the module cannot be loaded.
    QFunctionPointer entry();
    // Calls an entry point that takes nothing and returns an R; R() when the
    // module cannot be loaded.
    template<typename R>
    R call()
    {
        auto function = reinterpret_cast<R (*)()>(entry());
        return function ? function() : R();
    }
    // One line per place tried, each naming the path and what went wrong.
    QString errorString() const { return m_error; }
    bool isLoaded() const { return m_resolved != nullptr; }
    // Loads the module once `window` has painted and the event queue is idle, so
    // its first use finds it ready without start-up waiting for it.
    void loadWhenIdle(QWidget *window);

private:
    QStringList m_paths;
    const char *m_entry;
    QString m_error;
    QFunctionPointer m_resolved = nullptr;
};

// Where an installed program keeps its module: lib/orvane/ beside its bin/
// folder, then the program's own folder (a build tree, a copied folder).
QStringList ModulePlaces(const QString &programDir, const QString &fileName);
