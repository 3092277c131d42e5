// The usual browser keys, for the window in front, whether the address box or the
// page has the keyboard.
#include "browser/Form1.h"

#include "browser/WebBrowser.h"

#include <QAction>
#include <QKeySequence>
#include <QLabel>

namespace {
// The zoom levels stepped through, as other browsers offer them.
constexpr double ZoomLevels[] = { 0.25, 0.33, 0.5, 0.67, 0.75, 0.8, 0.9, 1.0, 1.1,
                                  1.25, 1.5,  1.75, 2.0, 2.5,  3.0, 4.0, 5.0 };
}

void Form1::createKeys()
{
    auto key = [this](const QList<QKeySequence> &keys, auto handler) {
        auto *action = new QAction(this);
        action->setShortcuts(keys);
        // The page's view is a child: its keys count too, and other windows' do not.
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        connect(action, &QAction::triggered, this, handler);
        addAction(action);
        return action;
    };
    key({ Qt::Key_F5, Qt::CTRL | Qt::Key_R }, [this] { run(Command::Refresh); });
    m_stopKey = key({ Qt::Key_Escape }, [this] { run(Command::Stop); });
    m_stopKey->setEnabled(false);
    key({ Qt::ALT | Qt::Key_Left }, [this] { run(Command::Back); });
    key({ Qt::ALT | Qt::Key_Right }, [this] { run(Command::Forward); });
    key({ Qt::CTRL | Qt::Key_L, Qt::ALT | Qt::Key_D, Qt::Key_F6 }, [this] { takeFocus(); });
    key({ Qt::CTRL | Qt::Key_F }, [this] { run(Command::Find); });
    key({ Qt::CTRL | Qt::Key_P }, [this] { run(Command::Print); });
    key({ Qt::CTRL | Qt::Key_S }, [this] { run(Command::Save); });
    key({ Qt::CTRL | Qt::Key_Plus, Qt::CTRL | Qt::Key_Equal }, [this] { zoom(+1); });
    key({ Qt::CTRL | Qt::Key_Minus }, [this] { zoom(-1); });
    key({ Qt::CTRL | Qt::Key_0 }, [this] { zoom(0); });
    key({ Qt::CTRL | Qt::Key_D }, [this] {
        const QString said = m_frame->addFavorite(this, Caption().trimmed(), wb->LocationURL());
        if (!said.isEmpty())
            Stbar1Panel1->setText(said);
    });
    // Esc stops a load; otherwise the page keeps it (a dialog of its own, a game).
    connect(wb, &WebBrowser::ProgressChange, this,
            [this](int progress, int progressMax) { m_stopKey->setEnabled(progress < progressMax); });
}

void Form1::zoom(int step)
{
    const double now = wb->zoomFactor();
    double next = 1.0;
    if (step > 0) {
        next = ZoomLevels[std::size(ZoomLevels) - 1];
        for (double level : ZoomLevels)
            if (level > now + 0.001) {
                next = level;
                break;
            }
    } else if (step < 0) {
        next = ZoomLevels[0];
        for (double level : ZoomLevels)
            if (level < now - 0.001)
                next = level;
    }
    wb->setZoomFactor(next);
    Stbar1Panel1->setText(QStringLiteral("Zoom %1 %").arg(qRound(next * 100)));
}
