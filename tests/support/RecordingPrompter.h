#pragma once

#include "forms/Prompter.h"

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

    int msgBox(QWidget *parent, const QString &text, int style, const QString &title) override;
    QString openFileName(QWidget *parent, const QString &title, const QString &folder,
                         const QList<FileFilter> &filters) override;
    QString saveFileName(QWidget *parent, const QString &title, const QString &suggested) override;
    QString askText(QWidget *parent, const QString &title, const QString &label,
                    bool *ok) override;
    bool choosePrinter(QWidget *parent, QPrinter *printer) override;
    int execDialog(QDialog *dialog) override;

    // Answers for message boxes, taken in order; when none is left, defaultAnswer.
    QList<int> answers;
    int defaultAnswer = 1;
    // Runs while a message box is "open" (the nested loop a real box would run).
    std::function<void(const Asked &)> whileOpen;
    // File names to return, in order ("" = cancelled).
    QStringList fileNames;
    QString textAnswer;
    bool textOk = false;
    bool printerOk = false;
    std::function<int(QDialog *)> onDialog;

    QList<Asked> asked;
    QList<QStringList> fileDialogs; // title, folder, filter names...
    int dialogsRun = 0;
    int printersAsked = 0;
};
