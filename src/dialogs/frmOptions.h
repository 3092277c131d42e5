#pragma once

#include "forms/SettingsFile.h"

#include <QDialog>

class QGroupBox;
class QPushButton;
class QRadioButton;
class Twips;
class Prompter;

// The options dialog. Its two option buttons are the program's live copy of the
// new-window setting.
class frmOptions : public QDialog
{
    Q_OBJECT
public:
    frmOptions(const Twips &twips, QString settingsPath, Prompter *prompter,
               QWidget *parent = nullptr);

    NewWindowMode mode() const;
    void select(NewWindowMode mode);

    // Reads the settings file into the buttons and shows the dialog modally.
    void options_Click();
    void cmdOK_Click();
    void cmdcancel_Click();

    // Any way of closing but OK (Cancel, Escape, the close box) puts back the
    // selection the dialog was opened with.
    void done(int result) override;

    // The "Error in Orvane.ini" box.
    static void reportFailure(Prompter *prompter, QWidget *parent, int code,
                              const QString &description);

    QPushButton *cmdOK;
    QGroupBox *fraSample1;
    QRadioButton *optback;
    QRadioButton *optfocus;
    QPushButton *cmdcancel;

private:
    QString m_path;
    Prompter *m_prompter;
    NewWindowMode m_opened = NewWindowMode::Background;
};
