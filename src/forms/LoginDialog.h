#pragma once

#include <QDialog>

class QLineEdit;

// Asks for a name and a password; the password's characters stay hidden.
class LoginDialog : public QDialog
{
    Q_OBJECT
public:
    LoginDialog(QWidget *parent, const QString &title, const QString &text);

    QString user() const;
    QString password() const;

private:
    QLineEdit *m_user;
    QLineEdit *m_password;
};
