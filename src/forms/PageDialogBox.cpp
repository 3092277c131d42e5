#include "forms/PageDialogBox.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

PageDialogBox::PageDialogBox(QWidget *parent, const PageDialog &dialog) : QDialog(parent)
{
    setObjectName(QStringLiteral("PageDialogBox"));
    setWindowTitle(dialog.site);
    setAccessibleName(dialog.site);
    auto *layout = new QVBoxLayout(this);
    auto *label = new QLabel(this);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setText(dialog.text);
    layout->addWidget(label);
    if (dialog.kind == PageDialog::Prompt) {
        m_input = new QLineEdit(dialog.value, this);
        m_input->setObjectName(QStringLiteral("input"));
        layout->addWidget(m_input);
    }
    if (dialog.offerStop) {
        m_stop = new QCheckBox(QStringLiteral("Don't let this page show more dialogs"), this);
        m_stop->setObjectName(QStringLiteral("stop"));
        layout->addWidget(m_stop);
    }
    auto *buttons = new QDialogButtonBox(this);
    if (dialog.kind == PageDialog::Leave) {
        buttons->addButton(QStringLiteral("Leave"), QDialogButtonBox::AcceptRole);
        buttons->addButton(QStringLiteral("Stay"), QDialogButtonBox::RejectRole);
    } else {
        buttons->addButton(QDialogButtonBox::Ok);
        if (dialog.kind != PageDialog::Alert)
            buttons->addButton(QDialogButtonBox::Cancel);
    }
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    // Wide enough for the whole site in the title bar.
    const int titleWidth = fontMetrics().horizontalAdvance(dialog.site) + 160;
    setMinimumWidth(qMin(qMax(titleWidth, 320), 900));
}

void PageDialogBox::read(PageDialog *dialog) const
{
    if (m_input)
        dialog->value = m_input->text();
    dialog->stop = m_stop && m_stop->isChecked();
}
