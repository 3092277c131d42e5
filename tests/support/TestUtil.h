#pragma once

#include "browser/Form1.h"
#include "browser/WebBrowser.h"
#include "browser/webengine/WebEngineBrowser.h"
#include "dialogs/Module2.h"
#include "dialogs/frmEdit.h"
#include "dialogs/frmOptions.h"
#include "forms/MessageBoxPrompter.h"
#include "forms/SettingsFile.h"
#include "forms/TabStrip.h"
#include "forms/TreeView.h"
#include "forms/WindowKey.h"
#include "frame/MDIForm1.h"
#include "sidebar/SideBar.h"

#include <QWebEnginePage>
#include <QtTest>
#include <QtWidgets>
#include <memory>
#include <sys/stat.h>

// Writes a file, making its folder first.
inline void writeFile(const QString &path, const QByteArray &content = QByteArray())
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    file.write(content);
}

// A file's bytes, or "<missing>".
inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// The newest browser window of a frame.
inline Form1 *lastWindow(MDIForm1 *frame)
{
    const QList<ChildForm *> forms = frame->forms();
    for (int i = forms.size() - 1; i >= 0; --i)
        if (auto *w = qobject_cast<Form1 *>(forms.at(i)))
            return w;
    return nullptr;
}

// Waits for the window's page to complete a load.
inline bool waitForComplete(Form1 *window, int count = 1, int timeoutMs = 30000)
{
    QSignalSpy spy(window->wb, &WebBrowser::DocumentComplete);
    return spy.size() >= count || QTest::qWaitFor([&] { return spy.size() >= count; }, timeoutMs);
}

// Types an address and clicks Go, as a user would.
inline void go(Form1 *w, const QString &address)
{
    w->cmbadress->setEditText(address);
    w->gnet_ButtonClick(1);
}

inline void runScript(Form1 *w, const QString &script)
{
    static_cast<WebEngineBrowser *>(w->wb)->page()->runJavaScript(script);
}

// Waits until a script on the window's page returns true: a state, where a signal
// may have come before anyone listened.
inline bool waitForScript(Form1 *w, const QString &script, int timeoutMs = 30000)
{
    auto result = std::make_shared<bool>(false);
    return QTest::qWaitFor(
        [&] {
            static_cast<WebEngineBrowser *>(w->wb)->page()->runJavaScript(
                script, [result](const QVariant &v) { *result = v.toBool(); });
            QTest::qWait(50);
            return *result;
        },
        timeoutMs);
}

// Lets deferred deletions run.
inline void flushDeletes()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

inline QTreeWidgetItem *nodeOf(MDIForm1 *f, ChildForm *w)
{
    return f->webtree->FindKey(WindowKeyFor(w->hWnd()));
}

// How a window is listed, node and tab in one: "<parent key>/<node text> | <tab caption>",
// with "-" for a missing node or tab.
inline QString listing(MDIForm1 *f, ChildForm *w)
{
    const QString key = WindowKeyFor(w->hWnd());
    QTreeWidgetItem *n = f->webtree->FindKey(key);
    QString s = n ? (n->parent() ? TreeView::Key(n->parent()) : QStringLiteral("top"))
            + QLatin1Char('/') + n->text(0)
                  : QStringLiteral("-");
    QString tab = QStringLiteral("-");
    for (int i = 1; i <= f->mytab->Count(); ++i)
        if (f->mytab->Key(i) == key)
            tab = f->mytab->Caption(i);
    return s + QStringLiteral(" | ") + tab;
}
