#pragma once

#include <QFunctionPointer>
#include <QString>

class QWidget;

// Loads a module of the program's own on first use and resolves its entry point,
// so the program starts without it and pays for it only when it is needed.
class ModuleLoader
{
public:
    ModuleLoader(QString path, const char *entry) : m_path(std::move(path)), m_entry(entry) { }

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
    QString errorString() const { return m_error; }
    bool isLoaded() const { return m_resolved != nullptr; }
    // Loads the module once `window` has painted and the event queue is idle, so
    // its first use finds it ready without start-up waiting for it.
    void loadWhenIdle(QWidget *window);

private:
    QString m_path;
    const char *m_entry;
    QString m_error;
    QFunctionPointer m_resolved = nullptr;
};
