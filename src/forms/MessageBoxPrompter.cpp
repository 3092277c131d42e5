#include "forms/MessageBoxPrompter.h"

#include "forms/LoginDialog.h"
#include "forms/PageDialogBox.h"

#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPointer>
#include <QPrinter>

MsgBox::Answer MessageBoxPrompter::msgBox(QWidget *parent, const QString &text,
                                          MsgBox::Style style, const QString &title)
{
    QMessageBox box(parent);
    box.setTextFormat(Qt::PlainText);
    // CR LF ends lines in our texts; the box wants plain line feeds.
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    box.setText(shown);
    box.setWindowTitle(title.isEmpty() ? QStringLiteral("Orvane") : title);
    const bool yesNo = MsgBox::has(style, MsgBox::Style::YesNo);
    const int icon = int(style) & 0xF0;
    if (yesNo)
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    else
        box.setStandardButtons(QMessageBox::Ok);
    switch (icon) {
    case 16: box.setIcon(QMessageBox::Critical); break;
    case 32: box.setIcon(QMessageBox::Question); break;
    case 48: box.setIcon(QMessageBox::Warning); break;
    case 64: box.setIcon(QMessageBox::Information); break;
    default: box.setIcon(QMessageBox::NoIcon); break;
    }
    if (yesNo && MsgBox::has(style, MsgBox::SecondDefault))
        box.setDefaultButton(QMessageBox::No);
    box.setAccessibleName(box.windowTitle());
    switch (box.exec()) {
    case QMessageBox::Yes: return MsgBox::Yes;
    case QMessageBox::No: return MsgBox::No;
    default: return yesNo ? MsgBox::No : MsgBox::Ok;
    }
}

bool MessageBoxPrompter::pageDialog(QWidget *parent, PageDialog *dialog)
{
    // Owned by its parent too: a window that closes takes its dialog with it.
    QPointer<PageDialogBox> box = new PageDialogBox(parent, *dialog);
    const int result = box->exec();
    if (!box)
        return false;
    box->read(dialog);
    delete box;
    return result == QDialog::Accepted;
}

QString MessageBoxPrompter::openFileName(QWidget *parent, const QString &title,
                                         const QString &folder, const QList<FileFilter> &filters)
{
    QFileDialog dialog(parent, title, folder);
    // Qt's own dialog, so that the type list can show our names alone.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::AnyFile);
    QStringList nameFilters;
    for (const FileFilter &filter : filters)
        nameFilters.append(filter.name + QStringLiteral(" (") + filter.patterns.join(QLatin1Char(' '))
                           + QLatin1Char(')'));
    dialog.setNameFilters(nameFilters);
    // The dialog reads each entry's patterns by its place in the list; what the
    // list shows is the name alone.
    if (auto *types = dialog.findChild<QComboBox *>(QStringLiteral("fileTypeCombo")))
        for (int i = 0; i < filters.size() && i < types->count(); ++i)
            types->setItemText(i, filters.at(i).name);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}

QString MessageBoxPrompter::saveFileName(QWidget *parent, const QString &title,
                                         const QString &suggested)
{
    return QFileDialog::getSaveFileName(parent, title, suggested);
}

QString MessageBoxPrompter::askText(QWidget *parent, const QString &title, const QString &label,
                                    const QString &text, bool *ok)
{
    return QInputDialog::getText(parent, title, label, QLineEdit::Normal, text, ok);
}

QStringList MessageBoxPrompter::chooseFiles(QWidget *parent, const QString &folder, bool multiple)
{
    const QString title = QStringLiteral("Choose File to Upload");
    if (multiple)
        return QFileDialog::getOpenFileNames(parent, title, folder);
    const QString file = QFileDialog::getOpenFileName(parent, title, folder);
    return file.isEmpty() ? QStringList() : QStringList { file };
}

bool MessageBoxPrompter::choosePrinter(QWidget *parent, QPrinter *printer)
{
    QPrintDialog dialog(printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

int MessageBoxPrompter::execDialog(QDialog *dialog)
{
    return dialog->exec();
}

QString MessageBoxPrompter::saveFileIn(QWidget *parent, const QString &title,
                                       const QString &folder, const QString &suggested)
{
    return QFileDialog::getSaveFileName(parent, title, QDir(folder).filePath(suggested), QString(),
                                        nullptr, QFileDialog::DontConfirmOverwrite);
}

bool MessageBoxPrompter::askLogin(QWidget *parent, const QString &title, const QString &text,
                                  QString *user, QString *password)
{
    LoginDialog dialog(parent, title, text);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    *user = dialog.user();
    *password = dialog.password();
    return true;
}
