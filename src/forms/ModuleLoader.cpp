#include "forms/ModuleLoader.h"

#include <QDir>
#include <QFileInfo>
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
            parent()->removeEventFilter(this);
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
    QStringList failures;
    for (const QString &path : std::as_const(m_paths)) {
        if (!QFileInfo(path).isFile()) {
            failures.append(path + QStringLiteral(": no such file"));
            continue;
        }
        QLibrary library(path);
        if (!library.load()) {
            failures.append(path + QStringLiteral(": ") + library.errorString());
            continue;
        }
        // The module stays loaded for the rest of the process.
        m_resolved = library.resolve(m_entry);
        if (m_resolved)
            return m_resolved;
        failures.append(path + QStringLiteral(": ") + library.errorString());
    }
    m_error = failures.join(QLatin1Char('\n'));
    return nullptr;
}

QStringList ModulePlaces(const QString &programDir, const QString &fileName)
{
    return { QDir::cleanPath(programDir + QStringLiteral("/../lib/orvane/") + fileName),
             QDir::cleanPath(programDir + QLatin1Char('/') + fileName) };
}

void ModuleLoader::loadWhenIdle(QWidget *window)
{
    new FirstPaint(window, [this] { entry(); });
}
