#include "browser/webengine/FullScreenWindow.h"

#include <QAction>
#include <QBoxLayout>
#include <QCloseEvent>
#include <QWebEngineView>

FullScreenWindow::FullScreenWindow(QWebEngineView *view)
    : QWidget(nullptr), m_view(view), m_home(view->parentWidget())
{
    setObjectName(QStringLiteral("FullScreenWindow"));
    setWindowTitle(view->title());
    if (m_home && m_home->layout())
        m_index = m_home->layout()->indexOf(view);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view);
    // Esc always leaves, whatever the page does with its keys.
    auto *escape = new QAction(this);
    escape->setShortcut(Qt::Key_Escape);
    escape->setShortcutContext(Qt::WindowShortcut);
    connect(escape, &QAction::triggered, this, &FullScreenWindow::leave);
    addAction(escape);
    showFullScreen();
    view->setFocus();
}

FullScreenWindow::~FullScreenWindow()
{
    giveBack();
}

void FullScreenWindow::giveBack()
{
    if (!m_view)
        return;
    QWebEngineView *view = m_view;
    m_view = nullptr;
    hide();
    if (!m_home) {
        view->setParent(nullptr);
        return;
    }
    if (auto *box = qobject_cast<QBoxLayout *>(m_home->layout()))
        box->insertWidget(m_index, view);
    else
        view->setParent(m_home);
    view->show();
    view->setFocus();
}

void FullScreenWindow::leave()
{
    if (m_view)
        m_view->triggerPageAction(QWebEnginePage::ExitFullScreen);
}

void FullScreenWindow::closeEvent(QCloseEvent *event)
{
    // Closing the full-screen window leaves full screen; the page stays.
    event->ignore();
    leave();
}
