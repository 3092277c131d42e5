#pragma once

#include "dialogs/EditorHost.h"
#include "forms/ChildForm.h"
#include "forms/Twips.h"

#include <memory>

class QPlainTextEdit;

// A page-source editor: one text box in a child window of the frame.
class frmEdit : public ChildForm
{
    Q_OBJECT
public:
    explicit frmEdit(EditorHost *frame);
    ~frmEdit() override;

    EditorHost *frame() const { return m_frame; }

    void Form_Resize();

    QPlainTextEdit *Text1;
    std::unique_ptr<Placement> pText1;

protected:
    void Form_Unload() override;
    void takeFocus() override;
    void resizeEvent(QResizeEvent *event) override;

private:
    EditorHost *m_frame;
};
