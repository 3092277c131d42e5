#include "dialogs/Module2.h"

#include "dialogs/frmEdit.h"
#include "dialogs/EditorHost.h"
#include "forms/Prompter.h"
#include "forms/TreeView.h"
#include "forms/WindowKey.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>

namespace {
bool onlySpaces(const QString &text)
{
    for (const QChar c : text)
        if (c != QLatin1Char(' '))
            return false;
    return true;
}
} // namespace

QString Module2::PageBuffer(const QByteArray &bytes)
{
    QString text = QString::fromLocal8Bit(bytes.left(PageDownload::MaxBytes));
    if (text.size() < PageDownload::MaxBytes)
        text.append(QString(PageDownload::MaxBytes - text.size(), QLatin1Char(' ')));
    return text;
}

frmEdit *Module2::EditPageSource(EditorHost *frame, const QString &address,
                                 const DownloadOptions &options)
{
    const PageFetch fetch = frame->pageFetch();
    const DownloadResult download = PageDownload::FetchWhilePainting(fetch, address, options);
    const QString buffer = PageBuffer(download.body);
    // Only blanks count as nothing: a page of line breaks is still shown.
    if (!download.ok || onlySpaces(buffer)) {
        frame->prompter()->msgBox(frame->mdiArea()->window(), QStringLiteral("Error to Read File..."), MsgBox::Critical,
                                  QStringLiteral("Edit.."));
        return nullptr;
    }

    auto *editor = new frmEdit(frame);
    editor->Text1->setPlainText(buffer);
    // Maximised from its first showing: no flash at its normal size.
    editor->subWindow()->showMaximized();
    frame->openWebsTree()->Add(nullptr, TreeView::Child, WindowKeyFor(editor->hWnd()),
                        QStringLiteral("Edit - ") + address);
    editor->Show();
    return editor;
}
