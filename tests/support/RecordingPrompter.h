#pragma once

#include "forms/Prompter.h"

#include <QDialog>
#include <functional>

// Answers the program's questions from a script and records every one asked.
class RecordingPrompter : public Prompter
{
public:
    struct Asked
    {
        QString text;
        int style;
        QString title;
    };
    MsgBox::Answer msgBox(QWidget *, const QString &text, MsgBox::Style style,
                          const QString &title) override
    {
        record(text, int(style), title);
        return answers.isEmpty() ? defaultAnswer : answers.takeFirst();
    }
    bool pageDialog(QWidget *, PageDialog *dialog) override
    {
        pageDialogs.append(*dialog);
        return onPageDialog ? onPageDialog(dialog) : true;
    }
    QString openFileName(QWidget *, const QString &, const QString &,
        const QList<FileFilter> &) override { return {}; }
    // Cancelled, and recorded in others as "save <title> <name offered>", "ask <title>",
    // "print".
    QString saveFileName(QWidget *, const QString &title, const QString &suggested) override
    {
        return others.append("save " + title + " " + suggested), QString();
    }
    // Answered from texts ("=" keeps the text offered), else cancelled.
    QString askText(QWidget *, const QString &title, const QString &, const QString &text,
        bool *ok) override
    {
        others.append("ask " + title + (text.isEmpty() ? "" : ": " + text));
        if (!(*ok = !texts.isEmpty()))
            return QString();
        return texts.first() == "=" ? (texts.removeFirst(), text) : texts.takeFirst();
    }
    QStringList texts;
    bool choosePrinter(QWidget *, QPrinter *p) override
    {
        others.append("print");
        return onPrinter && onPrinter(p);
    }
    // Recorded in others as "upload <folder>"; answered from uploads, else cancelled.
    QStringList chooseFiles(QWidget *, const QString &folder, bool) override
    {
        others.append("upload " + folder);
        return std::exchange(uploads, {});
    }
    QStringList uploads;
    int execDialog(QDialog *dialog) override
    {
        ++dialogsRun;
        return onDialog ? onDialog(dialog) : int(QDialog::Rejected);
    }

    // Recorded in asked with a style of SaveQuestion (text: the folder and name
    // offered) or LoginQuestion; answered from saves and logins, else cancelled.
    QString saveFileIn(QWidget *, const QString &title, const QString &folder,
        const QString &suggested) override
    {
        record(folder + "/" + suggested, SaveQuestion, title);
        return saves.isEmpty() ? QString() : saves.takeFirst();
    }
    bool askLogin(QWidget *, const QString &title, const QString &text, QString *user,
        QString *password) override
    {
        record(text, LoginQuestion, title);
        if (logins.isEmpty())
            return false;
        *user = logins.first().first;
        *password = logins.takeFirst().second;
        return true;
    }
    enum { SaveQuestion = -1, LoginQuestion = -2 };
    QStringList saves;
    QList<QPair<QString, QString>> logins;

    // The n-th box asked as "text|title|style".
    QString box(int n = 0) const
    {
        if (n < 0 || n >= asked.size())
            return QStringLiteral("<question %1 was never asked>").arg(n + 1);
        const Asked &a = asked.at(n);
        return a.text + "|" + a.title + "|" + QString::number(a.style);
    }

    QList<MsgBox::Answer> answers; // taken in order, then defaultAnswer
    MsgBox::Answer defaultAnswer = MsgBox::Ok;
    std::function<void(const Asked &)> whileOpen;
    std::function<int(QDialog *)> onDialog;
    std::function<bool(PageDialog *)> onPageDialog; // OK, nothing typed, when unset
    std::function<bool(QPrinter *)> onPrinter;      // cancelled when unset
    QList<PageDialog> pageDialogs;
    QList<Asked> asked;
    QStringList others;
    int dialogsRun = 0;

private:
    void record(const QString &text, int style, const QString &title)
    {
        asked.append(Asked { text, style, title });
        if (whileOpen) // as in the nested loop a real box would run
            whileOpen(asked.last());
    }
};
