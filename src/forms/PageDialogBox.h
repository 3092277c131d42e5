#pragma once

#include "forms/PageDialog.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;

// The dialog a page raises: its site as the title, its text as plain text, a line
// to type into for a prompt, and the offer to stop the page's dialogs.
class PageDialogBox : public QDialog
{
    Q_OBJECT
public:
    PageDialogBox(QWidget *parent, const PageDialog &dialog);

    // The user's value and choice to stop, into the dialog's description.
    void read(PageDialog *dialog) const;

    QCheckBox *stopBox() const { return m_stop; }

private:
    QLineEdit *m_input = nullptr;
    QCheckBox *m_stop = nullptr;
};
