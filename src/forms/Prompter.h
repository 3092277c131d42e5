#pragma once

#include "forms/PageDialog.h"

#include <QList>
#include <QString>
#include <QStringList>

class QDialog;
class QPrinter;
class QWidget;

// Message-box styles and answers, by name: a style is buttons, an icon and which
// button is the default; an answer says which button the user took.
namespace MsgBox {
enum class Style { OkOnly = 0, YesNo = 4, Critical = 16, Question = 32, Exclamation = 48,
                   SecondDefault = 256 /* No is the default answer */ };
enum class Answer { Ok = 1, Yes = 6, No = 7 };

constexpr Style operator|(Style a, Style b) { return Style(int(a) | int(b)); }
constexpr bool has(Style style, Style part) { return (int(style) & int(part)) == int(part); }

constexpr Style OkOnly = Style::OkOnly;
constexpr Style Critical = Style::Critical;
constexpr Style Exclamation = Style::Exclamation;
constexpr Style YesNoCritical = Style::YesNo | Style::Critical;
constexpr Style YesNoQuestion = Style::YesNo | Style::Question;
constexpr Style YesNoExclamation = Style::YesNo | Style::Exclamation;
constexpr Style SecondDefault = Style::SecondDefault;
constexpr Answer Ok = Answer::Ok;
constexpr Answer Yes = Answer::Yes;
constexpr Answer No = Answer::No;
} // namespace MsgBox

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
    virtual MsgBox::Answer msgBox(QWidget *parent, const QString &text, MsgBox::Style style,
                                  const QString &title) = 0;
    // A page's dialog; true for OK (Leave). Fills in the value typed and the choice to
    // stop the page's dialogs. Ends, false, when its parent goes.
    virtual bool pageDialog(QWidget *parent, PageDialog *dialog) = 0;
    // Empty when cancelled. A typed name need not exist.
    virtual QString openFileName(QWidget *parent, const QString &title, const QString &folder,
                                 const QList<FileFilter> &filters) = 0;
    virtual QString saveFileName(QWidget *parent, const QString &title,
                                 const QString &suggested) = 0;
    // Starts with text; empty and *ok false when cancelled.
    virtual QString askText(QWidget *parent, const QString &title, const QString &label,
                            const QString &text, bool *ok) = 0;
    virtual bool choosePrinter(QWidget *parent, QPrinter *printer) = 0;
    // Files for a page to upload, chosen in folder: one, or several when multiple.
    // None when cancelled.
    virtual QStringList chooseFiles(QWidget *parent, const QString &folder, bool multiple) = 0;
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
