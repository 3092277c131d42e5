// The frame and its browser windows on the real engine: start-up and settings, menus, windows
// opened, switched and closed, history, the journal of open windows, side bar and Favorites,
// Options, the page-source editor, hostile pages; against servers on 127.0.0.1: cookies,
// downloads, logins, certificates, a page's dialogs and features, printing, other programs.
#include "TestFrame.h"
#include "browser/History.h"
#include "browser/webengine/DownloadJob.h"
#include "browser/webengine/DownloadWindow.h"
#include "browser/webengine/PageDialogs.h"
#include "dialogs/Dialog.h"
#include "dialogs/HistoryWindow.h"
#include "forms/PageDialogBox.h"
#include "sidebar/Favorites.h"
#include "sidebar/Shortcut.h"

#include <QDesktopServices>
#include <QPdfWriter>
#include <QPrinter>
#include <QWebEngineDownloadRequest>
#include <QWebEngineHistory>
#include <csignal>
#include <optional>

namespace {
const QByteArray FocusFile("[New Window]\r\nFocus\r\n");
const QByteArray BackgroundFile("[New Window]\r\nBackground\r\n");

// The page lies directly under the two bars and 80 twips above the status bar.
void checkFit(Form1 *w)
{
    QCOMPARE(w->pCoolBar2->Top(), w->pCoolBar1->Top() + w->pCoolBar1->Height());
    QCOMPARE(w->pwb->Top(), w->pCoolBar1->Height() + w->pCoolBar2->Height());
    QCOMPARE(w->pwb->Top() + w->pwb->Height(), w->ScaleHeight() - w->pStbar1->Height() - 80);
    QVERIFY(w->CoolBar1->height() >= w->Toolbar1->sizeHint().height());
}

QByteArray pattern(int size)
{
    QByteArray bytes(size, 'a');
    for (int i = 0; i < size; ++i)
        bytes[i] = char('a' + i % 26);
    return bytes;
}

// Timers tick, New Window works, and every registered window is whole and listed.
bool stillResponsive(TestFrame &t)
{
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(20);
    QTest::qWait(400);
    const int before = int(t->forms().size());
    t->new_Click();
    bool whole = t->mdiArea()->subWindowList().size() == t->forms().size();
    for (ChildForm *f : t->forms())
        whole = whole && t->mdiArea()->subWindowList().contains(f->subWindow());
    return whole && ticks >= 5 && t->forms().size() == before + 1;
}

// The captions as a screen reader reads them, and the letters Alt opens them with.
QStringList captions(QWidget *menu, QString *letters = nullptr)
{
    QStringList list;
    QAccessibleInterface *read = QAccessible::queryAccessibleInterface(menu);
    for (int i = 0; read && i < menu->actions().size(); ++i)
        if (QAction *a = menu->actions().at(i); a->isVisible() && read->child(i)) {
            list << (a->isSeparator() ? "-" : read->child(i)->text(QAccessible::Name));
            if (letters && !a->isSeparator())
                *letters += QKeySequence::mnemonic(a->text()).toString();
        }
    return list;
}

void hover(QWidget *widget)
{
    const QPointF pos(1, 1);
    QMouseEvent event(QEvent::MouseMove, pos, widget->mapToGlobal(pos), Qt::NoButton, Qt::NoButton,
        Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// Tag and picture of both buttons: "Open Web's" first.
QString state(SideBar *s)
{
    return QStringLiteral("%1/%2 %3/%4").arg(s->Tag(s->Image2)).arg(s->pictureOf(s->Image2))
        .arg(s->Tag(s->Image1)).arg(s->pictureOf(s->Image1));
}

// Each node as "text|key", children indented, in the order shown, the folder's path left out.
QString outline(const QTreeWidgetItem *item, const QString &folder, int depth = 0)
{
    QString lines = QString(depth, QLatin1Char(' ')) + item->text(0) + "|" + TreeView::Key(item);
    for (int i = 0; i < item->childCount(); ++i)
        lines += "," + outline(item->child(i), folder, depth + 1);
    return lines.remove(folder);
}

// "title @ address" of each visit, newest first.
QStringList listed(History *history, const QString &filter = QString())
{
    QStringList lines;
    for (const History::Visit &v : history->visits(filter, 100))
        lines << v.title + " @ " + v.address;
    return lines;
}

QByteArray binary(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = char((i * 131 + i / 251) & 0xFF);
    return bytes;
}

// Every name in the folder, hidden ones too.
QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

QList<DownloadWindow *> downloadWindows(TestFrame &t)
{
    return t->findChildren<DownloadWindow *>(QStringLiteral("frmDownload"));
}

// The n-th download window's last word once its download has ended.
QString endOf(TestFrame &t, int n = 0)
{
    QString text;
    (void)QTest::qWaitFor([&] {
        const QList<DownloadWindow *> windows = downloadWindows(t);
        text = windows.size() > n ? windows.at(n)->statusText() : QString();
        return text.startsWith("Done") || text.startsWith("Failed");
    }, 60000);
    return text;
}

// The title of the address opened in a new window.
QString titleOf(TestFrame &t, const QString &address)
{
    Form1 *w = t.openPage(address);
    return w ? w->Caption() : QStringLiteral("<never loaded>");
}

// Stands in for the desktop's handler of a scheme.
struct Handler : QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE void open(const QUrl &url) { opened.append(url.toString()); }
    QStringList opened;
};

// The title a page's script leaves when done; "" when it never does.
QString titleOnceSet(Form1 *w)
{
    if (!QTest::qWaitFor([&] { return pageOf(w)->title().startsWith("="); }, 30000))
        return QString();
    return pageOf(w)->title().mid(1);
}

} // namespace

class tst_frame : public QObject
{
    Q_OBJECT
    QString site() const { return m_server.site(); }
    QString url(const QString &path) const { return m_server.url(path); }
    static QString journalPath(const TestFrame &t) { return t.stateDir() + "/windows.json"; }
    TestServer m_server;
    TestServer m_tls { true };
    QByteArray m_big = binary(3 * 1024 * 1024 + 17), m_pdf;
    QByteArray m_seen; // the last request's headers that matter
    std::atomic<bool> m_stop { false };
    std::atomic<int> m_redirects { 0 };

private slots:
    void initTestCase()
    {
        for (const auto &[path, title] : QList<std::pair<QString, QByteArray>> { { "/a", "A" },
                 { "/p", "Named page" }, { "/b", "B" }, { "/c", "C &amp; D" }, { "/one", "one" },
                 { "/two", "two" }, { "/a_b", "a_b" }, { "/page", "Plain" }, { "/blank", "Blank" },
                 { "/t", "Tom &amp; Jerry &lt;b&gt;page" } })
            m_server.page(path, "<title>" + title + "</title>");
        const QByteArray many = "<script>function many(n){ for (var i = 0; i < n; ++i) "
                                "window.open('";
        m_server.page("/opener", "<title>Opener</title>" + many + "/child'); }</script>");
        m_server.page("/child", "<title>Child</title>" + many + "/a'); }</script>");
        m_server.page("/link", "<a href='/t'>on</a>");
        // The search engine: its title is the query it got.
        m_server.page("/search",
            "<script>document.title = '=' + decodeURIComponent(location.search)</script>");
        httplib::Server &s = m_server.server();
        s.Get("/moved", [](const auto &, auto &res) { res.set_redirect("/t"); });
        m_server.page("/unload",
            "<title>Unload</title><script>for (const e of ['unload', 'pagehide', 'beforeunload'])"
            "  addEventListener(e, function () { window.open('/child'); });</script>");
        s.Get("/ten", [this](const httplib::Request &req, httplib::Response &res) {
            m_seen = QByteArray::fromStdString(req.get_header_value("User-Agent") + "|"
                + req.get_header_value("Cache-Control") + "|" + req.get_header_value("Pragma"));
            res.set_content("0123456789", "text/plain");
        });
        m_server.page("/size/100000", pattern(100000));
        m_server.page("/size/300000", pattern(300000));
        m_server.page("/spaces", QByteArray(500, ' '));
        m_server.page("/breaks", "\n\n\n");
        m_server.page("/missing", "No such page here", 404);
        s.Get("/to-ten", [](const auto &, auto &res) { res.set_redirect("/ten"); });
        s.Get("/tofile", [](const auto &, auto &res) { res.set_redirect("file:///etc/hostname"); });
        s.Get("/slow", [](const auto &, auto &res) {
            std::this_thread::sleep_for(std::chrono::milliseconds(600));
            res.set_content("slow page", "text/plain");
        });
        m_server.page("/nul", QByteArray("<html>\0\0\0after-nul\0tail", 24));
        // Promises 100,000 bytes, sends 3,000 and drops the connection.
        s.Get("/cut", [](const auto &, auto &res) {
            res.set_content_provider(100000, "text/html", [](size_t, size_t, auto &sink) {
                sink.write(std::string(3000, 'r').data(), 3000);
                return false;
            });
        });
        s.Get("/loop", [this](const auto &, auto &res) {
            ++m_redirects;
            res.set_redirect("/loop");
        });
        // Sends a start, then holds the response open for a bounded time.
        s.Get("/stall", [this](const auto &, auto &res) {
            res.set_chunked_content_provider("text/html", [this](size_t, httplib::DataSink &sink) {
                sink.write("<title>Slow</title>", 19);
                for (int i = 0; i < 80 && !m_stop; ++i)
                    std::this_thread::sleep_for(std::chrono::milliseconds(50));
                sink.done();
                return true;
            });
        });
        m_server.cookies("/cookie");
        QByteArray text = "<title>Text</title><body>";
        for (int i = 0; i < 400; ++i) // eleven pages or so of plain text
            text += "<p>Paragraph " + QByteArray::number(i) + " of plain words to print.</p>";
        m_server.page("/text", text);
        m_server.page("/links", "<title>Links</title><body style='margin:0'><a id=a href='#' "
                                "style='display:block;width:400px;height:300px'>link</a>"
                                "<a id=one download=first.bin href=/slow1>1</a>"
                                "<a id=two download=second.bin href=/slow2>2</a>"
                                "<a id=three download=third.bin href=/slow3>3</a>");
        m_server.file("/report.zip", m_big, "report.zip");
        {
            QBuffer out(&m_pdf);
            out.open(QIODevice::WriteOnly);
            QPdfWriter writer(&out);
            QPainter painter(&writer);
            painter.drawText(QPointF(100, 100), "A page of a PDF");
        }
        m_server.file("/shown.pdf", m_pdf, {}, -1, 0, "application/pdf");
        m_server.file("/attached.pdf", m_pdf, "attached.pdf", -1, 0, "application/pdf");
        m_server.file("/cut.zip", m_big, "cut.zip", m_big.size() / 3, 30);
        m_server.file("/hostile", "x", "../../\x01" + QByteArray(1000, 'n') + ".tar.gz");
        for (const char *slow : { "/slow1", "/slow2", "/slow3" })
            m_server.file(slow, m_big.left(1024 * 1024), "slow.bin", -1, 40);
        m_server.file("/endless.bin", binary(100 * 1024 * 1024), "endless.bin", -1, 100);
        m_server.login("/private", "ann", "right", "<title>Welcome</title>",
                       "<title>Refused</title><p>Refused by the test server</p>");
        QVERIFY(m_server.start());
        m_tls.page("/", "<title>Secure page</title>");
        QVERIFY2(m_tls.start(), "the HTTPS server (openssl and its certificate)");
    }

    void startUpReadsTheSettingsFile_data()
    {
        QTest::addColumn<QByteArray>("bytes"); // "<missing>", "<folder>", ...: such
        QTest::addColumn<bool>("focus");
        QTest::addColumn<int>("error"); // the code in the box, 0 for none
        QTest::newRow("header and Focus") << FocusFile << true << 0;
        QTest::newRow("Background") << BackgroundFile << false << 0;
        // Any line end, none at the end, no header; the line read as it is, blanks and case.
        QTest::newRow("LF ends") << QByteArray("[New Window]\nFocus\n") << true << 0;
        QTest::newRow("CR ends, no final one") << QByteArray("[New Window]\rFocus") << true << 0;
        QTest::newRow("no header") << QByteArray("Focus\r\n") << true << 0;
        const QByteArray header = "[New Window]\r\n";
        QTest::newRow("blanks around Focus") << header + " Focus \r\n" << false << 0;
        QTest::newRow("header in lower case") << header.toLower() + "Focus\r\n" << false << 0;
        QTest::newRow("header twice") << header + FocusFile << false << 0;
        QTest::newRow("an empty first line") << QByteArray("\r\n") + FocusFile << false << 0;
        QTest::newRow("a 200,000-byte line")
            << QByteArray(200000, 'x') + "\r\n" + FocusFile << false << 0;
        QTest::newRow("NUL bytes") << QByteArray("Focus\0\r\n", 8) << false << 0;
        QTest::newRow("empty") << QByteArray() << false << 62;
        QTest::newRow("header only") << header << false << 62;
        QTest::newRow("missing: created for the next start")
            << QByteArray("<missing>") << false << 0;
        QTest::newRow("a folder in its place") << QByteArray("<folder>") << false << 75;
        QTest::newRow("a pipe in its place") << QByteArray("<pipe>") << false << 75;
        QTest::newRow("program folder unwritable") << QByteArray("<no dir>") << false << 70;
        QTest::newRow("missing, on a full disk") << QByteArray("<full disk>") << false << 75;
    }
    void startUpReadsTheSettingsFile()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, focus);
        QFETCH(int, error);
        TestFrame t(false);
        const QString path = t.settingsPath();
        const SmallDisk disk(bytes == "<full disk>" ? t.programDir() : QString());
        if (bytes == "<full disk>") {
            SKIP_UNLESS_MOUNTED(disk);
            writeFile(t.programDir() + "/filler", QByteArray(16 * 1024, 'x'));
        } else if (bytes == "<no dir>") // a path through a plain file: even root cannot write
            QVERIFY(QDir().rmdir(t.programDir()) && (writeFile(t.programDir(), "x"), true));
        else
            makeAt(path, bytes);
        t->MDIForm_Load();
        QCOMPARE(t->options()->optfocus->isChecked(), focus);
        QVERIFY(t->options()->optback->isChecked() != focus && t->optfocus() == focus);
        // The file is read, never changed; a broken one is reported and start-up goes on.
        if (!bytes.startsWith('<'))
            QCOMPARE(readFile(path), bytes);
        QCOMPARE(t.prompter.asked.size(), error ? 1 : 0);
        QCOMPARE(t->webtree->Count() + t->TreeFavor->Count(), 2);
        QCOMPARE(QDir(t.programDir()).entryList({ "Orvane.ini?*" }, QDir::Files), QStringList());
        if (error)
            QCOMPARE(t.prompter.box().section("\r\n", 0, 0) + t.prompter.box().section('|', 1),
                QString::number(error) + "Error in Orvane.ini\r\nAborting..|48");
        if (bytes == "<no dir>")
            QFile::remove(t.programDir());
        if (bytes == "<missing>") {
            // This run keeps the dialog's default; the next start reads Focus.
            QCOMPARE(readFile(path), FocusFile);
            t.create();
            QVERIFY(t->optfocus());
        }
    }

    void startUpMenusAndBars()
    {
        TestFrame t;
        MDIForm1 *f = t.frame.get();
        t->Timer1_Timer(); // no window: nothing happens
        QVERIFY(f->isMaximized() && !f->Picture3->isVisible() && f->webtree->Item(1)->isExpanded());
        QCOMPARE(f->webtree->Count(), 1);
        QCOMPARE(TreeView::Key(f->webtree->Item(1)) + f->webtree->Item(1)->text(0) + "|"
                + TreeView::Key(f->TreeFavor->Item(1)) + f->TreeFavor->Item(1)->text(0),
            QStringLiteral("OpenWebOpen Web's|FavoritesFavorites2 (1)"));
        QString letters;
        QCOMPARE(captions(t->menuBar(), &letters), (QStringList { "File", "Tools", "Help" }));
        QCOMPARE(captions(t->file, &letters),
            (QStringList { "New Window", "-", "Open File", "-", "Exit" }));
        QCOMPARE(captions(t->mnutools, &letters),
            (QStringList { "View", "-", "Options..", "-", "Refresh" }));
        QCOMPARE(letters, "Alt+FAlt+TAlt+HAlt+NAlt+OAlt+XAlt+VAlt+OAlt+R");
        // The side bar toggles; its progress bar follows the active window.
        SideBar *bar = t->Picture3;
        t->mybar->trigger();
        QVERIFY(bar->isVisible() && t->mybar->isChecked());
        bar->Toolbar1->actions().first()->trigger(); // the header button hides it again
        QVERIFY(!bar->isVisible() && !t->mybar->isChecked());
        t->mybar->trigger();
        Form1 *w = t->new_Click();
        QVERIFY2(waitForComplete(w), "no browser window loaded");
        w->pos = 37;
        w->max = 200;
        t->Timer1_Timer();
        QCOMPARE(bar->pbar->maximum() * 1000 + bar->pbar->value(), 200037);
        // Too low for the formulas: the old heights stay.
        const double favor = bar->pTreeFavor.Height();
        t->showNormal();
        t->resize(800, 150);
        QCoreApplication::processEvents();
        t->Timer3_Timer();
        t->MDIForm_Resize();
        QVERIFY(bar->ScaleHeight() < 1770 && bar->pTreeFavor.Height() == favor);
    }

    void closingTheFrameUnloadsWindowsThenAsks()
    {
        TestFrame t;
        for (int i = 0; i < 3; ++i)
            t->new_Click();
        // Exit asks without unloading.
        t.prompter.answers = { MsgBox::No };
        t->exit->trigger();
        QCOMPARE(t.quits * 100 + t->forms().size() * 10 + t->mytab->Count(), 33);
        int windowsWhileAsked = -1;
        t.prompter.whileOpen = [&](const auto &) { windowsWhileAsked = t->forms().size(); };
        t.prompter.answers = { MsgBox::No };
        QVERIFY(!t->close());
        QVERIFY(windowsWhileAsked == 0 && t.prompter.asked.size() == 2);
        for (int i : { 0, 1 })
            QCOMPARE(t.prompter.box(i), " Quit from Orvane?|End Program...|36");
        flushDeletes();
        QCOMPARE(t.quits * 100 + t->mytab->Count() * 10 + t->webtree->Count(), 1);
        t.prompter.defaultAnswer = MsgBox::Yes;
        t->close();
        QCOMPARE(t.quits, 1);
        t->new_Click();
        t->exit->trigger();
        QVERIFY(t.quits == 2 && t->forms().size() == 1);
    }

    void openSwitchAndClose()
    {
        // The root and keys without a number belong to no window, not even window 0.
        QVERIFY(!IsOwnKey("OpenWeb", 0) && !IsOwnKey("", 0) && IsOwnKey(" 7web", 7));
        TestFrame t;
        for (int i = 0; i < 3; ++i)
            t->new_Click();
        const QList<ChildForm *> forms = t->forms();
        QCOMPARE(t->mytab->Count(), 3);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(listing(t.frame.get(), forms.at(i)), "OpenWeb/about:blank | about:blank");
            QCOMPARE(qobject_cast<Form1 *>(forms.at(i))->Caption(), " ");
        }
        ChildForm *first = forms.at(0), *last = forms.at(2);
        QVERIFY(t->activeChild() == last && last->subWindow()->isMaximized());
        // Ready for an address to be typed over the one shown.
        auto *newest = qobject_cast<Form1 *>(last);
        QVERIFY(waitForComplete(newest));
        QCOMPARE(newest->cmbadress->lineEdit()->selectedText(), "about:blank");
        // A tab click shows the handle first, then switches once the box is closed.
        ChildForm *activeWhileAsked = nullptr;
        t.prompter.whileOpen = [&](const auto &) { activeWhileAsked = t->activeChild(); };
        emit t->mytab->tabBarClicked(0);
        QCOMPARE(t.prompter.asked.size(), 1);
        QCOMPARE(t.prompter.box(), QString::number(first->hWnd()) + "||0");
        QVERIFY(activeWhileAsked == last && t->activeChild() == first);
        QVERIFY(first->subWindow()->isMaximized());
        // A node click switches without a box; the root switches nothing.
        t->webtree_NodeClick(t->webtree->Item(1)->child(2));
        t->webtree_NodeClick(t->webtree->Item(1));
        QVERIFY(t->activeChild() == last && t.prompter.asked.size() == 1);
        // Closing removes the window's own entries only; without a node, only its tab.
        forms.at(1)->subWindow()->close();
        flushDeletes();
        QCOMPARE(t->forms(), (QList<ChildForm *> { first, last }));
        QCOMPARE(t->mytab->Count() * 10 + t->webtree->Count(), 23);
        t->webtree->RemoveItem(nodeOf(t.frame.get(), last));
        QPointer<ChildForm> gone(last);
        last->Unload();
        flushDeletes();
        QVERIFY(!gone);
        QCOMPARE(listing(t.frame.get(), first), "OpenWeb/about:blank | about:blank");
        QCOMPARE(t->mytab->Count() * 10 + t->webtree->Count(), 12);
        auto openFrom = [&](Form1 *opener) {
            QObject *pp = nullptr;
            bool cancel = false;
            opener->wb_NewWindow2(&pp, &cancel);
            return lastWindow(t.frame.get());
        };
        // A family closed with its first window: descendants first, the first one's tab stays.
        t.prompter.defaultAnswer = MsgBox::Yes;
        Form1 *a = VERIFIED(t->new_Click());
        Form1 *b = openFrom(a), *c = openFrom(a), *d = openFrom(b);
        QList<QPointer<Form1>> family { a, b, c, d };
        Form1 *deepest = d; // and a long chain below d: the cascade goes all the way down
        while (family.size() < 34)
            family.append(deepest = openFrom(deepest));
        // A node whose window is gone already goes with its parent's node.
        t->webtree->Add(nodeOf(t.frame.get(), c), TreeView::Child, WindowKeyFor(99999), "stale");
        // The order windows go in: each one's descendants, first child first, before it.
        struct Watch : QObject
        {
            QList<QObject *> closed;
            bool eventFilter(QObject *o, QEvent *e) override
            {
                if (e->type() == QEvent::Hide)
                    closed.append(static_cast<QMdiSubWindow *>(o)->widget());
                return false;
            }
        } watch;
        for (const auto &p : family)
            p->subWindow()->installEventFilter(&watch);
        a->subWindow()->close();
        const QList<QObject *> &closed = watch.closed;
        QCOMPARE(closed.size(), family.size());
        QVERIFY(closed.indexOf(d) < closed.indexOf(b) && closed.indexOf(b) < closed.indexOf(c));
        QVERIFY(closed.first() == deepest && closed.last() == a);
        flushDeletes();
        QCOMPARE(family.count(nullptr), family.size());
        QCOMPARE(t->forms(), QList<ChildForm *> { first });
        QCOMPARE(t->webtree->Count() * 10 + t->mdiArea()->subWindowList().size(), 21);
        QCOMPARE(listing(t.frame.get(), first), "OpenWeb/about:blank | about:blank");
    }

    void realFileDialogAndPrompt()
    {
        // Open File: cancelled, a file picked, a typed name that does not exist; then markup.
        TestFrame t(true, true, TestFrame::Real);
        const QString path = t.homeDir() + "/pages/a.htm";
        writeFile(path, "<html><head><title>Local</title></head></html>");
        QStringList answers = { QString(), path, QStringLiteral("missing.htm") }, shown;
        QString asked;
        DialogAnswerer answerer([&](QWidget *modal) {
            if (auto *box = qobject_cast<QMessageBox *>(modal)) {
                asked = box->text() + "|" + box->windowTitle() + "|"
                    + QString::number(box->textFormat() * 10 + box->icon());
                return box->button(QMessageBox::No)->click();
            }
            auto *dialog = qobject_cast<QFileDialog *>(modal);
            if (!dialog || answers.isEmpty())
                return;
            auto *types = dialog->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
            shown = QStringList { dialog->windowTitle(), dialog->directory().path() };
            for (int i = 0; types && i < types->count(); ++i)
                shown.append(types->itemText(i));
            const QString answer = answers.takeFirst();
            if (answer.isEmpty())
                return dialog->reject();
            if (auto *edit = childOf<QLineEdit>(dialog, QStringLiteral("fileNameEdit")))
                edit->setText(answer);
            QMetaObject::invokeMethod(dialog, "accept");
        });
        t->open_Click();
        QCOMPARE(shown,
            (QStringList { "Our File Open Title", t.homeDir(), "Html,Htm Files (*.html,*.htm)",
                "Asp Files (*.asp)", "Flash Files (*.swf)", "All Files (*.*)" }));
        QCOMPARE(t->forms().size(), 0);
        t->open_Click();
        Form1 *w = VERIFIED(lastWindow(t.frame.get()));
        QCOMPARE(listing(t.frame.get(), w), QStringLiteral("OpenWeb/%1 | a.htm").arg(path));
        QTRY_COMPARE_WITH_TIMEOUT(w->Caption(), QStringLiteral("Local"), 30000);
        t->open_Click();
        w = lastWindow(t.frame.get());
        QCOMPARE(w->cmbadress->currentText(), QDir(t.homeDir()).filePath("missing.htm"));
        QCOMPARE(t->mytab->Caption(2), QStringLiteral("missing.htm"));
        w = VERIFIED(t.openPage(url("/opener?<b>bold</b><a href=x>link</a>")));
        pageOf(w)->runJavaScript(QStringLiteral("many(1)"));
        QTRY_VERIFY_WITH_TIMEOUT(!asked.isEmpty(), 30000);
        QCOMPARE(asked,
            "Orvane 2\nNew Window Detect...\nUrl:" + w->wb->LocationURL()
                + "\nDo you want to open ?|Orvane|"
                + QString::number(Qt::PlainText * 10 + QMessageBox::Critical));
        QTest::qWait(200);
        QCOMPARE(t->forms().size(), 3);
    }

    void addressBarAndTitles()
    {
        TestFrame t;
        Form1 *w = VERIFIED(t->new_Click());
        QAction *edit = w->gnetButtons.at(2);
        go(w, QString());
        QVERIFY(w->history().isEmpty() && !t->Timer1->isActive() && !edit->isEnabled());
        QVERIFY(waitForComplete(w));
        const QString u = url("/t");
        w->cmbadress->setEditText(u);
        QTest::keyClick(w->cmbadress, Qt::Key_A); // other keys do nothing
        QVERIFY(w->history().isEmpty());
        w->cmbadress->setEditText(u);
        QTest::keyClick(w->cmbadress, Qt::Key_Return);
        QVERIFY(edit->isEnabled() && t->Timer1->isActive());
        // The title as the page gives it everywhere; no '&' makes a shortcut.
        const QString title = QStringLiteral("Tom & Jerry <b>page");
        QTRY_COMPARE_WITH_TIMEOUT(w->Caption(), title, 30000);
        QTRY_VERIFY_WITH_TIMEOUT(!t->Timer1->isActive(), 30000);
        QCOMPARE(listing(t.frame.get(), w), QStringLiteral("OpenWeb/%1 | %1").arg(title));
        QVERIFY(QKeySequence::mnemonic(t->mytab->tabText(0)).isEmpty());
        emit t->file->aboutToShow();
        QAction *listed = t->file->actions().last();
        QCOMPARE(listed->property("orvaneWindow").toInt(), w->hWnd());
        QCOMPARE(listed->text(), QStringLiteral("&1 Tom && Jerry <b>page"));
        QVERIFY(w->Stbar1Panel1->text() == "Done"
            && w->Stbar1Panel1->textFormat() == Qt::PlainText);
        // The history takes each address once, as typed.
        for (const QString &address : { u, u.toUpper(), QStringLiteral(" ") })
            go(w, address);
        QCOMPARE(w->history(), (QStringList { u, u.toUpper(), QStringLiteral(" ") }));
        w->Toolbar1_ButtonClick(4); // Home
        QTRY_COMPARE_WITH_TIMEOUT(w->wb->LocationURL(), QStringLiteral("about:blank"), 30000);
        // Picking an entry navigates to it and adds nothing.
        w->cmbadress->setCurrentIndex(0);
        w->cmbadress_Click();
        QTRY_COMPARE_WITH_TIMEOUT(w->wb->LocationURL(), u, 30000);
        QCOMPARE(w->history().size(), 3);
        // The box follows the page: a followed link, a server's redirect.
        QVERIFY(load(w, url("/link")));
        pageOf(w)->runJavaScript(QStringLiteral("document.links[0].click()"));
        QVERIFY(waitForComplete(w));
        QTRY_COMPARE_WITH_TIMEOUT(w->cmbadress->currentText(), u, 5000);
        QVERIFY(load(w, url("/moved")));
        QTRY_COMPARE_WITH_TIMEOUT(w->cmbadress->currentText(), u, 5000);
    }

    void pageOpensWindow_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("openerNode");
        QTest::newRow("No") << 7 << true;
        QTest::newRow("Yes") << 6 << true;
        QTest::newRow("Yes, opener without node") << 6 << false;
    }
    void pageOpensWindow()
    {
        QFETCH(int, answer);
        QFETCH(bool, openerNode);
        TestFrame t; // in background: tst_display, with the real Options dialog
        t->options()->optfocus->setChecked(true);
        Form1 *w = VERIFIED(t.openPage(url("/opener")));
        if (!openerNode)
            t->webtree->RemoveItem(nodeOf(t.frame.get(), w));
        t.prompter.answers = { MsgBox::Answer(answer) };
        w->cmbadress->setEditText(QStringLiteral("typed"));
        pageOf(w)->runJavaScript(QStringLiteral("many(1)"));
        QTRY_COMPARE_WITH_TIMEOUT(t.prompter.asked.size(), 1, 20000);
        QCOMPARE(w->cmbadress->currentText() + "|" + t.prompter.box(), url("/opener")
                + "|Orvane 2\r\nNew Window Detect...\r\nUrl:" + url("/opener")
                + "\r\nDo you want to open ?|Orvane|20");
        QTRY_COMPARE_WITH_TIMEOUT(t->forms().size(), answer == 6 ? 2 : 1, 20000);
        if (answer == 7) {
            QTest::qWait(300);
            QCOMPARE(t->forms().size() * 100 + t->webtree->Count() * 10 + t->mytab->Count(), 121);
            return;
        }
        auto *child = qobject_cast<Form1 *>(t->forms().at(1));
        QCOMPARE(t->activeChild(), child);
        QTRY_COMPARE_WITH_TIMEOUT(child->wb->LocationURL(), url("/child"), 30000);
        QTRY_COMPARE(child->cmbadress->currentText(), url("/child")); // once its page has loaded
        // Under its opener, no tab; the page's title renames the node.
        const QString opener = openerNode ? TreeView::Key(nodeOf(t.frame.get(), w)) : QString();
        QTRY_COMPARE_WITH_TIMEOUT(
            listing(t.frame.get(), child), openerNode ? opener + "/Child | -" : "- | -", 30000);
        if (openerNode) {
            t->webtree_NodeClick(nodeOf(t.frame.get(), child));
            QCOMPARE(t->activeChild(), child);
        }
    }

    // A window goes while it asks: for a window its page opens (from within the question, or at
    // the first yield after it: the new window's resize), or with its page's dialog open (the
    // real box). Not by a script: the opener's renderer, which the page shares, waits for the
    // answer. The question, the dialog and the window asked for go with it.
    void windowGoesWhileItAsks_data()
    {
        QTest::addColumn<bool>("dialog"); // the page's, else the question for a new window
        QTest::addColumn<QString>("how");
        QTest::newRow("asking, its close box") << false << "close box while asked";
        QTest::newRow("shown, its close box") << false << "close box";
        QTest::newRow("shown, its opener's cascade") << false << "cascade";
        QTest::newRow("shown, the frame closing") << false << "frame";
        QTest::newRow("dialog, cascade") << true << "cascade";
        QTest::newRow("dialog, frame") << true << "frame";
        QTest::newRow("dialog, frame deleted, as at the end") << true << "destroyed";
    }
    void windowGoesWhileItAsks()
    {
        QFETCH(bool, dialog);
        QFETCH(QString, how);
        TestFrame t(true, true, dialog ? TestFrame::Real : TestFrame::Recorded);
        Form1 *top = VERIFIED(t.openPage(url("/opener"))), *w = top;
        t.prompter.defaultAnswer = MsgBox::Yes;
        QPointer<Form1> asker;
        auto close = [&] {
            if (how.startsWith("close box"))
                asker->subWindow()->close();
            else if (how == "cascade")
                top->Unload();
            else if (how == "frame")
                t->close();
            else
                t.frame.reset();
        };
        // The real boxes: Yes to the new window; the page's dialog left open while its window
        // goes, closed from a timer of its own so that this one stays free to answer.
        QPointer<PageDialogBox> box;
        QString boxTitle;
        DialogAnswerer answerer([&](QWidget *modal) {
            if (auto *question = qobject_cast<QMessageBox *>(modal)) {
                question->button(QMessageBox::Yes)->click();
            } else if (auto *page = qobject_cast<PageDialogBox *>(modal); page && !box) {
                box = page;
                boxTitle = page->windowTitle();
                QTimer::singleShot(0, close);
            }
        });
        if (dialog || how == "cascade") { // the asker is itself a window that a page opened
            pageOf(top)->runJavaScript(QStringLiteral("window.open('/opener')"));
            QTRY_COMPARE_WITH_TIMEOUT(t->forms().size(), 2, 20000);
            QVERIFY(waitForScript(w = lastWindow(t.frame.get()),
                "typeof many == 'function' && document.readyState == 'complete'"));
        }
        asker = w;
        bool asked = false;
        t.prompter.whileOpen = [&](const auto &) {
            if (std::exchange(asked, true))
                return;
            if (how == "close box while asked") {
                close();
                QCoreApplication::processEvents();
            } else {
                QTimer::singleShot(0, t.frame.get(), close);
            }
        };
        QPointer<QWebEngineView> view(viewOf(w));
        pageOf(w)->runJavaScript(dialog ? "alert('open'); alert('and another');" : "many(1)");
        QTRY_VERIFY_WITH_TIMEOUT(dialog ? !boxTitle.isEmpty() : asked, (dialog ? 30000 : 20000));
        QTRY_VERIFY_WITH_TIMEOUT(!box, 10000);
        QTRY_VERIFY(asker.isNull() || asker->isUnloaded());
        flushDeletes();
        QTRY_VERIFY(!asker && !view);
        QCOMPARE(boxTitle, dialog ? site() : QString());
        if (t.frame)
            QCOMPARE(t->forms().size() * 100 + t->webtree->Count() * 10 + t->mytab->Count(), 10);
    }

    // Typed words are looked up with Orvane.conf's search address; addresses open as ever.
    void typedWordsSearch_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("config"); // Orvane.conf's text; %1 the search engine
        QTest::addColumn<QString>("title");  // of the page it opens
        const QString engine = "[Search]\nSearchAddress=%1\n";
        QTest::newRow("words") << "tom & jerry" << engine << "=?q=tom & jerry";
        QTest::newRow("one word") << "cartoons" << engine << "=?q=cartoons";
        QTest::newRow("localhost and a port")
            << "localhost:PORT/t" << engine << "Tom & Jerry <b>page";
        QTest::newRow("a blank in an address's query")
            << "ORIGIN/search?q=a b" << engine << "=?q=a b";
        // Broken or missing, the file gives the default search address.
        QTest::newRow("no file") << "cartoons" << "" << "duckduckgo.com";
        QTest::newRow("no %s") << "cartoons" << "[Search]\nSearchAddress=http://127.0.0.1/\n"
                               << "duckduckgo.com";
        QTest::newRow("not an ini file")
            << "cartoons" << QString(QChar(0)) + "\x7f[[[=" << "duckduckgo.com";
    }
    void typedWordsSearch()
    {
        QFETCH(QString, typed);
        QFETCH(QString, config);
        QFETCH(QString, title);
        TestFrame t;
        const QString origin = url("/").chopped(1);
        const QString file = t.homeDir() + "/.config/Orvane/Orvane.conf";
        if (!config.isEmpty())
            writeFile(file, config.arg(url("/search?q=%s")).toUtf8());
        QCOMPARE(SearchAddressIn(file).contains("duckduckgo"), title.contains("duckduckgo"));
        if (title.contains("duckduckgo"))
            return; // no network here to go to it
        Form1 *w = VERIFIED(t.openPage("about:blank"));
        typed.replace("PORT", origin.section(':', -1)).replace("ORIGIN", origin);
        go(w, typed);
        QTRY_COMPARE_WITH_TIMEOUT(w->Caption(), title, 20000);
        QCOMPARE(w->history().last(), typed); // as typed
    }

    // Visits are kept newest first, blank pages left out; completion puts the most visited first,
    // with or without the scheme, and the address box offers it as the user types: Enter on none
    // goes where typed, on a pick goes there. Ctrl+H's window: grouped by day, filtered as typed;
    // Delete removes, "Clear All" clears after a Yes, Enter opens the page in a new window.
    void historyRecordsCompletesAndLists()
    {
        TestFrame t;
        Form1 *w = VERIFIED(t.openPage(url("/one")));
        for (const char *page : { "/two", "/two", "/a_b" })
            QVERIFY(load(w, url(page)));
        t->new_Click();
        History *history = t->history();
        const QStringList all { "a_b @ " + url("/a_b"), "two @ " + url("/two"),
            "two @ " + url("/two"), "one @ " + url("/one") };
        QTRY_COMPARE(listed(history), all);
        QCOMPARE(listed(history, "_"), QStringList { all.at(0) }); // _ and % are no wildcards
        const QString site = url("/").mid(7); // no scheme
        QCOMPARE(history->complete(site), (QStringList { url("/two"), url("/a_b"), url("/one") }));
        QCOMPARE(history->complete(url("/t")), QStringList { url("/two") });
        QCOMPARE(history->complete("nothing like it"), QStringList());
        Form1 *blank = lastWindow(t.frame.get());
        QLineEdit *edit = blank->cmbadress->lineEdit();
        QTest::keyClicks(edit, site);
        QAbstractItemView *offered = edit->completer()->popup();
        QTRY_VERIFY(offered->isVisible());
        QCOMPARE(offered->model()->rowCount(), 3);
        QCOMPARE(offered->model()->index(0, 0).data().toString(), url("/two"));
        QTest::keyClick(offered, Qt::Key_Down);
        QTest::keyClick(offered, Qt::Key_Return);
        QTRY_COMPARE_WITH_TIMEOUT(pageOf(blank)->title(), "two", 20000);
        QTRY_COMPARE_WITH_TIMEOUT(listed(history).size(), 5, 20000); // once the page is complete
        edit->clear();
        QTest::keyClicks(edit, url("/one"));
        QTRY_VERIFY(offered->isVisible());
        QTest::keyClick(offered, Qt::Key_Return);
        QTRY_COMPARE_WITH_TIMEOUT(pageOf(blank)->title(), "one", 20000);
        QTRY_COMPARE_WITH_TIMEOUT(listed(history).size(), 6, 20000); // once the page is complete
        QStringList seen;
        t.prompter.onDialog = [&](QDialog *dialog) {
            auto *window = dynamic_cast<HistoryWindow *>(dialog);
            QLineEdit *filter = window ? window->findChild<QLineEdit *>() : nullptr;
            if (!filter)
                return int(QDialog::Rejected);
            QTreeWidget *list = window->list();
            const auto rows = [&] {
                QStringList lines;
                for (int d = 0; d < list->topLevelItemCount(); ++d)
                    for (int i = 0; i < list->topLevelItem(d)->childCount(); ++i)
                        lines << list->topLevelItem(d)->text(0) + ": "
                                + list->topLevelItem(d)->child(i)->text(0);
                return lines.join(", ");
            };
            seen << rows();
            QTest::keyClicks(filter, "one");
            seen << rows();
            filter->clear();
            list->setCurrentItem(list->topLevelItem(0)->child(0)); // the newest "one"
            QTest::keyClick(list, Qt::Key_Delete);
            if (QTest::qWaitFor([&] { return list->topLevelItem(0)->childCount() == 5; }))
                seen << rows() + " < " + QString::number(history->complete(site).size());
            t.prompter.answers = { MsgBox::No, MsgBox::Yes };
            for (int i = 0; i < 2; ++i) {
                for (QPushButton *b : window->findChildren<QPushButton *>())
                    if (b->text() == "Clear All")
                        b->click();
                QTest::qWait(300);
                seen << rows();
            }
            seen << (listed(history) + history->complete(site)).join(",");
            history->record(url("/two"), "two");
            if (!QTest::qWaitFor([&] { return !history->visits({}, 1).isEmpty(); }))
                seen << "the visit was never recorded";
            filter->setText("t");
            list->setCurrentItem(list->topLevelItem(0)->child(0));
            QTest::keyClick(list, Qt::Key_Return);
            return dialog->result();
        };
        t->showHistory();
        const QString five = "Today: two, Today: a_b, Today: two, Today: two, Today: one";
        QCOMPARE(seen, (QStringList { "Today: one, " + five, "Today: one, Today: one",
                           five + " < 3", five, "", "" }));
        QCOMPARE(t.prompter.box(1), "Clear all history?|History|"
                + QString::number(int(MsgBox::YesNoQuestion | MsgBox::SecondDefault)));
        QCOMPARE(t->forms().size(), 3);
        QTRY_COMPARE(lastWindow(t.frame.get())->wb->LocationURL(), url("/two"));
    }

    // A file that is no database, or one another copy keeps: history is off for this
    // run (told once, when it is broken), the file is left as it was, browsing goes on.
    void historyFileBrokenOrTaken_data()
    {
        QTest::addColumn<bool>("broken");
        QTest::newRow("no database") << true;
        QTest::newRow("kept by another copy") << false;
    }
    void historyFileBrokenOrTaken()
    {
        QFETCH(bool, broken);
        TestFrame t;
        const QByteArray garbage(4096, 'x');
        if (broken)
            writeFile(t.historyFile(), garbage);
        History other(broken ? QString() : t.historyFile());
        Form1 *w = VERIFIED(t.openPage(url("/one")));
        QVERIFY(!t->history()->isOn());
        QCOMPARE(w->Stbar1Panel1->text().startsWith("History is off for this run: "), broken);
        QVERIFY(load(w, url("/two")));
        QCOMPARE(w->Stbar1Panel1->text(), QStringLiteral("Done")); // told once
        if (broken)
            QCOMPARE(readFile(t.historyFile()), garbage);
        else
            QCOMPARE(listed(&other), QStringList());
    }

    // An installed copy: its settings, its modules, its command line.
    void settingsLocation_data()
    {
        QTest::addColumn<bool>("programWritable");
        QTest::addColumn<QByteArray>("stored"); // already in the user's folder
        QTest::newRow("build tree, user's file ignored") << true << QByteArray("Focus\r\n");
        QTest::newRow("installed, first start") << false << QByteArray();
        QTest::newRow("installed, user's file read") << false << QByteArray("Focus\r\n");
    }
    void settingsLocation()
    {
        QFETCH(bool, programWritable);
        QFETCH(QByteArray, stored);
        TestFrame t(false, false);
        FrameEnv env = t->env();
        env.configDir = t.homeDir() + "/.config/Orvane";
        const QString user = env.configDir + "/Orvane.ini";
        if (!stored.isEmpty())
            writeFile(user, stored);
        const auto permissions = QFile::permissions(t.programDir());
        if (!programWritable) {
            QVERIFY(QFile::setPermissions(t.programDir(), QFile::ReadOwner | QFile::ExeOwner));
            if (QFileInfo(t.programDir()).isWritable()) // root
                QSKIP("root may write anywhere; these rows run again as tst_frame_unprivileged");
        }
        MDIForm1 frame(env);
        frame.MDIForm_Load();
        QFile::setPermissions(t.programDir(), permissions);
        // Created where it belongs on the first start, read from there afterwards; no box.
        const QString file = programWritable ? t.settingsPath() : user;
        QVERIFY(frame.settingsPath() == file && t.prompter.asked.isEmpty());
        const bool read = !programWritable && !stored.isEmpty();
        QCOMPARE(readFile(file), read ? stored : FocusFile);
        QCOMPARE(frame.options()->optfocus->isChecked(), read);
    }

    void commandLineOpensEachInItsWindow()
    {
        TestFrame t;
        const QString page = t.homeDir() + "/a.htm";
        writeFile(page, "<p>file</p>");
        const QString address = url("/p");
        // An address as Go Net; a file (relative, or a file: URL) as Open File; in order.
        t->OpenArgument(address);
        t->OpenArgument(QStringLiteral("a.htm"));
        t->OpenArgument(QUrl::fromLocalFile(page).toString());
        QCOMPARE(t->mytab->Count(), 3);
        for (int i : { 3, 4 })
            QCOMPARE(TreeView::Text(t->webtree->Item(i)), page);
        QCOMPARE(t->mytab->Caption(3), QStringLiteral("a.htm"));
        auto *first = qobject_cast<Form1 *>(t->findForm(WindowHandleFromKey(t->mytab->Key(1))));
        QCOMPARE(first ? first->history() : QStringList(), QStringList { address });
        QTRY_COMPARE_WITH_TIMEOUT(t->mytab->Caption(1), QStringLiteral("Named page"), 20000);
    }

    // The run ends without a word (its frame just goes, as in a kill); the next asks.
    void killedRunIsOfferedBack_data()
    {
        QTest::addColumn<int>("answer");
        QTest::newRow("Yes") << int(MsgBox::Yes);
        QTest::newRow("No") << int(MsgBox::No);
    }
    void killedRunIsOfferedBack()
    {
        QFETCH(int, answer);
        TestFrame t;
        t->options()->optfocus->setChecked(true);
        t.prompter.defaultAnswer = MsgBox::Yes; // Yes to every window a page asks for
        // From the menu, navigated twice; from the command line; from pages, two deep.
        Form1 *menu = VERIFIED(t.openPage(url("/a")));
        for (const char *path : { "/b", "/c" })
            QVERIFY(load(menu, url(path)));
        t->OpenArgument(url("/opener"));
        for (int forms : { 3, 4 }) {
            Form1 *opener = lastWindow(t.frame.get());
            QVERIFY(waitForScript(opener, "typeof many == 'function'"));
            pageOf(opener)->runJavaScript("many(1)");
            QTRY_COMPARE_WITH_TIMEOUT(t->forms().size(), forms, 20000);
        }
        t->SwitchToWindow(WindowKeyFor(t->forms().at(2)->hWnd())); // the child in front
        // Written by itself, shortly after the last change.
        const QStringList before { "C & D | tab @ " + url("/c"), "Opener | tab @ " + url("/opener"),
            "* Opener > Child @ " + url("/child"), "Child > A @ " + url("/a") };
        QTRY_COMPARE_WITH_TIMEOUT(journalled(journalPath(t)), before, 20000);
        t.create(); // the next start: same folders
        t.prompter.answers = { MsgBox::Answer(answer) };
        t.prompter.asked.clear();
        // Until the user has chosen, the file stays as the bad end left it.
        QStringList leftWhileAsked;
        t.prompter.whileOpen = [&](const auto &) {
            QTest::qWait(1500);
            t->journal()->flush();
            leftWhileAsked = journalled(journalPath(t));
        };
        t->offerRestore();
        QCOMPARE(leftWhileAsked, before);
        QCOMPARE(t.prompter.box(), "Orvane did not end properly.\r\nIt can reopen the 4 windows "
                                   "that were open.\r\nReopen them?|Orvane|36");
        if (MsgBox::Answer(answer) == MsgBox::No) {
            QVERIFY(t->forms().isEmpty() && !QFile::exists(journalPath(t)));
            return;
        }
        // The window in front and its opener at once; the others behind, each in its place:
        // the same windows, tabs and captions, the same tree and front window.
        QCOMPARE(t->forms().size(), 2);
        QCOMPARE(t->activeChild()->Caption(), "Child");
        QTRY_COMPARE_WITH_TIMEOUT(t->forms().size(), 4, 20000);
        QCOMPARE(t->mytab->Caption(1) + "|" + t->mytab->Caption(2), "C & D|Opener");
        QTRY_COMPARE_WITH_TIMEOUT(journalled(journalPath(t)), before, 30000);
        // Back goes where it went before.
        auto *navigated = qobject_cast<Form1 *>(t->forms().at(2));
        QVERIFY2(navigated && navigated->Caption() == "C & D", "the navigated window is missing");
        navigated->Show(); // out of sight until now: it loads when first shown
        QTRY_COMPARE_WITH_TIMEOUT(pageOf(navigated)->history()->count(), 3, 20000);
        QTRY_COMPARE_WITH_TIMEOUT(navigated->wb->LocationURL(), url("/c"), 20000);
        for (const char *back : { "/b", "/a" }) {
            navigated->Toolbar1_ButtonClick(1);
            QTRY_COMPARE_WITH_TIMEOUT(navigated->wb->LocationURL(), url(back), 20000);
        }
    }

    void badJournalsAreIgnored_data()
    {
        // A history whose counts the engine would believe: a list of -1 entries.
        QByteArray lying;
        QDataStream(&lying, QIODevice::WriteOnly) << qint32(4) << qint32(-1) << qint32(0);
        // A real one, its current entry set one past its end.
        QByteArray pastEnd;
        {
            TestFrame t;
            Form1 *w = VERIFIED(t.openPage(url("/a")));
            pastEnd = w->wb->saveHistory();
            pastEnd.replace(8, 4, pastEnd.mid(4, 4)); // version, count, current index
        }
        Journal good;
        good.windows = { { 5, 0, true, url("/a"), "A", lying }, { 9, 5, false, url("/b"), "B", {} },
            { 12, 77, false, url("/c"), "lost", {} } };
        good.front = 1;
        const QByteArray whole = EncodeJournal(good);
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("restored");
        QTest::addColumn<bool>("closeOpener"); // the front one's, before the others come
        QTest::newRow("empty") << QByteArray() << QStringList() << false;
        QTest::newRow("garbage")
            << QByteArray("\x89PNG\r\n\x1a\n\0\0", 10) << QStringList() << false;
        QTest::newRow("cut short") << whole.left(whole.size() * 2 / 3) << QStringList() << false;
        QByteArray other = whole;
        QTest::newRow("another version")
            << other.replace("\"orvane-journal\": 1", "\"orvane-journal\": 2") << QStringList()
            << false;
        other = whole;
        QTest::newRow("a window without an id")
            << other.replace("\"id\": 9", "\"id\": \"x\"") << QStringList() << false;
        QTest::newRow("no windows") << EncodeJournal(Journal()) << QStringList() << false;
        // A history the engine cannot take loads the address; a missing opener: a tab.
        // A window out of sight keeps its journal's caption until it is first shown.
        const QStringList three { "A | tab @ " + url("/a"), "* A > B @ " + url("/b"),
            "lost | tab @ " + url("/c") };
        const QString shownC = "* C & D | tab @ " + url("/c");
        QTest::newRow("good, a broken history, an opener missing") << whole << three << false;
        good.front = 3; // one past the last: none, and the last one opened is in front
        QTest::newRow("front past the end")
            << EncodeJournal(good) << QStringList { three.at(0), three.at(1).mid(2), shownC }
            << false;
        good.windows = { { 5, 0, true, url("/c"), "C", pastEnd } };
        QTest::newRow("history's current entry past its end")
            << EncodeJournal(good) << QStringList { shownC } << false;
        // The front one and its opener come first; the user closes the opener, and with
        // it what it opened: its other child never comes back.
        good.windows = { { 1, 0, true, url("/a"), "A", {} }, { 2, 1, false, url("/b"), "B", {} },
            { 3, 1, false, url("/b"), "lost", {} }, { 4, 0, true, url("/c"), "C", {} } };
        good.front = 1;
        QTest::newRow("the front one's opener closed")
            << EncodeJournal(good) << QStringList { shownC } << true;
    }
    void badJournalsAreIgnored()
    {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, restored);
        QFETCH(bool, closeOpener);
        TestFrame t(false);
        writeFile(journalPath(t), content);
        t.create(); // the start that finds it
        const Journal &left = t->journal()->leftBehind();
        QVERIFY2(left.front >= -1 && left.front < left.windows.size(), "the front is no window");
        t.prompter.defaultAnswer = MsgBox::Yes;
        t->offerRestore();
        QCOMPARE(t.prompter.asked.size(), restored.isEmpty() ? 0 : 1);
        if (closeOpener) {
            QCOMPARE(t->forms().size(), 2);
            t->forms().first()->subWindow()->close();
            QTRY_VERIFY_WITH_TIMEOUT(t->forms().size() == 1, 20000); // the last one came
            QTest::qWait(1000); // and no other comes after it
        }
        QTRY_COMPARE_WITH_TIMEOUT(t->forms().size(), restored.size(), 20000); // the front one first
        if (!restored.isEmpty())
            QTRY_COMPARE_WITH_TIMEOUT(journalled(journalPath(t)), restored, 30000);
    }

    void properEndsLeaveNothing()
    {
        TestFrame t;
        QVERIFY(t.openPage(url("/a")));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(journalPath(t)), 5000);
        // A second copy on the same folder keeps no journal of its own, and asks nothing.
        TestFrame second(false);
        second.state = t.stateDir();
        second.create();
        second->offerRestore();
        QVERIFY(!second->journal()->isKept() && second.prompter.asked.isEmpty());
        QVERIFY(second.openPage(url("/b")));
        // File, Exit answered Yes: nothing is left to offer.
        t.prompter.answers = { MsgBox::Yes };
        t->exit_Click();
        QVERIFY(t.quits == 1 && !QFile::exists(journalPath(t)));
        t.create();
        t->offerRestore();
        QVERIFY(t.prompter.asked.size() == 1 && t->forms().isEmpty());
        // A journal that cannot be kept (its folder is a file) never stops browsing.
        TestFrame blocked(false);
        writeFile(blocked.homeDir() + "/file");
        blocked.state = blocked.homeDir() + "/file/Orvane";
        blocked.create();
        QVERIFY(!blocked->journal()->isKept() && blocked.openPage(url("/a")));
    }

    void sideBarSectionsHoverAndDrag()
    {
        TestFrame tf(true, false);
        SideBar *s = tf->Picture3;
        const double header = s->pPicture4.Height();
        auto check = [&](const char *expected, double picture1, double picture2) {
            QCOMPARE(state(s), QLatin1String(expected));
            QCOMPARE(s->pPicture1.Height(), picture1);
            QCOMPARE(s->pPicture2.Height(), picture2);
        };
        check("down/0 down/0", header, header);
        // The button clicked, then the state: "Up" is "Open Web's" open, "up" "Favorites".
        for (const char *step : { "5Up/1 down/0", "6down/0 up/1", "5Up/1 down/0", "5down/0 down/0",
                 "6down/0 up/1" }) {
            const double web = s->pwebtree.Top() + s->pwebtree.Height() + 100;
            const double fav = s->pTreeFavor.Top() + s->pTreeFavor.Height() + 100;
            step[0] == '5' ? s->Image5_Click() : s->Image6_Click();
            const QString expected = QLatin1String(step + 1);
            check(step + 1, expected.startsWith("Up") ? web : header,
                expected.endsWith("up/1") ? fav : header);
        }
        // Closing "Favorites" lets events run at each step; an "Open Web's" click then opens
        // it once the closing is over.
        bool ranDuring = false;
        QTimer::singleShot(0, s, [&] {
            ranDuring = s->isAnimating();
            s->Image5_Click();
        });
        s->Image6_Click();
        QVERIFY(ranDuring);
        check("down/0 down/0", header, header);
        QTRY_COMPARE(state(s), "Up/1 down/0");
        // The frame going away mid-animation ends it quietly.
        s->Image6_Click();
        QTimer::singleShot(0, [&] { tf.frame.reset(); });
        s->Image6_Click();
        QVERIFY(!tf.frame);
        // Hovering and clicking the headers, in a new frame; the drag strip.
        tf.create(true, false);
        s = tf->Picture3;
        hover(s->Image6);
        QCOMPARE(state(s), "down/0 down/2");
        hover(s->TreeFavor->viewport());
        QTest::mouseClick(s->Image5, Qt::LeftButton);
        QTest::mouseClick(s->Image6, Qt::RightButton);
        QCOMPARE(state(s), "Up/1 down/0");
        // Other areas restore both pictures; the drag strip only "Favorites".
        s->setPicture(s->Image2, 3);
        s->setPicture(s->Image1, 2);
        hover(s->Image3);
        QCOMPARE(state(s), "Up/3 down/0");
        hover(s->Label1);
        QCOMPARE(state(s), "Up/1 down/0");
        tf->mybar_Click();
        s->setWidth(2970);
        // Left button: the right edge follows the pointer, never below 1000 twips.
        const QPoint start = s->Image3->mapToGlobal(QPoint(2, 10));
        auto dragTo = [&](int dx) {
            QTest::mouseMove(s->Image3, s->Image3->mapFromGlobal(start + QPoint(dx, 0)));
        };
        QTest::mousePress(s->Image3, Qt::LeftButton, {}, QPoint(2, 10));
        QVERIFY(s->isDragging());
        dragTo(20);
        QCOMPARE(s->Width() + s->pPicture5.Width(), 3270.0 * 2);
        dragTo(-158);
        QCOMPARE(s->Width() + s->pPicture1.Width(), 1000.0 + 925);
        QCOMPARE(s->width(), 67); // 66.67 pixels, rounded
        QTest::mouseRelease(s->Image3, Qt::LeftButton, {}, s->Image3->mapFromGlobal(start));
        dragTo(40); // released: no drag
        QVERIFY(!s->isDragging() && s->Width() == 1000.0);
    }

    void favoritesListingRules()
    {
        QTemporaryDir home;
        const QString fav = home.path() + "/Favorites";
        for (const char *name : { "/notes.txt", "/page.html", "/abcd", "/ab", "/.hidden.url",
                 "/.secret/s.url", "/Travel and holidays/sea.url",
                 "/Travel and holidays/Inner/d.url", "/Travel and holidays/.h.url", "/apple.url",
                 "/Banana.url", "/real/r.url" })
            writeFile(fav + QLatin1String(name));
        // Pipes, loops back into the folder and dangling links are not followed.
        QCOMPARE(mkfifo(QFile::encodeName(fav + "/pipe.url").constData(), 0600), 0);
        QVERIFY(QFile::link(fav, fav + "/self") && QFile::link(home.path(), fav + "/up"));
        QVERIFY(QFile::link(fav + "/real", fav + "/alias"));
        QVERIFY(QFile::link(fav + "/gone", fav + "/broken.url"));
        QVERIFY(QDir().mkpath(fav + "/locked"));
        QFile::setPermissions(fav + "/locked", QFileDevice::Permissions());
        const FavoritesScan scan = ScanFavorites(fav);
        QFile::setPermissions(fav + "/locked", QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        QString names;
        for (const FavoritesScan::SubFolder &sub : scan.subFolders)
            names += sub.name + ":" + sub.files.join(",") + " ";
        QCOMPARE(names + scan.files.join(","), "alias:r.url locked: real:r.url self: "
            "Travel and holidays:sea.url up: ab,abcd,apple.url,Banana.url,notes.txt,page.html");
        // A rebuild that runs while the start-up shows the frame leaves one whole tree.
        TreeView tree(QStringLiteral("TreeFavor"));
        LoadFavoritesTree(&tree, fav, true, [&] { LoadFavoritesTree(&tree, fav, false, nullptr); });
        QVERIFY(tree.topLevelItemCount() == 1 && tree.Count() == scan.nodeCount());
        QCOMPARE(tree.Item(1)->text(0), "Favorites (16)");
        // A key finds the first node added with it, then the next once that one has gone
        // (sub-folders have none), and none of a removed node's children, nor after a clear.
        QTreeWidgetItem *first = tree.FindKey(QString());
        QVERIFY(tree.FindKey("Favorites") == tree.Item(1) && first == tree.Item(2));
        const QString aliased = TreeView::Key(first->child(0));
        tree.RemoveItem(first);
        QVERIFY(tree.FindKey(QString()) == tree.Item(2) && !tree.FindKey(aliased));
        tree.Clear();
        QVERIFY(!tree.FindKey("Favorites"));
        // Four characters go whatever the extension is.
        QCOMPARE(FavoriteText("notes.txt") + "|" + FavoriteText("page.html") + "|"
                + FavoriteText("abcd") + FavoriteText("ab"), "notes|page.|");
    }

    void shortcutAddress_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("address"); // null: none found
        const QString a = QStringLiteral("http://example.test/a");
        QTest::newRow("crlf, first wins")
            << QByteArray("[DEFAULT]\r\nBASEURL=http://example.test/a"
                          "\r\nURL=http://other/\r\nBASEURL=b\r\n") << a;
        QTest::newRow("lf")
            << QByteArray("URL=http://other/\nBASEURL=http://example.test/a\n") << a;
        QTest::newRow("cr, no final break") << QByteArray("x\rBASEURL=http://example.test/a") << a;
        QTest::newRow("untrimmed") << QByteArray("BASEURL= http://x/  \r\n") << " http://x/  ";
        QTest::newRow("empty value") << QByteArray("[DEFAULT]\r\nBASEURL=\r\n") << "";
        QTest::newRow("URL, lower case, leading blank: none")
            << QByteArray("URL=http://x/\r\nbaseurl=http://x/\r\n BASEURL=http://x/\r\n")
            << QString();
        QTest::newRow("after long line")
            << QByteArray(200000, 'q') + "\r\nBASEURL=http://example.test/a" << a;
        QTest::newRow("overlong address")
            << "BASEURL=" + QByteArray(100000, 'q') + "\r\n" << QString();
        QTest::newRow("missing") << QByteArray("<missing>") << QString();
        QTest::newRow("a folder") << QByteArray("<folder>") << QString();
        QTest::newRow("a pipe with no writer") << QByteArray("<pipe>") << QString();
    }
    void shortcutAddress()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, address);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("s.url"));
        makeAt(path, content);
        const std::optional<QString> read = ReadShortcutAddress(path);
        QCOMPARE(read.value_or(QString()), address);
        QCOMPARE(read.has_value(), !address.isNull());
    }

    void doubleClickOpensWindow()
    {
        const QString address = url("/p");
        TestFrame tf(false);
        const QString fav = tf.homeDir() + "/Favorites";
        writeFile(fav + "/Sites/site.url",
            "[DEFAULT]\r\nBASEURL=" + address.toUtf8() + "\r\n[InternetShortcut]\r\nURL=x\r\n");
        writeFile(fav + "/blank.url", "BASEURL=\r\n");
        writeFile(fav + "/gone.url", "BASEURL=http://127.0.0.1:1/\r\n");
        writeFile(fav + "/plain.url", "[InternetShortcut]\r\nURL=" + address.toUtf8());
        tf->MDIForm_Load();
        TreeView *tree = tf->TreeFavor;
        // Root, sub-folder, no address line, a file gone since the build: nothing; then a site.
        QFile::remove(fav + "/gone.url");
        for (const char *text : { "Favorites2 (6)", "Sites", "plain", "gone", "site" })
            QVERIFY(openFavorite(tf.frame.get(), text));
        QCOMPARE(tf->forms().size() * 100 + tf->mytab->Count() * 10 + tf->webtree->Count(), 112);
        auto *window = VERIFIED(lastWindow(tf.frame.get()));
        QTRY_COMPARE_WITH_TIMEOUT(
            listing(tf.frame.get(), window), "OpenWeb/Named page | Named page", 30000);
        QVERIFY(window->wb->LocationURL() == address && tree->Count() == 6);
        // An empty address still opens a window.
        QVERIFY(openFavorite(tf.frame.get(), "blank"));
        QCOMPARE(tf->forms().size() * 100 + tf->mytab->Count() * 10 + tf->webtree->Count(), 223);
        QVERIFY(tf.prompter.asked.isEmpty());
        // Refresh rebuilds from the disk, its folders closed.
        tree->Item(1)->child(0)->setExpanded(true);
        QFile::remove(fav + "/blank.url");
        writeFile(fav + "/Sites/more.url");
        writeFile(fav + "/Y.url");
        tf->refresg_favorites->trigger();
        QCOMPARE(tree->topLevelItemCount(), 1);
        QCOMPARE(outline(tree->Item(1), fav), "Favorites (6)|Favorites, Sites|,  more|"
            "/Sites/more.url,  site|/Sites/site.url, plain|/plain.url, Y|/Y.url");
        QVERIFY(tree->Item(1)->isExpanded() && !tree->Item(1)->child(0)->isExpanded());
    }

    void iconSizeMenu()
    {
        // Only the active window switches; Large, twice, brings back its first look.
        TestFrame t(true, false);
        Dialog *menu = t->dialog();
        menu->small_Click(); // no window at all: nothing to do
        Form1 *first = VERIFIED(t->new_Click()), *w = VERIFIED(t->new_Click());
        QCoreApplication::processEvents();
        const QRect opening = w->CoolBar1->geometry();
        menu->small->trigger();
        QCOMPARE(QList<int>({ w->ButtonImage(9), w->ButtonImage(1), first->ButtonImage(9) }),
            QList<int>({ 13, 7, 14 }));
        QVERIFY(w->Toolbar1->iconSize() == QSize(16, 16)
            && w->CoolBar1->height() < opening.height());
        checkFit(w);
        for (int i = 0; i < 2; ++i) {
            menu->large_Click();
            checkFit(w);
            QVERIFY(w->CoolBar1->geometry() == opening && w->ButtonImage(9) == 14);
        }
    }

    void options_data()
    {
        QTest::addColumn<QByteArray>("stored"); // or "<missing>", "<no folder>"
        QTest::addColumn<QString>("click"); // the button chosen first, if any
        QTest::addColumn<QString>("how"); // how the dialog is left; "": it never opens
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<int>("code"); // in the error box; 0: no box
        const QByteArray bg = BackgroundFile, focus = FocusFile, missing = "<missing>";
        const QString none, optfocus = QStringLiteral("optfocus");
        QTest::newRow("choose Focus, OK") << bg << optfocus << "ok" << focus << 0;
        QTest::newRow("choose Background, OK") << focus << "optback" << "ok" << bg << 0;
        for (const char *how : { "cancel", "escape", "close" })
            QTest::addRow("choose Focus, %s", how) << bg << optfocus << how << bg << 0;
        QTest::newRow("missing: created first") << missing << none << "cancel" << focus << 0;
        QTest::newRow("empty: dialog shut") << QByteArray() << none << "" << QByteArray() << 62;
        QTest::newRow("missing, cannot be created")
            << QByteArray("<no folder>") << none << "" << missing << 70;
        // The error box, the old file byte for byte (or none), and the program goes on.
        QTest::newRow("cannot be written on OK") << bg << optfocus << "ok, blocked" << bg << 70;
        QTest::newRow("full disk on OK") << bg << optfocus << "ok, full disk" << bg << 75;
        QTest::newRow("folder removed before OK")
            << bg << optfocus << "ok, removed" << missing << 70;
    }
    void options()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QString, click);
        QFETCH(QString, how);
        QFETCH(QByteArray, after);
        QFETCH(int, code);
        TestFrame t(true, false);
        frmOptions *o = t->options();
        // The program folder swapped for a plain file (not even root can write there), or gone.
        const QString dir = t.programDir(), moved = dir + ".moved";
        auto block = [&](bool remove) {
            return remove ? QDir(dir).removeRecursively()
                          : QDir().rename(dir, moved) && (writeFile(dir, "x"), true);
        };
        const bool full = how == "ok, full disk";
        const SmallDisk disk(full ? dir : QString());
        if (full)
            SKIP_UNLESS_MOUNTED(disk);
        QFile::remove(t.settingsPath());
        if (!stored.startsWith('<'))
            writeFile(t.settingsPath(), stored);
        QFile held(t.settingsPath()); // a reader of the old file reads it whole: it is replaced
        held.open(QIODevice::ReadOnly);
        if (full)
            writeFile(dir + "/filler", QByteArray(16 * 1024, 'x'));
        if (stored == "<no folder>")
            QVERIFY(block(false));
        // The dialog shows the file (written first when missing), not its own previous state.
        o->select(stored == FocusFile ? NewWindowMode::Background : NewWindowMode::Focus);
        QByteArray shown;
        t.prompter.onDialog = [&](QDialog *dialog) {
            dialog->show();
            shown = readFile(t.settingsPath()) + (o->optfocus->isChecked() ? "+" : "-");
            if (!click.isEmpty())
                if (auto *button = childOf<QRadioButton>(dialog, click))
                    QTest::mouseClick(button, Qt::LeftButton);
            if (how.startsWith("ok") && (how == "ok" || full || block(how == "ok, removed")))
                o->cmdOK->click();
            if (how == "cancel" || (how.startsWith("ok, ") && t.prompter.asked.size() == 1))
                o->cmdcancel->click(); // still open after a failure: the user may cancel
            else if (how == "escape")
                QTest::keyClick(dialog, Qt::Key_Escape);
            else if (how == "close")
                dialog->close();
            return dialog->result();
        };
        t->options_Click();
        if (QFileInfo(dir).isFile())
            QVERIFY(QFile::remove(dir) && QDir().rename(moved, dir));
        QCOMPARE(t.prompter.dialogsRun, how.isEmpty() ? 0 : 1);
        QCOMPARE(readFile(t.settingsPath()), after);
        QCOMPARE(held.isOpen() ? held.readAll() : stored, stored);
        QCOMPARE(QDir(dir).entryList({ "Orvane.ini?*" }, QDir::Files | QDir::Hidden),
            QStringList());
        QCOMPARE(o->result(), int(how == "ok" ? QDialog::Accepted : QDialog::Rejected));
        if (!how.isEmpty()) {
            const QByteArray checked = stored == FocusFile ? "+" : "-";
            QCOMPARE(shown, stored.startsWith('<') ? FocusFile + "+" : stored + checked);
            QVERIFY(t->optfocus() == (after == FocusFile)
                && o->optback->isChecked() != t->optfocus());
        }
        QCOMPARE(t.prompter.asked.size(), code ? 1 : 0);
        if (code)
            QCOMPARE(t.prompter.box().section("\r\n", 0, 0) + t.prompter.box().section('|', 1),
                QString::number(code) + "Error in Orvane.ini\r\nAborting..|48");
        QVERIFY(t->new_Click() && t->forms().size() == 1);
    }

    void editorShowsTheFirst100000Bytes_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("text"); // before the padding with blanks; null: the error box
        QTest::addColumn<int>("boundMs"); // for a failure on the network
        const QString ten = QStringLiteral("0123456789");
        const QString first = QString::fromLatin1(pattern(100000));
        QTest::newRow("10 bytes, padded") << url("/ten") << ten << 0;
        QTest::newRow("exactly 100,000") << url("/size/100000") << first << 0;
        QTest::newRow("300,000, cut") << url("/size/300000") << first << 0;
        QTest::newRow("an error page's body") << url("/missing") << "No such page here" << 0;
        QTest::newRow("after a redirect") << url("/to-ten") << ten << 0;
        QTest::newRow("line breaks, not blanks") << url("/breaks") << QStringLiteral("\n\n\n") << 0;
        QTest::newRow("NUL bytes do not cut the text short")
            << url("/nul") << QString::fromLatin1("<html>\0\0\0after-nul\0tail", 24) << 0;
        QTest::newRow("bare host name") << url("/ten").mid(7) << QString() << 0;
        QTest::newRow("empty") << QString() << QString() << 0;
        QTest::newRow("about:blank") << QStringLiteral("about:blank") << QString() << 0;
        QTest::newRow("local file") << QStringLiteral("file:///etc/hostname") << QString() << 0;
        QTest::newRow("redirect to a local file") << url("/tofile") << QString() << 0;
        QTest::newRow("only blanks") << url("/spaces") << QString() << 0;
        QTest::newRow("refused") << QStringLiteral("http://127.0.0.1:1/") << QString() << 3000;
        QTest::newRow("cut off mid-body") << url("/cut") << QString() << 5000;
        QTest::newRow("stall") << url("/stall") << QString() << 6000;
        QTest::newRow("redirect loop") << url("/loop") << QString() << 6000;
    }
    void editorShowsTheFirst100000Bytes()
    {
        QFETCH(QString, address);
        QFETCH(QString, text);
        QFETCH(int, boundMs);
        TestFrame t(true, false);
        m_seen.clear();
        m_stop = false;
        m_redirects = 0;
        DownloadOptions options;
        options.connectTimeoutMs = options.stallTimeoutMs = 1000;
        options.totalTimeoutMs = 4000;
        int ticks = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
        ticker.start(50);
        QElapsedTimer clock;
        clock.start();
        frmEdit *editor = Module2::EditPageSource(t.frame.get(), address, options);
        const qint64 elapsed = clock.elapsed();
        m_stop = true;
        if (text.isNull()) {
            QVERIFY(!editor && t->forms().isEmpty() && t->webtree->Count() == 1);
            QCOMPARE(t.prompter.asked.size(), 1);
            QCOMPARE(t.prompter.box(), "Error to Read File...|Edit..|16");
            // Bounded, and the program was not frozen while it waited.
            QVERIFY2(!boundMs || elapsed < boundMs, qPrintable(QString::number(elapsed)));
            QVERIFY2(ticks >= elapsed / 50 / 4, qPrintable(QString::number(ticks)));
            QVERIFY(m_redirects <= 11);
            return;
        }
        QVERIFY(editor && t->activeChild() == editor && t.prompter.asked.isEmpty());
        QCOMPARE(editor->Text1->toPlainText(), text + QString(100000 - text.size(), ' '));
        QCOMPARE(editor->Caption(), QStringLiteral("Edit"));
        if (address.endsWith(QLatin1String("/ten")))
            QCOMPARE(m_seen, QByteArray("VOV-Edova test program|no-cache|no-cache"));
    }

    void editorsNodesWindowsAndAskers()
    {
        TestFrame t(true, false);
        MDIForm1 *frame = t.frame.get();
        const QString address = url("/ten");
        frame->OpenBrowserWindow(address, address, address);
        auto *browser = VERIFIED(qobject_cast<Form1 *>(frame->activeChild()));
        browser->cmbadress->setEditText(address);
        browser->gnet_ButtonClick(3);
        browser->gnet_ButtonClick(3);
        QCOMPARE(frame->forms().size(), 3);
        auto *first = qobject_cast<frmEdit *>(frame->forms().at(1));
        auto *second = qobject_cast<frmEdit *>(frame->forms().at(2));
        QVERIFY(first && second && frame->activeChild() == second && second->Text1->hasFocus());
        // Top-level nodes of their own, no tabs, outside the browser window's family.
        for (frmEdit *e : { first, second })
            QCOMPARE(listing(frame, e), QStringLiteral("top/Edit - %1 | -").arg(address));
        first->subWindow()->close();
        QVERIFY(!nodeOf(frame, first) && nodeOf(frame, browser) && nodeOf(frame, second));
        browser->Unload();
        QVERIFY(frame->forms() == QList<ChildForm *> { second } && nodeOf(frame, second));
        // The asker closed mid-download lives until its handler is done; the editor opens.
        QPointer<Form1> asker(t->new_Click());
        asker->cmbadress->setEditText(url("/slow"));
        bool downloading = false, destroyedWhileDownloading = false;
        connect(asker, &QObject::destroyed, this, [&] { destroyedWhileDownloading = downloading; });
        QTimer::singleShot(100, asker, [&] { asker->subWindow()->close(); });
        downloading = true;
        asker->gnet_ButtonClick(3);
        downloading = false;
        flushDeletes();
        QVERIFY(!destroyedWhileDownloading && !asker && qobject_cast<frmEdit *>(t->activeChild()));
    }

    void pagesThatMisbehave()
    {
        TestFrame t;
        Form1 *w = VERIFIED(t->new_Click());
        // A page that never finishes: the program goes on; the window stops and closes.
        m_stop = false;
        go(w, url("/stall"));
        QTRY_COMPARE_WITH_TIMEOUT(w->Caption(), QStringLiteral("Slow"), 20000);
        QVERIFY(stillResponsive(t));
        w->wb->Stop();
        w->subWindow()->close();
        flushDeletes();
        m_stop = true;
        // Windows asked for by unload handlers, accepted, as the page is left or closed.
        t.prompter.defaultAnswer = MsgBox::Yes;
        w = lastWindow(t.frame.get());
        for (const char *page : { "/unload", "/page", "/unload" })
            QVERIFY(load(w, url(page)));
        w->subWindow()->close();
        flushDeletes();
        QTest::qWait(1000);
        flushDeletes();
        QVERIFY(stillResponsive(t));
    }

    // A killed renderer is said in its window's status bar, never in a box; Refresh and
    // Go Net load the page again; the other window keeps its page and renderer.
    void deadRendererIsSaidQuietlyAndReloads()
    {
        TestFrame t;
        Form1 *a = VERIFIED(t.openPage(url("/page")));
        // Another site, so another renderer.
        Form1 *b = VERIFIED(t.openPage(url("/child").replace("127.0.0.1", "localhost")));
        auto renderer = [](Form1 *w) { return pageOf(w)->renderProcessPid(); };
        const qint64 other = renderer(b);
        QVERIFY(renderer(a) > 0 && other > 0 && renderer(a) != other);
        for (int round = 0; round < 2; ++round) {
            QVERIFY(::kill(pid_t(renderer(a)), SIGKILL) == 0);
            QTRY_COMPARE_WITH_TIMEOUT(a->Stbar1Panel1->text(),
                "The page's renderer was killed. Refresh to load it again.", 20000);
            QVERIFY(a->pos == 0 && !t->Timer1->isActive());
            const int hits = m_server.hits(QStringLiteral("/page"));
            if (round == 0)
                a->Toolbar1_ButtonClick(5); // Refresh
            else
                a->gnet_ButtonClick(1); // Go Net
            QVERIFY(waitForComplete(a));
            QCOMPARE(m_server.hits(QStringLiteral("/page")), hits + 1);
        }
        QTRY_COMPARE(a->Caption(), "Plain");
        QVERIFY(t.prompter.asked.isEmpty() && renderer(b) == other);
        QCOMPARE(b->Stbar1Panel1->text(), "Done");
    }

    // A day's cookie is there after a quit and a new start, the session's is not. Beside a
    // running copy nothing is kept, and it says so; a killed copy's lock is taken over.
    void lastingCookies_data()
    {
        QTest::addColumn<QString>("other"); // another copy on the same folders
        QTest::addColumn<QString>("afterStart"); // the title after a quit and a new start
        QTest::newRow("alone") << "none" << "[kept=a]";
        QTest::newRow("lock of a killed copy") << "killed" << "[kept=a]";
        QTest::newRow("beside a running copy") << "running" << "[]";
    }
    void lastingCookies()
    {
        QFETCH(QString, other);
        QFETCH(QString, afterStart);
        std::optional<TestFrame> first;
        if (other == "running") {
            first.emplace();
            QVERIFY(first->openPage(url("/cookie?v=first")));
        }
        TestFrame t;
        const QString home = first ? first->homeDir() : t.homeDir();
        TestFrame::useUserFolders(home);
        if (other == "killed") {
            QProcess gone;
            gone.start("true");
            const qint64 deadPid = gone.processId();
            QVERIFY(deadPid > 0 && gone.waitForFinished());
            writeFile(home + "/.local/share/Orvane/Orvane.lock", QByteArray::number(deadPid) + '\n'
                    + QCoreApplication::applicationName().toUtf8() + '\n'
                    + QSysInfo::machineHostName().toUtf8() + '\n');
        }
        QCOMPARE(titleOf(t, url("/cookie?v=a")), "[]");
        const QLabel *status = lastWindow(t.frame.get())->Stbar1Panel1;
        QCOMPARE(status->text(),
            first ? "Done (off the record: another copy of Orvane keeps the saved data)" : "Done");
        QVERIFY(status->sizeHint().width() <= status->width()); // shown whole
        QCOMPARE(titleOf(t, url("/cookie?v=a")), "[kept=a; session=1]");
        t.restart();
        QCOMPARE(titleOf(t, url("/cookie?v=b")), afterStart);
        QVERIFY(QFileInfo::exists(home + "/.local/share/Orvane/Cookies"));
        QVERIFY(QFileInfo(home + "/.cache/Orvane").isDir());
        if (!first)
            return;
        // What the second copy was sent never reached the first one's store.
        t.frame.reset();
        t.engine.reset();
        first->restart();
        QCOMPARE(titleOf(*first, url("/cookie?v=x")), "[kept=first]");
    }

    // Beyond the hostile name a server sends in the downloads below.
    void safeNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("safe");
        QTest::newRow("back slashes") << "..\\a\\b.txt" << "_a_b.txt";
        QTest::newRow("control characters") << "a\x01\tb\n.txt" << "a__b_.txt";
        QTest::newRow("empty") << "" << "download";
        QTest::newRow("hidden") << ".bashrc" << "bashrc";
        QTest::newRow("a million characters")
            << QString(500000, '.') + QString(500000, 'n') + ".tar.gz" << QString(197, 'n') + ".gz";
        QTest::newRow("long, not ASCII") << QString(300, QChar(0x00E9)) + ".txt"
                                         << QString(98, QChar(0x00E9)) + ".txt";
    }
    void safeNames()
    {
        QFETCH(QString, name);
        QFETCH(QString, safe);
        QCOMPARE(SafeFileName(name), safe);
    }

    // The save question offers the Downloads folder and the server's name; the file is the
    // server's byte for byte, or nothing at all under its name and no partial file. A PDF that
    // is no attachment shows in the window: nothing asked, nothing downloaded.
    void download_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("answer"); // to the save question, under Downloads
        QTest::addColumn<int>("replace"); // the answer when "mine" is already there, else 0
        QTest::addColumn<QString>("end");
        const QString done = "Done: 3.0 MiB saved in ";
        QTest::newRow("attachment") << "/report.zip" << "report.zip" << 0 << done;
        QTest::newRow("a PDF as an attachment")
            << "/attached.pdf" << "attached.pdf" << 0 << "Done: ";
        QTest::newRow("a PDF shown") << "/shown.pdf" << "" << 0 << "shown";
        // The engine retries a cut download and then waits; it fails once nothing comes.
        QTest::newRow("cut mid-way") << "/cut.zip" << "cut.zip" << 0
                                     << "Failed: The server sent nothing for 3 seconds";
        QTest::newRow("cancelled") << "/endless.bin" << "endless.bin" << 0
                                   << "Failed: Cancelled. Nothing was saved.";
        QTest::newRow("existing kept") << "/report.zip" << "report.zip" << int(MsgBox::No) << "";
        QTest::newRow("existing replaced") << "/report.zip" << "report.zip" << int(MsgBox::Yes)
                                           << done;
        QTest::newRow("unwritable folder") << "/report.zip" << "afile/report.zip" << 0
                                           << "Failed: The file could not be written in ";
        QTest::newRow("hostile name") << "/hostile" << "" << 0 << "Done: ";
        QTest::newRow("longest name") << "/report.zip" << QString(251, 'n') + ".zip" << 0 << done;
        QTest::newRow("full disk")
            << "/report.zip" << "report.zip" << 0
            << "Failed: Insufficient space on the target drive. Nothing was saved.";
    }
    void download()
    {
        QFETCH(QString, path);
        QFETCH(QString, answer);
        QFETCH(int, replace);
        QFETCH(QString, end);
        TestFrame t;
        t.engine->timings().stallLimitMs = 3000;
        const QString folder = t.homeDir() + "/Downloads", target = folder + '/' + answer;
        const bool small = end.contains("space");
        QVERIFY(QDir().mkpath(folder));
        const SmallDisk disk(small ? folder : QString());
        if (small)
            SKIP_UNLESS_MOUNTED(disk);
        writeFile(folder + "/afile"); // a file where a folder is wanted
        if (replace) {
            writeFile(target, "mine");
            t.prompter.answers = { MsgBox::Answer(replace) };
        }
        Form1 *w = VERIFIED(t.openPage(url("/cookie")));
        QString offered;
        t.prompter.whileOpen = [&](const RecordingPrompter::Asked &a) {
            if (a.style == RecordingPrompter::SaveQuestion && offered.isEmpty()) {
                offered = a.text;
                t.prompter.saves = { answer.isEmpty() ? a.text : target };
            }
        };
        go(w, url(path));
        if (end == "shown") {
            QTRY_COMPARE_WITH_TIMEOUT(w->wb->LocationURL(), url(path), 20000);
            QVERIFY(waitForComplete(w) || pageOf(w)->url() == QUrl(url(path)));
            QTest::qWait(1000);
            QVERIFY2(t.prompter.asked.isEmpty(), qPrintable(t.prompter.box()));
            QVERIFY(downloadWindows(t).isEmpty());
            return;
        }
        QTRY_VERIFY_WITH_TIMEOUT(!offered.isEmpty(), 20000);
        QTRY_VERIFY2(!t->Timer1->isActive(), "the progress timer runs on");
        QCOMPARE(offered.section('/', 0, -2), folder);
        const QString name = offered.section('/', -1);
        if (path == "/hostile")
            QVERIFY2(name.toUtf8().size() <= 200 && name.endsWith(".gz") && !name.startsWith('.')
                    && !name.contains(QChar(1)), qPrintable(name));
        else
            QCOMPARE(name, QFileInfo(path).fileName());
        const QString finalPath = answer.isEmpty() ? offered : target;
        const bool saved = end.startsWith("Done");
        if (end.isEmpty()) { // declined to replace: asked again, and nothing is fetched
            QTRY_COMPARE(t.prompter.asked.size(), 3);
            QCOMPARE(t.prompter.box(1),
                target + " already exists.\nDo you want to replace it?|Save As|308");
            QCOMPARE(t.prompter.asked.at(2).style, int(RecordingPrompter::SaveQuestion));
            QTest::qWait(500);
            QVERIFY(downloadWindows(t).isEmpty());
        } else {
            if (path == "/endless.bin") { // cancelled once under way
                QTRY_VERIFY_WITH_TIMEOUT(!downloadWindows(t).isEmpty(), 10000);
                DownloadWindow *window = downloadWindows(t).first();
                QTRY_VERIFY_WITH_TIMEOUT(window->statusText().contains(" of 100.0 MiB")
                        && !window->statusText().startsWith("0 bytes"), 10000);
                auto *cancel = VERIFIED(childOf<QPushButton>(window, "cmdCancel"));
                cancel->click();
            }
            const QString text = endOf(t);
            QVERIFY2(text.startsWith(end), qPrintable(text));
            if (saved)
                QCOMPARE(text.section(" saved in ", 1), QFileInfo(finalPath).path());
            const DownloadWindow *window = downloadWindows(t).value(0);
            QVERIFY(window && window->windowTitle().contains(QFileInfo(finalPath).fileName()));
            QTest::qWait(300); // the engine's own clean-up after a failure
        }
        const QByteArray sent
            = path == "/hostile" ? QByteArray("x") : path.endsWith(".pdf") ? m_pdf : m_big;
        QCOMPARE(readFile(finalPath), saved ? sent : replace ? "mine" : "<missing>");
        QStringList left = filesIn(folder);
        QVERIFY2(left.removeOne("afile"), "the file in the way is no longer a file");
        QCOMPARE(left, QStringList(saved || replace ? 1 : 0, QFileInfo(finalPath).fileName()));
        if (path != "/endless.bin")
            return;
        // Once it has ended, a file by its partial's name is another program's.
        QTest::qWait(1500);
        writeFile(finalPath + ".part", "theirs");
        t.frame.reset();
        t.engine.reset();
        QCOMPARE(readFile(finalPath + ".part"), "theirs");
    }

    // Three at once from one page, its window closed while they run: all arrive whole. A page
    // saved as asks nothing more. One that never ends is cancelled by quitting, leaving nothing.
    void downloadsOutliveTheirWindowAndEndAtQuit()
    {
        TestFrame t;
        const QString folder = t.homeDir() + "/Downloads";
        Form1 *w = VERIFIED(t.openPage(url("/links")));
        t.prompter.whileOpen = [&](const RecordingPrompter::Asked &a) {
            if (a.style == RecordingPrompter::SaveQuestion)
                t.prompter.saves = { a.text };
        };
        pageOf(w)->runJavaScript("for (const id of ['one', 'two', 'three']) "
                                 "document.getElementById(id).click()");
        QTRY_COMPARE_WITH_TIMEOUT(downloadWindows(t).size(), 3, 20000);
        QPointer<Form1> gone(w);
        w->Unload();
        flushDeletes();
        QVERIFY(!gone);
        for (int i = 0; i < 3; ++i)
            QVERIFY2(endOf(t, i).startsWith("Done"), qPrintable(endOf(t, i)));
        for (const char *name : { "first.bin", "second.bin", "third.bin" })
            QVERIFY2(readFile(folder + '/' + name) == m_big.left(1024 * 1024), name);
        w = VERIFIED(t.openPage(url("/cookie")));
        const QString page = t.homeDir() + "/saved.html";
        pageOf(w)->save(page, QWebEngineDownloadRequest::SingleHtmlSaveFormat);
        QTRY_VERIFY_WITH_TIMEOUT(readFile(page).contains("<title>[]</title>"), 20000);
        QCOMPARE(t.prompter.asked.size(), 3);
        QCOMPARE(downloadWindows(t).size(), 3);
        w->wb->Navigate(url("/endless.bin"));
        QTRY_VERIFY_WITH_TIMEOUT(!filesIn(folder).filter("endless").isEmpty(), 20000);
        // The same name again while it runs: asked about, and No keeps the first.
        t.prompter.whileOpen = [&](const RecordingPrompter::Asked &a) {
            if (a.style == RecordingPrompter::SaveQuestion && t.prompter.asked.size() == 5)
                t.prompter.saves = { a.text };
        };
        t.prompter.answers = { MsgBox::No };
        w->wb->Navigate(url("/endless.bin"));
        QTRY_COMPARE_WITH_TIMEOUT(t.prompter.asked.size(), 7, 20000);
        QCOMPARE(t.prompter.box(5),
            folder + "/endless.bin is being downloaded.\nDo you want to replace it?|Save As|308");
        QCOMPARE(downloadWindows(t).size(), 4);
        // Quitting asks about the download still running: No keeps Orvane and the download.
        t.prompter.answers = { MsgBox::Yes, MsgBox::No };
        t->exit_Click();
        QCOMPARE(t.quits, 0);
        QCOMPARE(t.prompter.box(8),
            "1 download is still running. Quit and cancel it?|Downloads|292");
        QCOMPARE(t.engine->runningDownloads(), 1);
        t.prompter.answers = { MsgBox::Yes, MsgBox::Yes };
        t->exit_Click();
        QCOMPARE(t.quits, 1);
        QTest::qWait(300);
        t.frame.reset();
        t.engine.reset();
        QTest::qWait(500);
        QCOMPARE(filesIn(folder), QStringList({ "first.bin", "second.bin", "third.bin" }));
    }

    // Two No's in a row and the page is asked no more, until it is loaded again.
    void pageAskingOnAndOn_data()
    {
        QTest::addColumn<QString>("ask"); // what the page does every 100 ms
        QTest::newRow("a download link") << "document.getElementById('one').click()";
        QTest::newRow("an attachment's address") << "location = '/report.zip'";
    }
    void pageAskingOnAndOn()
    {
        QFETCH(QString, ask);
        TestFrame t;
        t.engine->timings().questionRowGapMs = 60000; // a busy machine may take seconds per ask
        Form1 *w = VERIFIED(t.openPage(url("/links")));
        const QString loop = "var loop = setInterval(() => " + ask + ", 100)";
        pageOf(w)->runJavaScript(loop);
        QTRY_COMPARE_WITH_TIMEOUT(t.prompter.asked.size(), 2, 20000); // a busy machine is slow to ask
        QTRY_VERIFY2_WITH_TIMEOUT(w->Stbar1Panel1->text().startsWith("Not downloaded: "),
                                  qPrintable(w->Stbar1Panel1->text()), 20000);
        QCOMPARE(t.prompter.asked.size(), 2);
        QVERIFY(waitForScript(w, "clearInterval(loop); true")); // or its navigations cut the reload
        QSignalSpy loaded(pageOf(w), &QWebEnginePage::loadFinished);
        w->Toolbar1_ButtonClick(5);
        // Loaded again, not only a last refused navigation ended.
        QTRY_VERIFY_WITH_TIMEOUT(loaded.contains(QVariantList { true }), 30000);
        QVERIFY(waitForScript(w, "typeof loop == 'undefined'"));
        pageOf(w)->runJavaScript(loop);
        QTRY_COMPARE_WITH_TIMEOUT(t.prompter.asked.size(), 4, 30000);
        QTRY_VERIFY_WITH_TIMEOUT(w->Stbar1Panel1->text().startsWith("Not downloaded: "), 30000);
        QCOMPARE(t.prompter.asked.size(), 4);
        QVERIFY(downloadWindows(t).isEmpty());
        // Windows closed while their pages still ask: the program goes on.
        for (int i = 0; i < 3; ++i) {
            Form1 *other = VERIFIED(t.openPage(url("/links")));
            pageOf(other)->runJavaScript(loop);
            QTest::qWait(150 * i);
            other->Unload();
            flushDeletes();
        }
        // Past the grace for requests from pages gone: a closing window asks nothing for its page.
        QTest::qWait(t.engine->timings().pageGoneGraceMs + 500);
        Form1 *closing = VERIFIED(t.openPage(url("/links")));
        const int asked = t.prompter.asked.size();
        closing->wb->Close();
        pageOf(closing)->runJavaScript("document.getElementById('one').click()");
        QTest::qWait(1500);
        QCOMPARE(t.prompter.asked.size(), asked);
    }

    // One request per login answer, Cancel showing what the server sent; an untrusted site
    // is not fetched unless accepted, and never says "Done". Accepted lasts for this run only.
    // A window closed while asked takes the answer with it, and the program goes on.
    void siteQuestion_data()
    {
        QTest::addColumn<bool>("tls");
        // Passwords, or Yes or No, then Cancel; "real": the real dialogs, answered ann/right and
        // Return; "close": the window closes while asked.
        QTest::addColumn<QStringList>("replies");
        QTest::addColumn<QStringList>("asked");
        QTest::addColumn<int>("fetched"); // requests the server had
        QTest::addColumn<QString>("title"); // of the page, when it opens
        QTest::addColumn<QString>("status");
        const QString asks = "The site " + m_server.site()
            + " asks for a name and a password.\nRealm: Orvane test|Log in|";
        const QString login = asks + "-2";
        const QStringList twice { login, "That name and password were refused.\n" + login };
        const QString site = m_tls.site();
        const QString reason = "issued by an unknown authority, or by the site itself";
        const QString certText = "The certificate of " + site + " is not trusted: it was "
            + reason + ".\n\nSomeone may be posing as this site to read what you send it."
            + "\n\nGo on to " + site
            + " anyway? Orvane will trust this certificate until it is closed.|Untrusted site|";
        const QString cert = certText + "308";
        const QString refused =
            "Not opened: the certificate of " + site + " is not trusted (it was " + reason + ")";
        const QStringList real { "real" }, close { "close" };
        QTest::newRow("login: wrong, then right")
            << false << QStringList { "wrong", "right" } << twice << 3 << "Welcome" << "Done";
        QTest::newRow("login: cancelled")
            << false << QStringList() << QStringList { login } << 1 << "Refused" << "Done";
        QTest::newRow("login: wrong, then cancelled")
            << false << QStringList { "wrong" } << twice << 2 << "Refused" << "Done";
        QTest::newRow("login: the real dialog, the password hidden")
            << false << real << QStringList { asks + "hidden" } << 2 << "Welcome" << "Done";
        QTest::newRow("login: its window closed")
            << false << close << QStringList { login } << 1 << "" << "";
        QTest::newRow("certificate: refused, the default")
            << true << QStringList { "No" } << QStringList { cert } << 0 << "" << refused;
        QTest::newRow("certificate: the real box, Return means No")
            << true << real << QStringList { certText + "&No" } << 0 << "" << refused;
        QTest::newRow("certificate: accepted for this run")
            << true << QStringList { "Yes" } << QStringList { cert } << 1 << "Secure page"
            << "Done";
        QTest::newRow("certificate: its window closed")
            << true << close << QStringList { cert } << 0 << "" << "";
    }
    void siteQuestion()
    {
        QFETCH(bool, tls);
        QFETCH(QStringList, replies);
        QFETCH(QStringList, asked);
        QFETCH(int, fetched);
        QFETCH(QString, title);
        QFETCH(QString, status);
        TestServer &server = tls ? m_tls : m_server;
        const QString path = tls ? "/" : "/private";
        const bool real = replies == QStringList { "real" };
        TestFrame t(true, true, real ? TestFrame::Real : TestFrame::Recorded);
        QStringList boxes; // as asked
        DialogAnswerer answerer([&](QWidget *modal) {
            auto *password = modal->findChild<QLineEdit *>("txtPassword");
            if (auto *box = qobject_cast<QMessageBox *>(modal)) {
                boxes.append(
                    box->text() + '|' + box->windowTitle() + '|' + box->defaultButton()->text());
                QTest::keyClick(box, Qt::Key_Return);
            } else if (auto *label = modal->findChild<QLabel *>(); label && password) {
                boxes.append(label->text() + '|' + modal->windowTitle() + '|'
                    + (password->echoMode() == QLineEdit::Password ? "hidden" : "shown"));
                modal->findChild<QLineEdit *>("txtUser")->setText("ann");
                password->setText("right");
                qobject_cast<QDialog *>(modal)->accept();
            }
        });
        for (const QString &reply : replies) {
            t.prompter.logins.append({ "ann", reply });
            t.prompter.answers.append(reply == "Yes" ? MsgBox::Yes : MsgBox::No);
        }
        QPointer<Form1> w = t->new_Click();
        QVERIFY(waitForComplete(w));
        if (replies == QStringList { "close" })
            t.prompter.whileOpen = [&](const auto &) {
                w->Unload();
                flushDeletes();
            };
        QSignalSpy said(w->wb, &WebBrowser::StatusTextChange);
        const int before = server.hits(path);
        go(w, server.url(path));
        QVERIFY(status.isEmpty() ? QTest::qWaitFor([&] { return !w; }, 20000) : waitForComplete(w));
        for (int i = 0; i < t.prompter.asked.size(); ++i)
            boxes.append(t.prompter.box(i));
        QCOMPARE(boxes, asked);
        if (status.isEmpty()) { // the answer went nowhere; the next window is asked anew
            QTest::qWait(500);
            QCOMPARE(server.hits(path) - before, fetched);
            t.prompter.whileOpen = nullptr;
            t.prompter.logins = { { "ann", "right" } };
            t.prompter.answers = { MsgBox::Yes };
            QCOMPARE(titleOf(t, server.url(path)), tls ? "Secure page" : "Welcome");
            return;
        }
        if (!title.isEmpty())
            QTRY_COMPARE(w->Caption(), title);
        QCOMPARE(w->Stbar1Panel1->text(), status);
        QVERIFY(status == "Done" || !said.contains(QVariantList { "Done" }));
        QCOMPARE(server.hits(path) - before, fetched);
        if (title == "Refused")
            QVERIFY(waitForScript(
                w, "document.body.innerText.includes('Refused by the test server')"));
        if (title == "Refused" || status != "Done" || real)
            return;
        QCOMPARE(titleOf(t, server.url(path)), title);
        QCOMPARE(t.prompter.asked.size(), asked.size());
        t.restart();
        QVERIFY(t.openPage(server.url(path)));
        QCOMPARE(t.prompter.asked.size(), asked.size() + 1);
        QDirIterator it(t.homeDir(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (!tls && it.hasNext()) {
            const QString file = it.next();
            QVERIFY2(!readFile(file).contains("right"), qPrintable(file));
        }
    }

    void dialogsInARow_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<int>("declined"); // offers passed over before the user takes one
        QTest::addColumn<QString>("results"); // what the page gets from six calls in a row
        QTest::newRow("alert") << "alert('a' + i)" << 0 << "[null,null,null,null,null,null]";
        QTest::newRow("confirm, offer declined twice")
            << "confirm('c' + i)" << 2 << "[true,true,true,true,true,false]";
        QTest::newRow("prompt") << "prompt('p' + i, 'd')" << 0
                                << "[\"typed\",\"typed\",\"typed\",null,null,null]";
    }
    void dialogsInARow()
    {
        QFETCH(QString, call);
        QFETCH(int, declined);
        QFETCH(QString, results);
        TestFrame t;
        Form1 *w = VERIFIED(t.openPage(url("/blank")));
        int offers = 0;
        t.prompter.onPageDialog = [&](PageDialog *d) {
            d->value = "typed";
            d->stop = d->offerStop && offers++ == declined;
            return true;
        };
        pageOf(w)->runJavaScript("var r = []; for (var i = 0; i < 6; ++i) r.push(" + call
            + "); document.title = '=' + JSON.stringify(r);");
        QCOMPARE(titleOnceSet(w), results);
        // Titled by the site alone; the offer from the third in a row on, until taken.
        const QList<PageDialog> &shown = t.prompter.pageDialogs;
        QCOMPARE(shown.size(), 3 + declined);
        for (int i = 0; i < shown.size(); ++i) {
            QCOMPARE(shown.at(i).site, site());
            QCOMPARE(shown.at(i).offerStop, i >= 2);
        }
        QCOMPARE(shown.first().text, call.at(0) + QStringLiteral("0"));
        // Loaded again, the page may show dialogs again; the first is no offer.
        w->Toolbar1_ButtonClick(5);
        QVERIFY(waitForComplete(w));
        pageOf(w)->runJavaScript("alert('again'); document.title = '=done';");
        QCOMPARE(titleOnceSet(w), "done");
        QCOMPARE(shown.size(), 4 + declined);
        QVERIFY(shown.last().text == "again" && !shown.last().offerStop);
    }

    void permissions_data()
    {
        QTest::addColumn<QString>("request");
        QTest::addColumn<int>("answer"); // -1: its window closed while asked
        QTest::addColumn<QString>("received"); // a pattern, for this window and the next
        const QString location = "navigator.geolocation.getCurrentPosition("
            "function () { done('position'); }, function (e) { done('error ' + e.code); },"
            " { timeout: 3000 });";
        const QString notify = "Notification.requestPermission().then(done);";
        QTest::newRow("location, No") << location << 7 << "error 1";
        QTest::newRow("location, Yes") << location << 6 << "(?!error 1$).+";
        QTest::newRow("notifications, No") << notify << 7 << "denied";
        QTest::newRow("notifications, Yes") << notify << 6 << "granted";
        QTest::newRow("window closed while asked") << notify << -1 << "denied";
    }
    void permissions()
    {
        QFETCH(QString, request);
        QFETCH(int, answer);
        QFETCH(QString, received);
        const QString asks = request.contains("geo") ? "know your location" : "show notifications";
        const QRegularExpression expected(QRegularExpression::anchoredPattern(received));
        // A site of its own (a port of its own): answers are remembered per site.
        TestServer site;
        site.page("/p", "<title>P</title><script>function done(v) { document.title = '=' + v; }"
                        "</script>");
        QVERIFY(site.start());
        TestFrame t;
        QPointer<Form1> w = VERIFIED(t.openPage(site.url("/p")));
        t.prompter.answers = { MsgBox::Answer(answer), MsgBox::No };
        if (answer < 0)
            t.prompter.whileOpen = [&](const auto &) {
                if (w)
                    w->Unload();
                flushDeletes();
            };
        pageOf(w)->runJavaScript(request);
        QTRY_COMPARE_WITH_TIMEOUT(t.prompter.asked.size(), 1, 20000);
        const QString name = site.url("/").chopped(1);
        QCOMPARE(t.prompter.box(), name + " wants to " + asks + ".\r\nAllow it?|" + name + "|36");
        QString got = answer < 0 ? QString() : titleOnceSet(w);
        QVERIFY2(answer < 0 || expected.match(got).hasMatch(), qPrintable(got));
        QTRY_VERIFY(answer >= 0 || !w);
        // Another window of the same site: the same answer at once when it was answered,
        // asked again (and No) when its window went unanswered.
        Form1 *again = VERIFIED(t.openPage(site.url("/p")));
        pageOf(again)->runJavaScript(request);
        got = titleOnceSet(again);
        QVERIFY2(expected.match(got).hasMatch(), qPrintable(got));
        QCOMPARE(t.prompter.asked.size(), answer < 0 ? 2 : 1);
        // Another feature of the same site is a question of its own.
        const int before = t.prompter.asked.size();
        pageOf(again)->runJavaScript(asks.contains("location")
                ? "Notification.requestPermission()"
                : "navigator.geolocation.getCurrentPosition(() => 0)");
        QTRY_COMPARE_WITH_TIMEOUT(t.prompter.asked.size(), before + 1, 20000);
        QVERIFY(!t.prompter.box(before).contains(asks));
    }

    // Two features asked for at once: one answer does not serve the other.
    void permissionsAtOnce()
    {
        TestFrame t;
        Form1 *w = VERIFIED(t.openPage(url("/blank")));
        t.prompter.answers = { MsgBox::Yes, MsgBox::Yes };
        t.prompter.whileOpen = [](const auto &) { QTest::qWait(500); }; // the other one comes
        pageOf(w)->runJavaScript("navigator.geolocation.getCurrentPosition(() => 0);"
                                 "Notification.requestPermission().then(v => document.title = v)");
        QTRY_COMPARE_WITH_TIMEOUT(t.prompter.asked.size(), 2, 20000);
        QVERIFY(t.prompter.box(0).contains("location") != t.prompter.box(1).contains("location"));
        QTRY_COMPARE(pageOf(w)->title(), "granted");
    }

    void printsToPdf_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("status");
        QTest::newRow("to a file") << "out.pdf" << "Printed to %1.";
        QTest::newRow("into a missing folder")
            << "missing/out.pdf" << "Printing to %1 failed: its folder does not exist.";
    }
    void printsToPdf()
    {
        QFETCH(QString, file);
        QFETCH(QString, status);
        TestFrame t;
        Form1 *w = VERIFIED(t.openPage(url("/text")));
        const QString path = t.homeDir() + "/" + file;
        QStringList offered; // without a printer: a PDF named after the page
        t.prompter.onPrinter = [&](QPrinter *printer) {
            offered << printer->outputFileName();
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(path);
            return true;
        };
        QElapsedTimer clock;
        clock.start();
        QTest::keySequence(w->cmbadress, QKeySequence(Qt::CTRL | Qt::Key_P));
        QCOMPARE(w->Stbar1Panel1->text(), QStringLiteral("Printing to %1 ...").arg(path));
        QTRY_COMPARE_WITH_TIMEOUT(w->Stbar1Panel1->text(), status.arg(path), 60000);
        const auto downloads = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
        QCOMPARE(offered, QStringList { downloads + "/Text.pdf" });
        if (file.contains("missing"))
            return;
        // Then where the last one went, in this run; Save Page too.
        t.prompter.onPrinter = [&](QPrinter *p) { return offered << p->outputFileName(), false; };
        w->run(Form1::Command::Print);
        QCOMPARE(offered.value(1), t.homeDir() + "/Text.pdf");
        w->run(Form1::Command::Save);
        QCOMPARE(t.prompter.others.last(), "save Save.. " + t.homeDir() + "/text");
        QVERIFY2(clock.elapsed() < 20000, qPrintable(QString::number(clock.elapsed())));
        // The engine's own PDF: fonts and text, no page pictures, kilobytes in size.
        const QByteArray pdf = readFile(path);
        QVERIFY2(pdf.startsWith("%PDF-") && pdf.size() < 500 * 1024,
            qPrintable(QString::number(pdf.size())));
        QVERIFY(pdf.contains("/FontFile") && pdf.contains("/ToUnicode"));
        QVERIFY(!pdf.contains("/Subtype /Image") && !pdf.contains("/Subtype/Image"));
        QVERIFY2(pdf.count("/Type /Page\n") + pdf.count("/Type /Page>") + pdf.count("/Type/Page/")
                >= 5 || pdf.count("/Page") > 5, "fewer pages than the text fills");
    }

    void linksForOtherPrograms_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<int>("answer"); // 0: never asked
        QTest::addColumn<bool>("handler");
        QTest::addColumn<QString>("status");
        QTest::newRow("mailto, Yes") << "mailto:someone@example.com" << 6 << true
                                     << "Opened with another program: mailto:someone@example.com";
        QTest::newRow("irc, No") << "irc://irc.example.com/chan" << 7 << true << "";
        QTest::newRow("tel, Yes, no program for it")
            << "tel:+15551234" << 6 << false << "No program is set up to open tel: addresses.";
        QTest::newRow("file, never handed on") << "file:///etc/hostname" << 0 << true << "";
    }
    void linksForOtherPrograms()
    {
        QFETCH(QString, address);
        QFETCH(int, answer);
        QFETCH(bool, handler);
        QFETCH(QString, status);
        const QString scheme = QUrl(address).scheme();
        Handler desktop;
        if (handler)
            QDesktopServices::setUrlHandler(scheme, &desktop, "open");
        auto unset = qScopeGuard([&] { QDesktopServices::unsetUrlHandler(scheme); });
        TestFrame t;
        Form1 *w = VERIFIED(t.openPage(url("/links")));
        t.prompter.answers = { MsgBox::Answer(answer) };
        QVERIFY(waitForScript(w, "document.getElementById('a').href = '" + address + "'; true"));
        QWidget *view = viewOf(w)->focusProxy();
        QVERIFY2(view && view->isVisible(), "the page shows nowhere to click");
        // Clicked again while its question is open: still one question.
        t.prompter.whileOpen = [&](const auto &) {
            QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(50, 50));
            QTest::qWait(500);
        };
        QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(50, 50));
        if (answer) {
            QTRY_COMPARE_WITH_TIMEOUT(t.prompter.asked.size(), 1, 20000);
            QCOMPARE(t.prompter.box(),
                site() + " wants to open this address with another program:\r\n" + address
                    + "\r\nOpen it?|Open another program|36");
        }
        QTest::qWait(answer ? 300 : 1500);
        QCOMPARE(t.prompter.asked.size(), answer ? 1 : 0);
        QCOMPARE(desktop.opened, answer == 6 && handler ? QStringList { address } : QStringList());
        if (!status.isEmpty())
            QTRY_COMPARE(w->Stbar1Panel1->text(), status);
        QCOMPARE(w->wb->LocationURL(), url("/links"));
    }
};

ORVANE_TEST_MAIN(tst_frame)
#include "tst_frame.moc"
