// On a real X server, with real keys and clicks: the browser window's keys with the
// page holding the keyboard, a page's loop of dialogs, full screen.
#include "TestFrame.h"

#include "browser/webengine/FullScreenWindow.h"
#include "forms/PageDialogBox.h"
#include "sidebar/Shortcut.h"

namespace {

FullScreenWindow *fullScreenWindow()
{
    for (QWidget *top : QApplication::topLevelWidgets())
        if (auto *window = qobject_cast<FullScreenWindow *>(top); window && window->isVisible())
            return window;
    return nullptr;
}

} // namespace

class tst_keys : public QObject
{
    Q_OBJECT
    QString url(const char *path) const { return m_server.url(QLatin1String(path)); }
    TestServer m_server;

private slots:
    void initTestCase()
    {
        QVERIFY2(QGuiApplication::platformName() == QLatin1String("xcb") && RealInput::available(),
            "this group needs a real X server (./test.sh starts Xvfb)");
        const QByteArray keys = "<body style='margin:0'><input id=field style='width:300px'>"
            "<div style='height:2000px'></div><script>var keys = [];"
            "addEventListener('keydown', function (e) { keys.push(e.key); });</script>";
        m_server.page("/a", "<title>A</title>" + keys);
        m_server.page("/b", "<title>B</title>" + keys);
        m_server.server().Get("/slow", [](const auto &, auto &res) {
            std::this_thread::sleep_for(std::chrono::milliseconds(3000));
            res.set_content("<title>Slow</title>", "text/html");
        });
        m_server.page("/loop", "<title>Loop</title><script>"
            "function loop() { for (var i = 0;; ++i) alert('Alert number ' + i); }</script>");
        m_server.page("/full", "<title>Full</title><body style='margin:0'>"
            "<button id=b style='width:100%;height:400px'"
            " onclick='document.documentElement.requestFullscreen()'>full</button><script>"
            "addEventListener('keydown', function (e) {" // a page that tries to stay
            " if (e.key == 'Escape') document.documentElement.requestFullscreen(); });</script>");
        m_server.page("/find", "<title>Find</title><p>apple pie</p><p>apple tart</p><p>an apple</p>");
        m_server.page("/upload", "<title>Upload</title><body style='margin:0'>"
                                 "<input type=file id=f style='width:300px;height:100px'>");
        m_server.page("/busy", "<title>Busy</title><script>function loop() { for (;;); }</script>");
        m_server.file("/file.bin", "x", "file.bin");
        m_server.login("/private", "ann", "right", "<title>Welcome</title>", "<title>Refused</title>");
        QVERIFY(m_server.start());
    }

    void keys_data()
    {
        QTest::addColumn<QString>("where"); // who has the keyboard: the page or the address box
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QString>("effect");
        const QStringList ctrl { "Control_L" }, alt { "Alt_L" };
        const QList<std::tuple<const char *, QStringList, const char *, bool>> rows {
            { "F5", { "F5" }, "reload", true }, // true: from the address box too
            // (the window's keys are one kind of action: F5 stands for the rest there)
            { "Ctrl+R", ctrl + QStringList { "r" }, "reload", false },
            { "Alt+Left", alt + QStringList { "Left" }, "back", false },
            { "Alt+Right", alt + QStringList { "Right" }, "forward", false },
            { "Esc while loading", { "Escape" }, "stop", false },
            { "Esc, nothing loading", { "Escape" }, "page key Escape", false },
            { "Ctrl+L", ctrl + QStringList { "l" }, "address", false },
            { "Alt+D", alt + QStringList { "d" }, "address", false },
            { "F6", { "F6" }, "address", false },
            { "Ctrl+F", ctrl + QStringList { "f" }, "find bar", true },
            { "Ctrl+P", ctrl + QStringList { "p" }, "print", false },
            { "Ctrl+S", ctrl + QStringList { "s" }, "save Save.. ", false },
            { "Ctrl+plus", ctrl + QStringList { "Shift_L", "equal" }, "zoom 110", false },
            { "Ctrl+minus", ctrl + QStringList { "minus" }, "zoom 90", false },
            { "Ctrl+0", ctrl + QStringList { "0" }, "zoom 100", false },
            { "a letter", { "x" }, "page key x", false },
            { "Alt+F", alt + QStringList { "f" }, "menu file", true },
            { "Alt+T", alt + QStringList { "t" }, "menu mnutools", true },
            { "Alt+H", alt + QStringList { "h" }, "menu help", true },
            { "F10", { "F10" }, "menu file", true },
        };
        for (const auto &[name, keys, effect, fromAddress] : rows) {
            QTest::newRow(qPrintable(QString("page, ") + name)) << "page" << keys << effect;
            if (fromAddress)
                QTest::newRow(qPrintable(QString("address, ") + name)) << "address" << keys << effect;
        }
    }

    void keys()
    {
        QFETCH(QString, where);
        QFETCH(QStringList, keys);
        QFETCH(QString, effect);
        TestFrame t;
        Form1 *w = t.showOnScreen(url("/b"));
        QVERIFY(w);
        if (effect == "back" || effect == "forward") { // somewhere to go: /b, /a, back to /b
            QVERIFY(load(w, url("/a")));
        }
        if (effect == "forward") {
            w->wb->GoBack();
            QVERIFY(waitForComplete(w));
        }
        if (effect == "zoom 100")
            w->wb->setZoomFactor(1.5);
        RealInput::settle(500);
        if (where == "page") {
            RealInput::click(viewOf(w), QPoint(20, 10)); // into the page's text field
            QVERIFY(waitForScript(w, "document.activeElement.id == 'field'"));
            QTRY_VERIFY(viewOf(w)->isAncestorOf(QApplication::focusWidget()));
        } else {
            RealInput::click(w->cmbadress->lineEdit());
            QTRY_COMPARE(QApplication::focusWidget(), w->cmbadress); // it types into its line
        }
        const QString before = w->wb->LocationURL();
        const int loads = m_server.hits("/b");
        if (effect == "stop") {
            w->wb->Navigate(url("/slow"));
            QTRY_VERIFY(w->pos < w->max);
            QTRY_COMPARE(w->Stbar1Panel1->text(), "Opening " + url("/slow")); // not the page before
            QTest::qWait(300);
        }
        RealInput::chord(keys);
        RealInput::settle(1000);

        if (effect == "reload") {
            QTRY_COMPARE_WITH_TIMEOUT(m_server.hits("/b"), loads + 1, 10000);
        } else if (effect == "back" || effect == "forward") {
            QTRY_COMPARE_WITH_TIMEOUT(w->wb->LocationURL(), url(effect == "back" ? "/b" : "/a"), 10000);
        } else if (effect == "stop") {
            QTRY_VERIFY_WITH_TIMEOUT(w->pos == w->max, 2000); // ended before the page came
            QTest::qWait(3000);
            QVERIFY(pageOf(w)->title() != "Slow");
        } else if (effect == "address") {
            QCOMPARE(QApplication::focusWidget(), w->cmbadress);
            QCOMPARE(w->cmbadress->lineEdit()->selectedText(), before);
            QCOMPARE(w->cmbadress->lineEdit()->text(), before);
        } else if (effect.startsWith("zoom ")) {
            QCOMPARE(qRound(w->wb->zoomFactor() * 100), effect.mid(5).toInt());
            QCOMPARE(w->Stbar1Panel1->text(), "Zoom " + effect.mid(5) + " %");
        } else if (effect == "find bar") {
            auto *bar = childOf<QWidget>(w, "findBar");
            QTRY_VERIFY(bar && bar->isVisible() && bar->isAncestorOf(QApplication::focusWidget()));
        } else if (effect.startsWith("menu ")) { // open, and nothing typed anywhere
            auto *menu = childOf<QMenu>(t.frame.get(), effect.mid(5));
            QTRY_VERIFY(menu && menu->isVisible());
            QCOMPARE(w->cmbadress->lineEdit()->text(), before);
            QVERIFY(waitForScript(w, "document.getElementById('field').value == ''"));
            RealInput::key("Escape");
            QTRY_VERIFY(!menu->isVisible());
        } else if (effect.startsWith("page key ")) { // a key that means nothing to the window
            QVERIFY(waitForScript(w, "keys.indexOf('" + effect.mid(9) + "') >= 0"));
            if (effect.endsWith('x'))
                QVERIFY(waitForScript(w, "document.getElementById('field').value == 'x'"));
        }
        const bool asks = effect.contains(QRegularExpression("^(ask|print|save)"));
        QCOMPARE(t.prompter.others.size(), asks ? 1 : 0);
        QVERIFY(!asks || t.prompter.others.first().startsWith(effect));
    }

    void dialogLoopIsStopped_data()
    {
        QTest::addColumn<QString>("answer"); // a key, or what is clicked
        QTest::newRow("OK") << "OK";
        QTest::newRow("Enter") << "Return";
        QTest::newRow("Esc") << "Escape";
        QTest::newRow("close box") << "close box";
    }

    void dialogLoopIsStopped()
    {
        QFETCH(QString, answer);
        TestFrame t(true, true, TestFrame::Real);
        Form1 *w = t.showOnScreen(url("/loop"));
        QVERIFY(w);
        // Each dialog as a person meets it: read, then answered; the offer taken when it shows.
        QStringList titles;
        DialogAnswerer answerer([&](QWidget *modal) {
            auto *box = qobject_cast<PageDialogBox *>(modal);
            if (!box)
                return;
            titles.append(box->windowTitle());
            RealInput::settle(300);
            if (box->stopBox())
                RealInput::click(box->stopBox());
            auto *buttons = box->findChild<QDialogButtonBox *>();
            if (answer == "OK") {
                QVERIFY2(buttons && !buttons->buttons().isEmpty(), "the box has no OK button");
                RealInput::click(buttons->buttons().first());
            } else if (answer == "close box") // the window manager's, once it framed the box
                QVERIFY(QTest::qWaitFor([&] { return RealInput::clickCloseBox(box); }));
            else
                RealInput::key(qPrintable(answer));
        });
        pageOf(w)->runJavaScript("loop()");
        QTRY_VERIFY_WITH_TIMEOUT(titles.size() >= 3, 30000);
        RealInput::settle(2000);
        // Stopped at the third, where the offer first shows; each titled by the site.
        QCOMPARE(titles, QStringList(3, url("/").chopped(1)));
        QVERIFY(!QApplication::activeModalWidget());
        // The program answers its menus while the page loops on.
        QMenuBar *bar = t->menuBar();
        RealInput::click(bar, bar->actionGeometry(t->file->menuAction()).center());
        QTRY_VERIFY_WITH_TIMEOUT(t->file->isVisible(), 5000);
        RealInput::key("Escape");
        QTRY_VERIFY(!t->file->isVisible());
    }

    void fullScreen_data()
    {
        QTest::addColumn<QString>("how"); // how it ends
        QTest::newRow("Esc") << "Esc";
        QTest::newRow("the page's own exit") << "page";
        QTest::newRow("its window closed") << "close";
        QTest::newRow("a question for the user") << "question";
        QTest::newRow("a page's dialog") << "alert";
        QTest::newRow("a login") << "login";
        QTest::newRow("a download") << "download";
        QTest::newRow("the program quit") << "quit";
    }

    void fullScreen()
    {
        QFETCH(QString, how);
        TestFrame t;
        t.prompter.defaultAnswer = MsgBox::Yes;
        Form1 *w = t.showOnScreen(url("/full"));
        QVERIFY(w);
        QPointer<QWebEngineView> view = viewOf(w);
        const QRect before = view->geometry();
        RealInput::click(view, QPoint(100, 100));
        QTRY_VERIFY_WITH_TIMEOUT(fullScreenWindow(), 10000);
        QPointer<FullScreenWindow> full(fullScreenWindow());
        QVERIFY(waitForScript(w, "document.fullscreenElement != null"));
        RealInput::settle(500);
        QVERIFY(full->isFullScreen() && view->window() == full);
        QCOMPARE(view->size(), full->size());
        bool hidden = false; // a question behind the full screen
        t.prompter.whileOpen = [&](const auto &) { hidden = fullScreenWindow() != nullptr; };
        t.prompter.onPageDialog = [&](PageDialog *) { return hidden = fullScreenWindow() != nullptr, true; };
        if (how == "Esc")
            RealInput::key("Escape"); // the page asks again at once, to no avail
        else if (how == "page")
            pageOf(w)->runJavaScript("document.exitFullscreen()");
        else if (how == "question")
            pageOf(w)->runJavaScript("Notification.requestPermission()");
        else if (how == "alert")
            pageOf(w)->runJavaScript("setTimeout(() => alert('Hello'))");
        else if (how == "login")
            pageOf(w)->runJavaScript("fetch('/private')");
        else if (how == "download")
            pageOf(w)->runJavaScript("var a = document.createElement('a'); a.href = '/file.bin';"
                                     "a.download = 'file.bin'; document.body.append(a); a.click();");
        else if (how == "close")
            w->Unload();
        else
            t->close();
        QTRY_COMPARE(t.quits, how == "quit" ? 1 : 0); // once its page let it go
        QTRY_VERIFY_WITH_TIMEOUT(!fullScreenWindow(), 10000);
        RealInput::settle(1000);
        QVERIFY(!fullScreenWindow());
        QCOMPARE(t.prompter.asked.size(),
                 QStringList({ "question", "quit", "download", "login" }).contains(how));
        QCOMPARE(t.prompter.pageDialogs.size(), how == "alert");
        QVERIFY(!hidden);
        flushDeletes();
        QVERIFY(!full);
        if (how == "close" || how == "quit") { // and the view goes with its window
            t.frame.reset();
            flushDeletes();
            QVERIFY(!view);
            return;
        }
        // Back in its window, where it was and as large, the page out of full screen.
        QCOMPARE(view->parentWidget(), w->wb);
        QCOMPARE(view->geometry(), before);
        QVERIFY(view->isVisible());
        QVERIFY(waitForScript(w, "document.fullscreenElement == null"));
    }

    // A page whose script never returns, busy or showing dialogs it may no longer show,
    // is offered to be ended when the user asks something of it; then it reloads.
    void hungPageIsEnded_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("ask"); // what the user asks of it
        QTest::newRow("busy, Esc") << "/busy" << "Esc";
        QTest::newRow("busy, a new address") << "/busy" << "address";
        QTest::newRow("dialogs stopped, Stop") << "/loop" << "Stop";
    }

    void hungPageIsEnded()
    {
        QFETCH(QString, page);
        QFETCH(QString, ask);
        TestFrame t;
        t.engine->timings().hungPageMs = 2000;
        Form1 *w = t.showOnScreen(m_server.url(page));
        QVERIFY(w);
        RealInput::click(viewOf(w), QPoint(20, 20));
        t.prompter.onPageDialog = [](PageDialog *dialog) { return dialog->stop = dialog->offerStop, true; };
        t.prompter.answers = { MsgBox::Yes };
        pageOf(w)->runJavaScript("loop()");
        RealInput::settle(1000);
        QVERIFY(t.prompter.asked.isEmpty()); // nothing asked of it yet
        if (ask == "Esc")
            RealInput::key("Escape");
        else if (ask == "Stop")
            RealInput::click(w->Toolbar1->widgetForAction(w->Buttons.at(2)));
        else
            go(w, url("/a"));
        QTRY_COMPARE_WITH_TIMEOUT(t.prompter.asked.size(), 1, 10000);
        QCOMPARE(t.prompter.box(), url("/").chopped(1) + " is not responding. Stop it?|Not responding|"
                + QString::number(int(MsgBox::YesNoQuestion)));
        QTRY_VERIFY_WITH_TIMEOUT(w->Stbar1Panel1->text().startsWith("The page's renderer was killed"), 10000);
        w->run(Form1::Command::Refresh);
        QVERIFY(waitForComplete(w));
        QVERIFY(waitForScript(w, "1 == 1"));
    }

    // Ctrl+D writes a shortcut the Favorites tree lists and opens, under a name the
    // user confirms, safe for a file; an existing one is replaced only after a Yes.
    void addToFavorites_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("typed"); // "=": the name offered
        QTest::addColumn<QString>("existing");
        QTest::addColumn<int>("replace"); // the answer to "Replace it?", 0: not asked
        QTest::addColumn<QString>("file"); // written, or none
        QTest::newRow("the title") << "My page" << "=" << "" << 0 << "My page.url";
        QTest::newRow("a title unsafe for a file") << "../a/b: *c?|\"d\"" << "=" << "" << 0 << "_a_b_ _c___d_.url";
        QTest::newRow("a name typed, unsafe") << "My page" << "..\n/etc" << "" << 0 << "__etc.url";
        QTest::newRow("cancelled") << "My page" << "" << "" << 0 << "";
        QTest::newRow("existing, No") << "My page" << "=" << "My page.url" << int(MsgBox::No) << "";
        QTest::newRow("existing, Yes") << "My page" << "=" << "My page.url" << int(MsgBox::Yes) << "My page.url";
    }

    void addToFavorites()
    {
        QFETCH(QString, title);
        QFETCH(QString, typed);
        QFETCH(QString, existing);
        QFETCH(int, replace);
        QFETCH(QString, file);
        const QString page = m_server.url("/a");
        TestFrame t;
        const QString folder = t.homeDir() + "/Favorites";
        if (!existing.isEmpty())
            writeFile(folder + "/" + existing, "BASEURL=old\r\n");
        Form1 *w = t.showOnScreen(page);
        QVERIFY(w);
        pageOf(w)->runJavaScript("document.title = " + QJsonDocument(QJsonArray { title }).toJson(QJsonDocument::Compact).mid(1).chopped(1));
        QTRY_COMPARE(w->Caption(), title);
        if (!typed.isEmpty())
            t.prompter.texts = { typed };
        t.prompter.answers = { MsgBox::Answer(replace) };
        RealInput::click(viewOf(w), QPoint(20, 20));
        RealInput::chord({ "Control_L", "d" });
        QTRY_COMPARE(t.prompter.others, QStringList { "ask Add to Favorites: " + SafeShortcutName(title) });
        QCOMPARE(t.prompter.asked.size(), replace ? 1 : 0);
        const QStringList files = QDir(folder).entryList(QDir::Files);
        QCOMPARE(files, existing.isEmpty() && file.isEmpty() ? QStringList() : QStringList { existing.isEmpty() ? file : existing });
        if (file.isEmpty())
            return;
        QCOMPARE(w->Stbar1Panel1->text(), "Added to Favorites: " + file.chopped(4));
        // The tree lists it at once and opens it with its own reader.
        QVERIFY(openFavorite(t.frame.get(), file.chopped(4)));
        QCOMPARE(t->forms().size(), 2);
        QVERIFY(waitForComplete(lastWindow(t.frame.get())));
        QCOMPARE(lastWindow(t.frame.get())->wb->LocationURL(), page);
        QVERIFY(readFile(folder + "/" + file).contains("[InternetShortcut]\r\nURL=" + page.toUtf8() + "\r\n"));
    }

    // Ctrl+Shift+T reopens the windows closed last, a cascade's too, each with its
    // Back/Forward list, under "Open Web's" with a tab, in front.
    void reopenClosedWindows()
    {
        TestFrame t;
        Form1 *opener = t.showOnScreen(url("/a"));
        QVERIFY(opener);
        QVERIFY(load(opener, url("/b")));
        Form1 *child = t->openWindow(NewWindow { url("/full") }, opener);
        QVERIFY(child && waitForComplete(child));
        opener->subWindow()->close();
        QTRY_VERIFY(t->forms().isEmpty());
        for (const char *page : { "/full", "/b" }) {
            RealInput::chord({ "Control_L", "Shift_L", "t" });
            QTRY_COMPARE(t->forms().size(), page == QLatin1String("/b") ? 2 : 1);
            Form1 *w = lastWindow(t.frame.get());
            QVERIFY(waitForComplete(w));
            QCOMPARE(w->wb->LocationURL(), url(page));
            QCOMPARE(listing(t.frame.get(), w), QString("OpenWeb/%1 | %1").arg(pageOf(w)->title()));
            QCOMPARE(t->activeChild(), w);
        }
        Form1 *reopened = lastWindow(t.frame.get());
        reopened->run(Form1::Command::Back);
        QTRY_COMPARE_WITH_TIMEOUT(reopened->wb->LocationURL(), url("/a"), 10000);
    }

    // The find bar finds while the user types and steps through the matches by Enter,
    // Shift+Enter, F3 and Shift+F3, from the bar or the page; Esc closes it.
    void findBar()
    {
        TestFrame t;
        Form1 *w = t.showOnScreen(url("/find"));
        QVERIFY(w);
        RealInput::click(w->Toolbar1->widgetForAction(w->Buttons.at(int(Form1::Command::Find) - 1)));
        auto *bar = childOf<QWidget>(w, "findBar");
        QLabel *where = childOf<QLabel>(bar, "findWhere");
        QTRY_VERIFY(where && bar->isVisible());
        RealInput::type("apple");
        QTRY_COMPARE(where->text(), "1 of 3");
        const QList<std::pair<QStringList, const char *>> steps {
            { { "Return" }, "2 of 3" }, { { "Return" }, "3 of 3" }, { { "Return" }, "1 of 3" },
            { { "Shift_L", "Return" }, "3 of 3" }, { { "F3" }, "1 of 3" }, { { "Shift_L", "F3" }, "3 of 3" },
        };
        for (const auto &[keys, expected] : steps) {
            RealInput::chord(keys);
            QTRY_COMPARE(where->text(), expected);
        }
        RealInput::click(viewOf(w), QPoint(5, 200)); // F3 from the page too
        RealInput::key("F3");
        QTRY_COMPARE(where->text(), "1 of 3");
        RealInput::click(bar->findChild<QLineEdit *>());
        RealInput::type(" crumble");
        QTRY_COMPARE(where->text(), "Not found");
        RealInput::key("Escape");
        QTRY_VERIFY(!bar->isVisible());
        QVERIFY(t.prompter.others.isEmpty()); // no box asked
    }

    // A page's file input asks through the program: first in the home folder, then in
    // the folder chosen last.
    void uploadStartsWhereTheLastOneWas()
    {
        TestFrame t;
        Form1 *w = t.showOnScreen(url("/upload"));
        QVERIFY(w);
        const QString file = t.homeDir() + "/in/a.txt";
        writeFile(file, "a");
        t.prompter.uploads = { file };
        RealInput::click(viewOf(w), QPoint(50, 50));
        QVERIFY(waitForScript(w, "f.files.length == 1 && f.files[0].name == 'a.txt'"));
        RealInput::click(viewOf(w), QPoint(50, 50));
        QTRY_COMPARE(t.prompter.others, (QStringList { "upload " + QDir::homePath(), "upload " + t.homeDir() + "/in" }));
    }
};

ORVANE_TEST_MAIN(tst_keys)
#include "tst_keys.moc"
