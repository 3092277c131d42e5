#include "dialogs/frmEdit.h"

#include "forms/Twips.h"
#include "forms/TreeView.h"
#include "forms/WindowKey.h"

#include <QCoreApplication>
#include <QMdiSubWindow>
#include <QPlainTextEdit>

frmEdit::frmEdit(EditorHost *frame)
    : ChildForm(frame), Text1(new QPlainTextEdit(this)), m_frame(frame)
{
    setObjectName(QStringLiteral("frmEdit"));
    setWindowTitle(QStringLiteral("Edit"));
    setAccessibleName(QStringLiteral("Edit"));
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setAccessibleName(QStringLiteral("Text1"));
    Text1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    pText1 = std::make_unique<Placement>(Text1, &frame->twips(), 0, 0, 4575, 3135);
    const Twips &t = frame->twips();
    subWindow()->resize(t.toPx(4605 + 120), t.toPx(3105 + 400));
}

frmEdit::~frmEdit() = default;

void frmEdit::resizeEvent(QResizeEvent *event)
{
    ChildForm::resizeEvent(event);
    Form_Resize();
}

void frmEdit::Form_Resize()
{
    if (isUnloaded())
        return;
    // The text box fills the window's inside. (Margins against the outer size only
    // fit a window with a frame and caption; a maximised child has neither.) A
    // minimised window keeps the text box's last size.
    if (WindowState() != 1) {
        pText1->setWidth(ScaleWidth());
        pText1->setHeight(ScaleHeight());
    }
    yieldOnce();
}

void frmEdit::takeFocus()
{
    Text1->setFocus();
}

void frmEdit::Form_Unload()
{
    TreeView *tree = frame()->openWebsTree();
    tree->RemoveItem(tree->FindKey(WindowKeyFor(hWnd())));
}
