#include "forms/LoginDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

LoginDialog::LoginDialog(QWidget *parent, const QString &title, const QString &text)
    : QDialog(parent), m_user(new QLineEdit(this)), m_password(new QLineEdit(this))
{
    setObjectName(QStringLiteral("frmLogin"));
    setWindowTitle(title);
    setAccessibleName(title);
    auto *label = new QLabel(text, this);
    label->setTextFormat(Qt::PlainText); // the realm comes from the server
    label->setWordWrap(true);
    m_user->setObjectName(QStringLiteral("txtUser"));
    m_user->setAccessibleName(QStringLiteral("User name"));
    m_password->setObjectName(QStringLiteral("txtPassword"));
    m_password->setAccessibleName(QStringLiteral("Password"));
    m_password->setEchoMode(QLineEdit::Password);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QFormLayout(this);
    layout->addRow(label);
    layout->addRow(QStringLiteral("User name:"), m_user);
    layout->addRow(QStringLiteral("Password:"), m_password);
    layout->addRow(buttons);
}

QString LoginDialog::user() const
{
    return m_user->text();
}

QString LoginDialog::password() const
{
    return m_password->text();
}
