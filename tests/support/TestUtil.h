#pragma once

#include "browser/Form1.h"
#include "browser/TypedAddress.h"
#include "browser/WebBrowser.h"
#include "browser/webengine/WebEngineBrowser.h"
#include "browser/webengine/WebEngineFactory.h"
#include "dialogs/Module2.h"
#include "dialogs/frmEdit.h"
#include "dialogs/frmOptions.h"
#include "forms/MessageBoxPrompter.h"
#include "forms/SettingsFile.h"
#include "forms/TabStrip.h"
#include "forms/TreeView.h"
#include "forms/WindowKey.h"
#include "frame/MDIForm1.h"
#include "frame/WindowJournal.h"
#include "sidebar/SideBar.h"

#include <QWebEnginePage>
#include <QWebEngineView>
#include <QtTest>
#include <QtWidgets>
#include <sys/mount.h>
#include <sys/stat.h>

inline void writeFile(const QString &path, const QByteArray &content = QByteArray())
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    file.write(content);
}

// A file system of 16 KiB on the folder while it lives; none when the folder is empty or
// this machine may not mount.
struct SmallDisk
{
    explicit SmallDisk(const QString &folder) : at(QFile::encodeName(folder))
    {
        mounted = !folder.isEmpty()
            && ::mount("tmpfs", at.constData(), "tmpfs", 0, "size=16k") == 0;
    }
    ~SmallDisk()
    {
        if (mounted)
            ::umount2(at.constData(), MNT_DETACH);
    }
    const QByteArray at;
    bool mounted = false;
};
#define SKIP_UNLESS_MOUNTED(disk)                                                                  \
    if (!(disk).mounted)                                                                           \
    QSKIP("no small file system can be mounted here (that needs root and mount rights)")

// What a test puts at the path: "<missing>" nothing, "<folder>" a folder, "<pipe>" a pipe
// with no writer, else a file of those bytes.
inline void makeAt(const QString &path, const QByteArray &content)
{
    if (content == "<folder>")
        QVERIFY(QDir().mkpath(path));
    else if (content == "<pipe>")
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else if (content != "<missing>")
        writeFile(path, content);
}

inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// The named child; when it is missing the test fails saying so, and the caller gets
// null to check, never an object to crash on.
template <typename T> T *childOf(QObject *parent, const QString &name)
{
    T *child = parent ? parent->findChild<T *>(name) : nullptr;
    if (!child)
        QTest::qFail(qPrintable(QStringLiteral("no child named ") + name), __FILE__, __LINE__);
    return child;
}

// The value, never null: when it is, the test fails there naming what is missing, and
// ends. Form1 *w = VERIFIED(t.openPage(address)); (a GNU statement expression may return)
#define VERIFIED(value)                                                                            \
    ({                                                                                             \
        auto verified = (value);                                                                   \
        if (!verified)                                                                             \
            QFAIL("missing: " #value);                                                             \
        verified;                                                                                  \
    })

inline Form1 *lastWindow(MDIForm1 *frame)
{
    Form1 *last = nullptr;
    for (ChildForm *form : frame->forms())
        last = qobject_cast<Form1 *>(form) ? static_cast<Form1 *>(form) : last;
    return last;
}

inline bool waitForComplete(Form1 *w)
{
    return w && QSignalSpy(w->wb, &WebBrowser::DocumentComplete).wait(30000);
}

// Types an address and clicks Go, as a user would.
inline void go(Form1 *w, const QString &address)
{
    w->cmbadress->setEditText(address);
    w->gnet_ButtonClick(1);
}

inline QWebEnginePage *pageOf(Form1 *w) { return static_cast<WebEngineBrowser *>(w->wb)->page(); }
inline QWebEngineView *viewOf(Form1 *w) { return static_cast<WebEngineBrowser *>(w->wb)->view(); }

// Goes to the address as a user would, and waits for its page.
inline bool load(Form1 *w, const QString &address)
{
    go(w, address);
    return waitForComplete(w);
}

// Waits for a state on the page, not a signal that may have come before anyone listened.
inline bool waitForScript(Form1 *w, const QString &script, int timeoutMs = 30000)
{
    auto result = std::make_shared<bool>(false);
    return QTest::qWaitFor([&] {
        pageOf(w)->runJavaScript(script, [result](const QVariant &v) { *result = v.toBool(); });
        QTest::qWait(50);
        return *result;
    }, timeoutMs);
}

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

// Double-clicks the Favorites item showing the text anywhere in the tree; when there is
// none, the test fails saying so, and the answer is false.
inline bool openFavorite(MDIForm1 *f, const QString &text)
{
    const auto items = f->TreeFavor->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    if (items.isEmpty())
        return QTest::qFail(qPrintable("no tree item " + text), __FILE__, __LINE__), false;
    f->TreeFavor->setCurrentItem(items.first());
    f->TreeFavor_DblClick();
    return true;
}

// A window's node and tab in one: "<parent key>/<node text> | <tab caption>", "-" if missing.
inline QString listing(MDIForm1 *f, ChildForm *w)
{
    QTreeWidgetItem *n = nodeOf(f, w);
    QString s = n ? (n->parent() ? TreeView::Key(n->parent()) : "top") + "/" + n->text(0) : "-";
    s += " | ";
    for (int i = 1; i <= f->mytab->Count(); ++i)
        if (f->mytab->Key(i) == WindowKeyFor(w->hWnd()))
            return s + f->mytab->Caption(i);
    return s + "-";
}

// The journal's windows as "[* ][<opener's caption> > ]<caption>[ | tab] @ <address>", the
// star on the one in front; none when the file cannot be read.
inline QStringList journalled(const QString &path)
{
    Journal j;
    DecodeJournal(readFile(path), &j);
    QHash<int, QString> captions;
    QStringList listed;
    for (const JournalEntry &e : j.windows) {
        captions.insert(e.id, e.caption);
        listed.append(QString(listed.size() == j.front ? "* " : "")
            + (e.opener ? captions.value(e.opener, "?") + " > " : QString()) + e.caption
            + (e.tab ? " | tab" : "") + " @ " + e.address);
    }
    return listed;
}

// Answers the real dialogs, each time one shows, while it lives. Every look is a timer of
// its own: an answer that waits may run the next dialog's loop under it.
class DialogAnswerer : public QObject
{
public:
    explicit DialogAnswerer(std::function<void(QWidget *)> answer) : m_answer(std::move(answer))
    {
        look();
    }
    int answered = 0;

private:
    void look()
    {
        QTimer::singleShot(50, this, [this] {
            look();
            QWidget *modal = QApplication::activeModalWidget();
            if (!modal || !modal->isVisible() || modal == m_last)
                return;
            (m_last = modal)->installEventFilter(this);
            ++answered;
            m_answer(modal);
        });
    }
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (e->type() == QEvent::Hide && o == m_last)
            m_last = nullptr; // shown again, it asks again
        return false;
    }
    std::function<void(QWidget *)> m_answer;
    QPointer<QWidget> m_last;
};

// Input through the X server itself (XTEST), so the program gets it exactly as from
// a person: pointer motion, focus changes and all. Real X only.
namespace RealInput {
bool available();
// Moves the pointer to a point of the widget (its centre by default) and clicks.
void click(QWidget *widget, QPoint at = QPoint(-1, -1), int button = 1);
void type(const QString &printableAscii);
// Clicks the window manager's close box of a top-level window (at the right of its
// title bar, as openbox draws it); false when the window has no frame yet.
bool clickCloseBox(QWidget *window);
void key(const char *keysymName); // "Return", "Escape", ...
// Keys held down in order and let go in reverse: {"Control_L", "r"}.
void chord(const QStringList &keysymNames);
// Lets the program run before a test looks, as a person looks once the screen settled.
inline void settle(int idleMs = 1000) { QTest::qWait(idleMs); }
} // namespace RealInput
