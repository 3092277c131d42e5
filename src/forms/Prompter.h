#pragma once

#include "forms/PageDialog.h"

#include <QList>
#include <QString>
#include <QStringList>

class QDialog;
class QPrinter;
class QWidget;

// Message-box styles and answers, as the rest of the program speaks of them.
namespace MsgBox {
enum Style { OkOnly = 0, Critical = 16, YesNoCritical = 20, YesNoQuestion = 36, Exclamation = 48,
             YesNoExclamation = 52, SecondDefault = 256 /* No is the default answer */ };
enum Answer { Ok = 1, Yes = 6, No = 7 };
}

// One entry of a file dialog's type list: the name shown, and the files it lists.
struct FileFilter
{
    QString name;
    QStringList patterns;
};

// Every question the program asks the user goes through one of these, so tests
// can answer in place of a person.
class Prompter
{
public:
    virtual ~Prompter() = default;

    // Plain text only: the text may come from a page and is never read as markup.
    virtual int msgBox(QWidget *parent, const QString &text, int style, const QString &title) = 0;
    // A page's dialog; true for OK (Leave). Fills in the value typed and the choice to
    // stop the page's dialogs. Ends, false, when its parent goes.
    virtual bool pageDialog(QWidget *parent, PageDialog *dialog) = 0;
    // Empty when cancelled. A typed name need not exist.
    virtual QString openFileName(QWidget *parent, const QString &title, const QString &folder,
                                 const QList<FileFilter> &filters) = 0;
    virtual QString saveFileName(QWidget *parent, const QString &title,
                                 const QString &suggested) = 0;
    // Empty and *ok false when cancelled.
    virtual QString askText(QWidget *parent, const QString &title, const QString &label,
                            bool *ok) = 0;
    virtual bool choosePrinter(QWidget *parent, QPrinter *printer) = 0;
    // Runs a modal dialog of the program's own and returns its result.
    virtual int execDialog(QDialog *dialog) = 0;

    // A save dialog opened in folder with the name filled in; empty when cancelled.
    // It does not ask before replacing a file: the caller does.
    virtual QString saveFileIn(QWidget *parent, const QString &title, const QString &folder,
                               const QString &suggested) = 0;
    // A name and a password (shown hidden); false when cancelled.
    virtual bool askLogin(QWidget *parent, const QString &title, const QString &text,
                          QString *user, QString *password) = 0;
};
