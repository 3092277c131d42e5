#pragma once

#include "forms/Prompter.h"

// The real questions: QMessageBox, QFileDialog, QInputDialog, QPrintDialog.
class MessageBoxPrompter : public Prompter
{
public:
    MsgBox::Answer msgBox(QWidget *parent, const QString &text, MsgBox::Style style,
                          const QString &title) override;
    bool pageDialog(QWidget *parent, PageDialog *dialog) override;
    QString openFileName(QWidget *parent, const QString &title, const QString &folder,
                         const QList<FileFilter> &filters) override;
    QString saveFileName(QWidget *parent, const QString &title, const QString &suggested) override;
    QString askText(QWidget *parent, const QString &title, const QString &label, const QString &text,
                    bool *ok) override;
    bool choosePrinter(QWidget *parent, QPrinter *printer) override;
    QStringList chooseFiles(QWidget *parent, const QString &folder, bool multiple) override;
    int execDialog(QDialog *dialog) override;
    QString saveFileIn(QWidget *parent, const QString &title, const QString &folder,
                       const QString &suggested) override;
    bool askLogin(QWidget *parent, const QString &title, const QString &text, QString *user,
                  QString *password) override;
};
