#include "dialogs/HistoryWindow.h"

#include "browser/History.h"
#include "forms/Prompter.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
constexpr int IdRole = Qt::UserRole, AddressRole = Qt::UserRole + 1;
}

HistoryWindow::HistoryWindow(History *history, Prompter *prompter,
                             std::function<void(const QString &)> open, QWidget *parent)
    : QDialog(parent), m_history(history), m_prompter(prompter), m_open(std::move(open)),
      m_filter(new QLineEdit(this)), m_list(new QTreeWidget(this)), m_more(new QLabel(this))
{
    setObjectName(QStringLiteral("History"));
    setWindowTitle(QStringLiteral("History"));
    setAccessibleName(windowTitle());
    resize(720, 480);
    m_filter->setPlaceholderText(QStringLiteral("Filter"));
    m_filter->setAccessibleName(QStringLiteral("Filter"));
    m_filter->setClearButtonEnabled(true);
    m_list->setHeaderLabels({ QStringLiteral("Title"), QStringLiteral("Address"), QStringLiteral("Time") });
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setUniformRowHeights(true);
    m_list->header()->resizeSection(0, 260);
    m_list->header()->resizeSection(1, 320);
    auto *buttons = new QDialogButtonBox(this);
    QPushButton *openButton = buttons->addButton(QStringLiteral("Open"), QDialogButtonBox::ActionRole);
    QPushButton *removeButton = buttons->addButton(QStringLiteral("Delete"), QDialogButtonBox::ActionRole);
    QPushButton *clearButton = buttons->addButton(QStringLiteral("Clear All"), QDialogButtonBox::ResetRole);
    QPushButton *closeButton = buttons->addButton(QDialogButtonBox::Close);
    // Enter opens what is chosen; it never closes the window by a default button.
    for (QPushButton *b : { openButton, removeButton, clearButton, closeButton })
        b->setAutoDefault(false);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_filter);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_more);
    layout->addWidget(buttons);

    connect(m_filter, &QLineEdit::textChanged, this, &HistoryWindow::fill);
    connect(m_list, &QTreeWidget::itemActivated, this, &HistoryWindow::openChosen);
    connect(openButton, &QPushButton::clicked, this, &HistoryWindow::openChosen);
    connect(removeButton, &QPushButton::clicked, this, &HistoryWindow::removeChosen);
    connect(clearButton, &QPushButton::clicked, this, [this] {
        if (m_prompter->msgBox(this, QStringLiteral("Clear all history?"),
                               MsgBox::YesNoQuestion | MsgBox::SecondDefault, windowTitle())
            == MsgBox::Yes)
            m_history->clear();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(history, &History::changed, this, &HistoryWindow::fill);
    fill();
    m_filter->setFocus();
}

void HistoryWindow::fill()
{
    const QList<History::Visit> visits = m_history->visits(m_filter->text(), Shown + 1);
    m_list->setUpdatesEnabled(false);
    m_list->clear();
    const QDate today = QDate::currentDate();
    QTreeWidgetItem *day = nullptr;
    QDate dayDate;
    QList<QTreeWidgetItem *> days;
    for (int i = 0; i < qMin(visits.size(), Shown); ++i) {
        const History::Visit &v = visits.at(i);
        const QDate date = v.when.date();
        if (!day || date != dayDate) {
            dayDate = date;
            const QString name = date == today ? QStringLiteral("Today")
                    : date == today.addDays(-1) ? QStringLiteral("Yesterday")
                                                : QLocale().toString(date, QLocale::LongFormat);
            day = new QTreeWidgetItem({ name });
            day->setFlags(Qt::ItemIsEnabled);
            days.append(day);
        }
        auto *entry = new QTreeWidgetItem(day, { v.title.isEmpty() ? v.address : v.title, v.address,
                                                 QLocale().toString(v.when.time(), QLocale::ShortFormat) });
        entry->setData(0, IdRole, v.id);
        entry->setData(0, AddressRole, v.address);
    }
    m_list->addTopLevelItems(days);
    m_list->expandAll();
    m_list->setUpdatesEnabled(true);
    m_more->setText(visits.size() > Shown
                            ? QStringLiteral("The newest %1 are listed: the filter finds older ones.").arg(Shown)
                            : QString());
    if (!days.isEmpty() && days.first()->childCount() > 0)
        m_list->setCurrentItem(days.first()->child(0));
}

void HistoryWindow::openChosen()
{
    if (result() == QDialog::Accepted) // once: the list's Enter reaches the window too
        return;
    QStringList addresses;
    for (QTreeWidgetItem *item : m_list->selectedItems())
        if (item->parent())
            addresses.append(item->data(0, AddressRole).toString());
    if (addresses.isEmpty())
        return;
    accept();
    for (const QString &address : addresses)
        m_open(address);
}

void HistoryWindow::removeChosen()
{
    QList<qint64> ids;
    for (QTreeWidgetItem *item : m_list->selectedItems())
        if (item->parent())
            ids.append(item->data(0, IdRole).toLongLong());
    if (!ids.isEmpty())
        m_history->remove(ids);
}

void HistoryWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Delete && !m_filter->hasFocus())
        return removeChosen();
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        return openChosen();
    QDialog::keyPressEvent(event);
}
