#pragma once

#include "forms/Prompter.h"

#include <QDialog>
#include <QList>
#include <QString>
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

    int msgBox(QWidget *, const QString &text, int style, const QString &title) override
    {
        asked.append(Asked { text, style, title });
        if (whileOpen)
            whileOpen(asked.last());
        return answers.isEmpty() ? defaultAnswer : answers.takeFirst();
    }
    QString openFileName(
        QWidget *, const QString &, const QString &, const QList<FileFilter> &) override
    {
        return QString();
    }
    QString saveFileName(QWidget *, const QString &, const QString &) override { return {}; }
    QString askText(QWidget *, const QString &, const QString &, bool *ok) override
    {
        return *ok = false, QString();
    }
    bool choosePrinter(QWidget *, QPrinter *) override { return false; }
    int execDialog(QDialog *dialog) override
    {
        ++dialogsRun;
        return onDialog ? onDialog(dialog) : int(QDialog::Rejected);
    }

    // Answers for message boxes, taken in order; when none is left, defaultAnswer.
    QList<int> answers;
    int defaultAnswer = 1;
    // Runs while a message box is "open" (the nested loop a real box would run).
    std::function<void(const Asked &)> whileOpen;
    std::function<int(QDialog *)> onDialog;
    QList<Asked> asked;
    int dialogsRun = 0;
};
