#include "dialogs/frmOptions.h"

#include "forms/Prompter.h"
#include "forms/Controls.h"
#include "forms/Twips.h"

#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

frmOptions::frmOptions(const Twips &twips, QString settingsPath, Prompter *prompter,
                       QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                              | Qt::WindowCloseButtonHint),
      cmdOK(named(new QPushButton(QStringLiteral("OK"), this), QStringLiteral("cmdOK"),
                  QStringLiteral("OK"))),
      fraSample1(named(new QGroupBox(QStringLiteral("New Window"), this),
                       QStringLiteral("fraSample1"), QStringLiteral("New Window"))),
      optback(named(new QRadioButton(QStringLiteral("In Background"), fraSample1),
                    QStringLiteral("optback"), QStringLiteral("In Background"))),
      optfocus(named(new QRadioButton(QStringLiteral(" With Focus"), fraSample1),
                     QStringLiteral("optfocus"), QStringLiteral(" With Focus"))),
      cmdcancel(named(new QPushButton(QStringLiteral("Cancel"), this),
                      QStringLiteral("cmdcancel"), QStringLiteral("Cancel"))),
      m_path(std::move(settingsPath)),
      m_prompter(prompter)
{
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(QStringLiteral("Options"));
    // The design's small dialog font: the captions fit their twips.
    QFont small = font();
    small.setPointSizeF(8);
    setFont(small);
    setAccessibleName(QStringLiteral("Options"));
    setModal(true);
    setFixedSize(twips.toPx(3270), twips.toPx(1710));
    place(cmdOK, twips, 1200, 1320, 1095, 375);
    place(fraSample1, twips, 0, 0, 3255, 1305);
    place(optback, twips, 360, 720, 1575, 255);
    place(optfocus, twips, 360, 360, 1215, 255);
    // Never clip a caption: an option grows to its text when the font needs it.
    for (QRadioButton *option : { optback, optfocus })
        option->resize(qMax(option->width(), option->sizeHint().width()), option->height());
    place(cmdcancel, twips, 2280, 1320, 975, 375);
    setTabOrder(cmdOK, optback);
    setTabOrder(optback, optfocus);
    setTabOrder(optfocus, cmdcancel);
    cmdOK->setDefault(true);
    optback->setChecked(true);

    connect(cmdOK, &QPushButton::clicked, this, &frmOptions::cmdOK_Click);
    connect(cmdcancel, &QPushButton::clicked, this, &frmOptions::cmdcancel_Click);
}

NewWindowMode frmOptions::mode() const
{
    return optfocus->isChecked() ? NewWindowMode::Focus : NewWindowMode::Background;
}

void frmOptions::select(NewWindowMode mode)
{
    (mode == NewWindowMode::Focus ? optfocus : optback)->setChecked(true);
}

void frmOptions::reportFailure(Prompter *prompter, QWidget *parent, int code,
                               const QString &description)
{
    prompter->msgBox(parent, QString::number(code) + QStringLiteral("\r\n") + description,
                     MsgBox::Exclamation,
                     QStringLiteral("Error in Orvane.ini\r\nAborting.."));
}

void frmOptions::options_Click()
{
    const SettingsRead read = ReadSettingsFile(m_path);
    if (read.ok) {
        select(read.mode);
    } else if (read.missing) {
        const SettingsWrite w = WriteSettingsFile(m_path, NewWindowMode::Focus);
        if (!w.ok) {
            reportFailure(m_prompter, parentWidget(), w.code, w.description);
            return;
        }
    } else {
        reportFailure(m_prompter, parentWidget(), read.code, read.description);
        return;
    }
    m_opened = mode();
    m_prompter->execDialog(this);
}

void frmOptions::cmdOK_Click()
{
    const NewWindowMode chosen = mode();
    const SettingsWrite w = WriteSettingsFile(m_path, chosen);
    if (!w.ok) {
        // The file on disk is untouched; the dialog stays open so nothing is lost.
        reportFailure(m_prompter, this, w.code, w.description);
        return;
    }
    accept();
}

void frmOptions::cmdcancel_Click()
{
    reject();
}

void frmOptions::done(int result)
{
    if (result != QDialog::Accepted)
        select(m_opened);
    QDialog::done(result);
}
