#include "RecordingPrompter.h"

#include <QDialog>

int RecordingPrompter::msgBox(QWidget *, const QString &text, int style, const QString &title)
{
    const Asked a{ text, style, title };
    asked.append(a);
    if (whileOpen)
        whileOpen(a);
    return answers.isEmpty() ? defaultAnswer : answers.takeFirst();
}

QString RecordingPrompter::openFileName(QWidget *, const QString &title, const QString &folder,
                                        const QList<FileFilter> &filters)
{
    QStringList asked{ title, folder };
    for (const FileFilter &filter : filters)
        asked.append(filter.name);
    fileDialogs.append(asked);
    return fileNames.isEmpty() ? QString() : fileNames.takeFirst();
}

QString RecordingPrompter::saveFileName(QWidget *, const QString &title, const QString &suggested)
{
    fileDialogs.append(QStringList{ title, suggested });
    return fileNames.isEmpty() ? QString() : fileNames.takeFirst();
}

QString RecordingPrompter::askText(QWidget *, const QString &, const QString &, bool *ok)
{
    *ok = textOk;
    return textAnswer;
}

bool RecordingPrompter::choosePrinter(QWidget *, QPrinter *)
{
    ++printersAsked;
    return printerOk;
}

int RecordingPrompter::execDialog(QDialog *dialog)
{
    ++dialogsRun;
    if (onDialog)
        return onDialog(dialog);
    return QDialog::Rejected;
}
