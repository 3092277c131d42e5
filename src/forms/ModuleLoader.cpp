#include "forms/ModuleLoader.h"

#include <QEvent>
#include <QLibrary>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace {

// Calls `then` once, on the first paint of the widget it watches.
class FirstPaint : public QObject
{
public:
    FirstPaint(QWidget *widget, std::function<void()> then)
        : QObject(widget), m_then(std::move(then))
    {
        widget->installEventFilter(this);
    }

    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            QTimer::singleShot(0, parent(), m_then);
            deleteLater();
        }
        return false;
    }

private:
    std::function<void()> m_then;
};

} // namespace

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

void ModuleLoader::loadWhenIdle(QWidget *window)
{
    new FirstPaint(window, [this] { entry(); });
}
