// The icon-size menu, Options, and the page-source editor; hostile input: misbehaving
// pages, a killed renderer, each bounded in time.
#include "TestFrame.h"
#include "dialogs/Dialog.h"

#include <csignal>

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
} // namespace

class tst_dialogs : public QObject
{
    Q_OBJECT
    QString url(const char *path) const { return m_server.url(QLatin1String(path)); }
    TestServer m_server;
    QByteArray m_seen; // the last request's headers that matter
    std::atomic<bool> m_stop { false };
    std::atomic<int> m_redirects { 0 };

private slots:
    void initTestCase()
    {
        m_server.page(QStringLiteral("/page"), "<title>Plain</title>");
        m_server.page(QStringLiteral("/child"), "<title>Child</title>");
        m_server.page(QStringLiteral("/unload"),
            "<title>Unload</title><script>for (const e of ['unload', 'pagehide', 'beforeunload'])"
            "  addEventListener(e, function () { window.open('/child'); });</script>");
        httplib::Server &s = m_server.server();
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
        s.Get("/moved", [](const auto &, auto &res) { res.set_redirect("/ten"); });
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
        QVERIFY(m_server.start());
    }

    void iconSizeMenu()
    {
        // Only the active window switches; Large, twice, brings back its first look.
        TestFrame t(true, false);
        Dialog *menu = t->dialog();
        menu->small_Click(); // no window at all: nothing to do
        Form1 *first = t->new_Click(), *w = t->new_Click();
        QVERIFY2(first && w, "no browser window is open");
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
        QTest::newRow("after a redirect") << url("/moved") << ten << 0;
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
        auto *browser = qobject_cast<Form1 *>(frame->activeChild());
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
        Form1 *w = t->new_Click();
        QVERIFY2(w, "no browser window is open");
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
        for (const char *page : { "/unload", "/page", "/unload" }) {
            QVERIFY(load(w, url(page)));
        }
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
        Form1 *a = t.openPage(url("/page"));
        // Another site, so another renderer.
        Form1 *b = t.openPage(url("/child").replace("127.0.0.1", "localhost"));
        QVERIFY(a && b);
        auto renderer = [](Form1 *w) {
            return pageOf(w)->renderProcessPid();
        };
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
};

ORVANE_TEST_MAIN(tst_dialogs)
#include "tst_dialogs.moc"
