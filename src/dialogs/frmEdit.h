#pragma once

#include "frame/ChildForm.h"
#include "frame/Twips.h"

#include <memory>

class QPlainTextEdit;

// A page-source editor: one text box in a child window of the frame.
class frmEdit : public ChildForm
{
    Q_OBJECT
public:
    explicit frmEdit(MDIForm1 *frame);
    ~frmEdit() override;

    void Form_Resize();

    QPlainTextEdit *Text1;
    std::unique_ptr<Placement> pText1;

protected:
    void Form_Unload() override;
    void takeFocus() override;
    void resizeEvent(QResizeEvent *event) override;

private:
};
