// What the page reports: status, progress, title, completion, new windows.
#include "browser/Form1.h"

#include "browser/History.h"
#include "browser/WebBrowser.h"
#include "forms/Prompter.h"
#include "forms/TabStrip.h"
#include "forms/TreeView.h"
#include "forms/WindowKey.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>

void Form1::setAddressText(const QString &text)
{
    // What the user is typing is never replaced by the page's address; the address
    // is sent (or the box left) first. An address selected for typing over stays
    // selected when the page sets it.
    QLineEdit *edit = cmbadress->lineEdit();
    if (edit->hasFocus() && edit->isModified())
        return;
    const bool selected = edit->hasSelectedText() && edit->selectedText() == edit->text();
    cmbadress->setEditText(text);
    if (selected)
        edit->selectAll();
}

void Form1::wb_StatusTextChange(const QString &text)
{
    Stbar1Panel1->setText(text);
}

void Form1::wb_ProgressChange(int progress, int progressMax)
{
    pos = progress;
    max = progressMax;
}

void Form1::wb_TitleChange(const QString &text)
{
    if (isUnloaded())
        return;
    setCaption(text);
    TabStrip *tabs = frame()->windowTabs();
    if (const int tab = tabs->FindKey(WindowKeyFor(hWnd())))
        tabs->setCaption(tab, text);
    if (QTreeWidgetItem *node = treeNode()) {
        node->setText(0, text);
        return;
    }
    setAddressText(wb->documentUrl());
}

// Said in the status bar only: a page that kills its renderer again and again
// must not bury the user in message boxes.
void Form1::wb_RendererGone(const QString &reason)
{
    Stbar1Panel1->setText(QStringLiteral("The page's renderer %1. Refresh to load it again.")
                                  .arg(reason));
    pos = 0;
    max = 0;
    frame()->progressTimer()->stop();
}

void Form1::wb_DocumentComplete()
{
    if (isUnloaded())
        return;
    {
        // Let pending events run first; the window may be closed meanwhile.
        Hold hold(this);
        QCoreApplication::processEvents();
        if (isUnloaded())
            return;
    }
    setAddressText(wb->LocationURL());
    if (History *history = frame()->history()) {
        history->record(wb->LocationURL(), Caption().trimmed());
        if (const QString why = history->takeProblem(); !why.isEmpty())
            Stbar1Panel1->setText(QStringLiteral("History is off for this run: ") + why);
    }
    gnetButtons.at(2)->setEnabled(true);
    frame()->stopProgress();
    frame()->windowNavigated();
}

void Form1::wb_NewWindow2(QObject **ppDisp, bool *cancel)
{
    if (isUnloaded()) {
        *cancel = true;
        return;
    }
    // Pages keep running while we ask and while the new window is shown: this
    // window may be closed meanwhile (its close box, a script, an opener's cascade,
    // the frame closing), so it is held for the whole handler and checked after
    // every step that lets events run.
    Hold hold(this);
    BrowserHost *f = frame();
    const QString location = wb->LocationURL();
    setAddressText(location);

    const auto answer = f->prompter()->msgBox(
            this,
            QStringLiteral("Orvane 2\r\nNew Window Detect...\r\nUrl:") + location
                    + QStringLiteral("\r\nDo you want to open ?"),
            MsgBox::YesNoCritical, QStringLiteral("Orvane"));
    if (answer == MsgBox::No || isUnloaded()) {
        *cancel = true;
        return;
    }

    const QPointer<Form1> window = f->openWindow({}, this);
    if (!window || isUnloaded() || window->isUnloaded()) {
        // Opened from a window that is gone: it would have closed with it.
        if (window)
            window->Unload();
        *cancel = true;
        return;
    }
    *ppDisp = window->wb->object();
}

void Form1::waitBehind()
{
    // A page that has just loaded puts the keyboard into its view, and a view that
    // takes the keyboard brings its window to the front; a view that takes no input
    // cannot. Any activation (the user's, or the window in front closing) ends it.
    wb->setEnabled(false);
}

void Form1::Stbar1_PanelClick()
{
    Toolbar1_MouseMove();
}
