#include "browser/webengine/FindBar.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QWebEngineFindTextResult>
#include <QWebEnginePage>
#include <QWebEngineView>

FindBar::FindBar(QWebEnginePage *page, QWidget *parent)
    : QWidget(parent), m_page(page), m_text(new QLineEdit(this)), m_where(new QLabel(this))
{
    setObjectName(QStringLiteral("findBar"));
    m_where->setObjectName(QStringLiteral("findWhere"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    auto *label = new QLabel(QStringLiteral("Find:"), this);
    label->setBuddy(m_text);
    m_text->setAccessibleName(QStringLiteral("Find"));
    m_text->setClearButtonEnabled(true);
    m_text->installEventFilter(this);
    const auto button = [this](const QString &text, const QString &tip, auto onClick) {
        auto *b = new QToolButton(this);
        b->setText(text);
        b->setToolTip(tip);
        b->setAccessibleName(tip);
        b->setAutoRaise(true);
        connect(b, &QToolButton::clicked, this, onClick);
        return b;
    };
    layout->addWidget(label);
    layout->addWidget(m_text, 1);
    layout->addWidget(button(QStringLiteral("▲"), QStringLiteral("Previous match"), [this] { step(true); }));
    layout->addWidget(button(QStringLiteral("▼"), QStringLiteral("Next match"), [this] { step(false); }));
    layout->addWidget(m_where);
    layout->addWidget(button(QStringLiteral("✕"), QStringLiteral("Close"), [this] { close(); }));
    hide();

    connect(m_text, &QLineEdit::textEdited, this, [this](const QString &text) {
        m_where->clear();
        m_page->findText(text);
    });
    connect(page, &QWebEnginePage::findTextFinished, this, [this](const QWebEngineFindTextResult &found) {
        if (!isVisible() || m_text->text().isEmpty())
            return m_where->clear();
        m_where->setText(found.numberOfMatches() == 0
                                 ? QStringLiteral("Not found")
                                 : QStringLiteral("%1 of %2").arg(found.activeMatch()).arg(found.numberOfMatches()));
    });
}

void FindBar::open()
{
    show();
    m_text->setFocus(Qt::ShortcutFocusReason);
    m_text->selectAll();
    if (!m_text->text().isEmpty())
        m_page->findText(m_text->text());
}

void FindBar::step(bool back)
{
    if (!isVisible() || m_text->text().isEmpty())
        return open();
    m_page->findText(m_text->text(), back ? QWebEnginePage::FindBackward : QWebEnginePage::FindFlags());
}

void FindBar::close()
{
    const bool hadKeyboard = isAncestorOf(QWidget::focusWidget());
    hide();
    m_where->clear();
    m_page->findText(QString());
    if (hadKeyboard)
        if (auto *view = qobject_cast<QWebEngineView *>(QWebEngineView::forPage(m_page)))
            view->setFocus();
}

bool FindBar::eventFilter(QObject *watched, QEvent *event)
{
    // Enter and Esc belong to the bar while it has the keyboard, even where the
    // window would take them (Esc stops a load).
    if (watched == m_text && (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress)) {
        auto *key = static_cast<QKeyEvent *>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (enter || key->key() == Qt::Key_Escape) {
            event->accept();
            if (event->type() == QEvent::KeyPress) {
                if (enter)
                    step(key->modifiers() & Qt::ShiftModifier);
                else
                    close();
            }
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
