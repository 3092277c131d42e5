// On a real X server, once the screen settled: front window, title bars, real input; windows
// out of sight, hidden and asleep; keys with the page holding the keyboard; dialogs; full screen.
#include "TestFrame.h"
#include "browser/webengine/DownloadManager.h"
#include "browser/webengine/FullScreenWindow.h"
#include "browser/webengine/WebEngineProfile.h"
#include "forms/PageDialogBox.h"
#include "frame/RunningCopy.h"
#include "sidebar/Shortcut.h"

#include <QLocalSocket>
#include <QWebEngineHistory>
#include <csignal>

namespace {
// A person's answer to the real dialogs, clicked once it shows: Yes where offered, else OK.
void clickAnswer(QWidget *modal)
{
    RealInput::settle(300);
    if (auto *box = qobject_cast<QMessageBox *>(modal))
        RealInput::click(box->button(QMessageBox::Yes) ? box->button(QMessageBox::Yes)
                                                       : box->buttons().first());
    else if (auto *buttons = modal->findChild<QDialogButtonBox *>()) // a page's dialog
        RealInput::click(buttons->buttons().first());
}

// Clicks the maximised window's restore button, or its close box, at the menu bar's end.
bool clickWindowButton(MDIForm1 *frame, bool close)
{
    QWidget *b = frame->menuBar()->cornerWidget(Qt::TopRightCorner);
    if (!b || !b->isVisible())
        return false;
    RealInput::click(b, close ? QPoint(b->width() - 8, b->height() / 2) : b->rect().center());
    return true;
}

// Share of a strip's pixels that differ between screen and widget (a title bar: many).
double differingShare(QWidget *w, QRect strip)
{
    const QPoint at = w->mapToGlobal(strip.topLeft());
    const QImage screen = QGuiApplication::primaryScreen()
        ->grabWindow(0, at.x(), at.y(), strip.width(), strip.height()).toImage();
    const QImage own = w->grab(strip).toImage();
    if (screen.size() != own.size())
        return 1;
    int differing = 0;
    for (int y = 0; y < own.height(); ++y)
        for (int x = 0; x < own.width(); ++x) {
            const QRgb a = screen.pixel(x, y), b = own.pixel(x, y);
            differing += qAbs(qRed(a) - qRed(b)) + qAbs(qGreen(a) - qGreen(b))
                + qAbs(qBlue(a) - qBlue(b)) > 96;
        }
    return double(differing) / (own.width() * own.height());
}

// The value of a script on a page that runs; invalid when no answer comes.
QVariant evaluate(Form1 *w, const QString &script)
{
    auto result = std::make_shared<std::optional<QVariant>>();
    pageOf(w)->runJavaScript(script, [result](const QVariant &v) { *result = v; });
    (void)QTest::qWaitFor([&] { return result->has_value(); }, 10000);
    return result->value_or(QVariant());
}

// Animation frames the page draws in half a second.
int framesDrawn(Form1 *w)
{
    const int before = evaluate(w, "frames").toInt();
    QTest::qWait(500);
    return evaluate(w, "frames").toInt() - before;
}

using Lifecycle = QWebEnginePage::LifecycleState;
Lifecycle stateOf(Form1 *w) { return pageOf(w)->lifecycleState(); }

FullScreenWindow *fullScreenWindow()
{
    for (QWidget *top : QApplication::topLevelWidgets())
        if (auto *window = qobject_cast<FullScreenWindow *>(top); window && window->isVisible())
            return window;
    return nullptr;
}
} // namespace

// The program itself, in a home of its own; its windows read from its journal.
struct RealProgram
{
    RealProgram()
    {
        for (const char *name :
            { "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "QT_SCALE_FACTOR" })
            env.remove(QLatin1String(name));
        env.insert("HOME", home.path());
        env.insert("XDG_STATE_HOME", home.path() + "/state");
    }
    bool start(QProcess &p, const QStringList &addresses,
               QProcess::ProcessChannelMode mode = QProcess::ForwardedErrorChannel)
    {
        p.setProcessEnvironment(env);
        p.setProcessChannelMode(mode);
        p.start(qEnvironmentVariable("ORVANE_BUILD_DIR") + "/orvane", addresses);
        return p.waitForStarted(10000);
    }
    QTemporaryDir home;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    const QString journal = home.path() + "/state/Orvane/windows.json";
    const QString socket = RunningCopy::socketFor(home.path() + "/.local/share/Orvane");
};

// The window in front fills the area; restored with its button and moved aside, it
// shows every other window behind it, shown and inside the area.
#define CHECK_WINDOWS(...)                                                                         \
    do {                                                                                           \
        checkWindows(__VA_ARGS__);                                                                 \
        if (QTest::currentTestFailed())                                                            \
            return;                                                                                \
    } while (0)
static void checkWindows(TestFrame &t, Form1 *front, const char *step)
{
    RealInput::settle(700);
    QMdiArea *area = t->mdiArea();
    QMdiSubWindow *sub = front->subWindow();
    const QString where = QStringLiteral("after ") + QLatin1String(step);
    QVERIFY2(area->activeSubWindow() == sub, qPrintable(where + ": another window is in front"));
    QWidget *seen = area->viewport()->childAt(area->viewport()->rect().center()); // by a person
    QVERIFY2(seen == sub || sub->isAncestorOf(seen),
        qPrintable(where + ": the front window is not on top"));
    QVERIFY2(sub->isMaximized() && sub->geometry() == area->viewport()->rect(),
        qPrintable(where + ": the front window does not fill the area"));
    QVERIFY2(front->isAncestorOf(QApplication::focusWidget())
            && QApplication::activeWindow() == t.frame.get(),
        qPrintable(where + ": the keyboard is not in the front window"));
    QVERIFY2(clickWindowButton(t.frame.get(), false), qPrintable(where + ": no window buttons"));
    QTRY_VERIFY2(!sub->isMaximized(), qPrintable(where + ": no restore button"));
    const QRect normal = sub->geometry();
    sub->move(area->viewport()->width() - 10, area->viewport()->height() - 10);
    RealInput::settle(300);
    for (ChildForm *form : t->forms()) {
        if (form == front || !qobject_cast<Form1 *>(form))
            continue;
        QVERIFY2(form->subWindow()->isVisible()
                && form->subWindow()->geometry().intersects(area->viewport()->rect()),
            qPrintable(where + ": nothing behind the front window: " + form->Caption()));
        QVERIFY2(!form->subWindow()->isMaximized(),
            qPrintable(where + ": still maximised behind it: " + form->Caption()));
    }
    sub->setGeometry(normal);
    front->Show();
    RealInput::settle(300);
}

class tst_display : public QObject
{
    Q_OBJECT
    QString url(const char *path) const { return m_server.url(QLatin1String(path)); }
    TestServer m_server;

private slots:
    void initTestCase()
    {
        QVERIFY2(QGuiApplication::platformName() == QLatin1String("xcb") && RealInput::available(),
            "this group needs a real X server (./test.sh starts Xvfb)");
        m_server.page(QStringLiteral("/opener"), "<title>Opener</title><body style='margin:0'>"
            "<a href='/child' target='_blank' style='display:block;height:2000px'>open</a></body>");
        m_server.page(QStringLiteral("/child"), "<title>Child</title>child");
        m_server.page(QStringLiteral("/c"), "<title>C</title>");
        m_server.page(QStringLiteral("/leave"), "<title>Leave</title><body style='margin:0'>"
            "<input style='width:300px;height:200px' oninput='if (value == \"hang\") for (;;);'>"
            "<script>onbeforeunload = e => { e.preventDefault(); e.returnValue = 'x'; };</script>");
        m_server.page("/anim", "<title>Anim</title><script>var frames = 0;"
            "(function draw() { ++frames; requestAnimationFrame(draw); })();</script>");
        m_server.page("/still", "<title>Still</title><p>Nothing moves here.");
        for (const char *path : { "/one", "/two", "/three" })
            m_server.page(path, QByteArray("<title>") + (path + 1) + "</title>");
        m_server.file("/endless.bin", QByteArray(64 * 1024 * 1024, 'x'), "endless.bin", -1, 200);
        // Pages with a text field at the top, noting every key they get.
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
        m_server.page(
            "/find", "<title>Find</title><p>apple pie</p><p>apple tart</p><p>an apple</p>");
        m_server.page("/upload", "<title>Upload</title><body style='margin:0'>"
                                 "<input type=file id=f style='width:300px;height:100px'>");
        m_server.page("/busy", "<title>Busy</title><script>function loop() { for (;;); }</script>");
        m_server.file("/file.bin", "x", "file.bin");
        m_server.login(
            "/private", "ann", "right", "<title>Welcome</title>", "<title>Refused</title>");
        QVERIFY(m_server.start());
    }

    void addressBoxNavigatesOnlyWhenAsked_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("loads");
        QTest::newRow("typed, then a click into the page") << "leave" << 0;
        // Enter, Go Net, from the list, or Enter after a page completed under the typing.
        for (const char *how : { "enter", "go net", "pick", "enter while loading" })
            QTest::newRow(how) << QString::fromLatin1(how) << 1;
    }
    void addressBoxNavigatesOnlyWhenAsked()
    {
        QFETCH(QString, how);
        QFETCH(int, loads);
        TestFrame t;
        Form1 *w = VERIFIED(t.showOnScreen(url("/a")));
        // Three addresses in the list, /c shown, /a the box's current entry: /b, neither
        // of them, is typed or picked.
        const QString target = url("/b");
        for (const QString &address : { url("/a"), target, url("/c") })
            QVERIFY(load(w, address));
        RealInput::settle(500);
        const int before = m_server.hits(QStringLiteral("/b"));
        QLineEdit *edit = w->cmbadress->lineEdit();
        if (how == "pick") {
            QComboBox *box = w->cmbadress;
            RealInput::click(box, QPoint(box->width() - 8, box->height() / 2)); // its arrow
            QAbstractItemView *list = w->cmbadress->view();
            QTRY_VERIFY(list->isVisible());
            RealInput::settle(300);
            const QModelIndex row = list->model()->index(w->cmbadress->findText(target), 0);
            RealInput::click(list->viewport(), list->visualRect(row).center());
        } else {
            QSignalSpy complete(w->wb, &WebBrowser::DocumentComplete);
            const bool whileLoading = how == "enter while loading";
            if (whileLoading)
                go(w, url("/slow"));
            RealInput::click(edit);
            edit->selectAll();
            RealInput::type(target);
            if (whileLoading) {
                QTRY_VERIFY_WITH_TIMEOUT(complete.count() > 0, 30000);
                RealInput::settle(300);
            }
            QCOMPARE(edit->text(), target);
            if (how == "leave")
                RealInput::click(viewOf(w), QPoint(20, 20));
            else if (how.startsWith("enter"))
                RealInput::key("Return");
            else
                RealInput::click(w->gnet->widgetForAction(w->gnetButtons.at(0)));
        }
        RealInput::settle(1500);
        QCOMPARE(m_server.hits(QStringLiteral("/b")) - before, loads);
    }

    void maximisedWindowsShowNoTitleBar()
    {
        TestFrame t(true, true, TestFrame::Real);
        DialogAnswerer answer(clickAnswer);
        Form1 *w = VERIFIED(t.showOnScreen(url("/a")));
        const QRect strip(0, 0, w->width(), w->style()->pixelMetric(QStyle::PM_TitleBarHeight));
        for (int round = 0; round < 2; ++round) {
            // A modal question (a tab click asks one), Options, the side bar resizing the area.
            RealInput::click(t->mytab, t->mytab->tabRect(0).center());
            QTRY_COMPARE(answer.answered, 2 * round + 1);
            QTimer::singleShot(300, [&] { RealInput::click(t->options()->cmdOK); });
            t->options_Click();
            t->mybar_Click();
            RealInput::settle(500);
            QVERIFY(w->subWindow()->isMaximized());
            QCOMPARE(w->subWindow()->size(), t->mdiArea()->viewport()->size());
            QCOMPARE(w->mapTo(w->subWindow(), QPoint(0, 0)), QPoint(0, 0));
            // On the screen, the top of the window is its own toolbar, not a title bar.
            QVERIFY2(differingShare(w, strip) < 0.5, "a title bar shows over the toolbar");
        }
        // Restored by the user, it stays so after a page's dialog, and after the frame lost
        // the keyboard to another program and got it back.
        QVERIFY2(clickWindowButton(t.frame.get(), false), "no window buttons in the menu bar");
        QTRY_VERIFY(!w->subWindow()->isMaximized());
        const QRect restored = w->subWindow()->geometry();
        pageOf(w)->runJavaScript("alert('restored')");
        QTRY_COMPARE(answer.answered, 5);
        RealInput::settle(500);
        QVERIFY2(!w->subWindow()->isMaximized(), "maximised again after a page's dialog");
        QProcess other; // another program's window
        other.start("xmessage", { "-center", "another program" });
        QTRY_VERIFY2_WITH_TIMEOUT(!t->isActiveWindow(), "the other window never came", 10000);
        t->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(t.frame.get()));
        other.kill();
        other.waitForFinished();
        RealInput::settle(500);
        QVERIFY2(!w->subWindow()->isMaximized() && w->subWindow()->geometry() == restored,
            "maximised again when the frame got the keyboard back");
        // An editor opens maximised, in every state it shows on the way to the screen.
        struct Watch : QObject
        {
            QList<bool> maximisedWhenShown;
            bool eventFilter(QObject *o, QEvent *e) override
            {
                auto *sub = qobject_cast<QMdiSubWindow *>(o);
                if (e->type() == QEvent::ChildAdded)
                    static_cast<QChildEvent *>(e)->child()->installEventFilter(this);
                else if ((e->type() == QEvent::Show || e->type() == QEvent::Resize) && sub
                    && sub->isVisible() && qobject_cast<frmEdit *>(sub->widget()))
                    maximisedWhenShown.append(sub->isMaximized());
                return false;
            }
        } watch;
        t->mdiArea()->viewport()->installEventFilter(&watch);
        w->cmbadress->setEditText(url("/a"));
        RealInput::click(w->gnet->widgetForAction(w->gnetButtons.at(2)));
        QTRY_VERIFY(qobject_cast<frmEdit *>(t->activeChild()));
        auto *editor = static_cast<frmEdit *>(t->activeChild());
        RealInput::settle(500);
        QVERIFY(!watch.maximisedWhenShown.isEmpty());
        QVERIFY2(!watch.maximisedWhenShown.contains(false),
            "the editor showed at normal size first");
        QVERIFY(editor->subWindow()->isMaximized() && editor->Text1->geometry() == editor->rect());
    }

    void frontWindowFillsTheAreaAndNoneHides()
    {
        TestFrame t(true, true, TestFrame::Real);
        DialogAnswerer answer(clickAnswer); // Yes to new windows, OK to the tab's box
        t->options()->optfocus->setChecked(true);
        Form1 *a = VERIFIED(t.showOnScreen(url("/opener")));
        const auto openFrom = [&](Form1 *opener) -> Form1 * {
            const int before = t->forms().size();
            RealInput::click(viewOf(opener), QPoint(40, 40));
            if (!QTest::qWaitFor([&] { return t->forms().size() == before + 1; }, 20000))
                return nullptr;
            Form1 *child = lastWindow(t.frame.get());
            return QTest::qWaitFor([&] { return child->Caption() == "Child"; }, 30000) ? child
                                                                                       : nullptr;
        };
        Form1 *c1 = VERIFIED(openFrom(a)); // with focus: it comes forward
        CHECK_WINDOWS(t, c1, "a window opened with focus");
        RealInput::click(t->mytab, t->mytab->tabRect(0).center());
        QTRY_COMPARE(answer.answered, 2);
        CHECK_WINDOWS(t, a, "the opener's tab");
        // Options, a click on "In Background", OK: all in the real dialog.
        QTimer::singleShot(300, [&] {
            RealInput::click(t->options()->optback);
            RealInput::click(t->options()->cmdOK);
        });
        t->options_Click();
        QCOMPARE(ReadSettingsFile(t.settingsPath()).mode, NewWindowMode::Background);
        Form1 *c2 = VERIFIED(openFrom(a)); // in background: the opener stays in front
        CHECK_WINDOWS(t, a, "a window opened in background");
        Form1 *b = VERIFIED(t.showOnScreen(url("/a")));
        Form1 *b2 = VERIFIED(t.showOnScreen(url("/b")));
        CHECK_WINDOWS(t, b2, "a window from the menu");
        // Its close box.
        QVERIFY2(clickWindowButton(t.frame.get(), true), "no window buttons in the menu bar");
        QTRY_VERIFY(!t->forms().contains(b2));
        CHECK_WINDOWS(t, b, "a close box");
        // Ctrl+W, on a window brought forward by its node.
        t->mybar_Click();
        RealInput::settle(300);
        RealInput::click(t->Picture3->Image5);
        RealInput::settle(300);
        QTreeWidgetItem *node = VERIFIED(nodeOf(t.frame.get(), c2));
        RealInput::click(t->webtree->viewport(), t->webtree->visualItemRect(node).center());
        CHECK_WINDOWS(t, c2, "a node click");
        RealInput::click(viewOf(c2), QPoint(40, 40)); // the page holds the keyboard
        RealInput::chord({ "Control_L", "w" });
        QTRY_VERIFY(!t->forms().contains(c2));
        CHECK_WINDOWS(t, b, "Ctrl+W");
        // The opener closes while its child is in front: both go, the next one fills the area.
        node = VERIFIED(nodeOf(t.frame.get(), c1));
        RealInput::click(t->webtree->viewport(), t->webtree->visualItemRect(node).center());
        CHECK_WINDOWS(t, c1, "a second node click");
        a->subWindow()->close();
        QTRY_VERIFY(!t->forms().contains(c1));
        CHECK_WINDOWS(t, b, "the opener's close");
    }

    // The header at any width: its caption whole, the progress bar beside it and not under its
    // button (again at 200 % by the test command: QT_SCALE_FACTOR=2). Then pages typed in and
    // loaded one after another: once each has loaded, the bar shows where the page ended.
    void sideBarCaptionAndProgress()
    {
        TestFrame t;
        t.showOnScreen(QString());
        QCOMPARE(t->devicePixelRatioF(), qEnvironmentVariable("QT_SCALE_FACTOR", "1").toDouble());
        t->mybar_Click();
        SideBar *bar = t->Picture3;
        for (double width : { 2970.0, 1000.0, 1800.0, 6000.0 }) {
            bar->setWidth(width);
            RealInput::settle(300);
            const QRect caption = bar->Label3->geometry(), progress = bar->pbar->geometry();
            const int text = bar->Label3->fontMetrics().horizontalAdvance(bar->Label3->text());
            const QByteArray at = QByteArray::number(width) + " twips wide";
            QVERIFY2(caption.width() >= text, at.constData());
            QVERIFY2(!bar->pbar->isVisible() || progress.width() == 0
                    || progress.left() > caption.left() + text,
                (at + ": the bar covers the caption").constData());
            QVERIFY2(progress.width() == 0 || progress.right() < bar->Toolbar1->geometry().left(),
                (at + ": the bar runs under the button").constData());
        }
        QVERIFY(bar->pbar->width() > 50); // room enough at the widest
        Form1 *w = VERIFIED(t.openPage(url("/a")));
        RealInput::settle();
        for (int i = 0; i < 6; ++i) {
            const QString address = url(i % 2 ? "/a" : "/opener") + "?" + QString::number(i);
            RealInput::click(w->cmbadress->lineEdit());
            w->cmbadress->lineEdit()->selectAll();
            RealInput::type(address);
            // The box shows the typed address and the status the last "Done" before
            // this load has even started: wait for the load's own end.
            QSignalSpy complete(w->wb, &WebBrowser::DocumentComplete);
            RealInput::key("Return");
            QTRY_VERIFY_WITH_TIMEOUT(!complete.isEmpty(), 30000);
            QCOMPARE(w->cmbadress->currentText() + w->Stbar1Panel1->text(), address + "Done");
            RealInput::settle(300);
            QCOMPARE(QString::number(bar->pbar->value()) + " of "
                    + QString::number(bar->pbar->maximum()), QStringLiteral("100 of 100"));
        }
    }

    // Only the last address of a start loads at once, the others when first seen. A second
    // start hands its addresses to the copy running and ends; what else arrives on the socket
    // harms nothing. Killed, the program started again asks (answered with Enter) before it
    // opens anything. A copy that is stopped is not waited on.
    void runningCopyTakesOverAndKilledOneGivesBack()
    {
        RealProgram program;
        QProcess first, second, third;
        const auto stopAll = qScopeGuard([&] {
            ::kill(pid_t(second.processId()), SIGCONT);
            for (QProcess *p : { &first, &second, &third })
                p->kill(), p->waitForFinished(10000);
        });
        const auto lazy = [this](const char *path) { return url(path) + " | tab @ " + url(path); };
        const int hitsOne = m_server.hits("/one"), hitsB = m_server.hits("/b");
        QVERIFY2(program.start(first, { url("/one"), url("/a") }), "the program did not start");
        QTRY_COMPARE_WITH_TIMEOUT(journalled(program.journal),
            QStringList({ lazy("/one"), "* A | tab @ " + url("/a") }), 30000);
        QLocalSocket garbage, huge, slow;
        for (QLocalSocket *s : { &garbage, &huge, &slow }) {
            s->connectToServer(program.socket);
            QVERIFY2(s->waitForConnected(5000), qPrintable(program.socket));
        }
        garbage.write(QByteArray("\0\xff junk\n\n", 10));
        huge.write("orvane open 1\n" + QByteArray(4 << 20, 'a'));
        slow.write("orvane open 1\n");
        for (QLocalSocket *s : { &garbage, &huge, &slow })
            s->flush();
        const QStringList before { lazy("/one"), "A | tab @ " + url("/a"), lazy("/b"),
            "* C | tab @ " + url("/c") };
        for (const QStringList &addresses : { QStringList { url("/b"), url("/c") }, {} }) {
            QVERIFY(program.start(second, addresses));
            QVERIFY(second.waitForFinished(10000));
            QCOMPARE(second.exitStatus() == QProcess::NormalExit ? second.exitCode() : -1, 0);
            QTRY_COMPARE_WITH_TIMEOUT(journalled(program.journal), before, 30000);
        }
        QCOMPARE(m_server.hits("/one"), hitsOne);
        QCOMPARE(m_server.hits("/b"), hitsB);
        first.kill(); // SIGKILL: nothing of the program runs any more
        QVERIFY(first.waitForFinished(10000));
        const int hitsC = m_server.hits(QStringLiteral("/c"));
        QVERIFY(program.start(second, { url("/c") }));
        // The question is up beside the frame, both named Orvane, before any window opens.
        const auto named = [] {
            QProcess list;
            list.start("xwininfo", { "-root", "-tree" });
            list.waitForFinished(10000); // a listing that races a closing window tries again
            return QString::fromLocal8Bit(list.readAllStandardOutput()).count("\"Orvane\": (");
        };
        QTRY_VERIFY_WITH_TIMEOUT(named() >= 2, 30000);
        RealInput::settle(500);
        QCOMPARE(m_server.hits(QStringLiteral("/c")), hitsC); // not before the answer
        RealInput::key("Return"); // Yes
        const QStringList after = before.mid(0, 3) + QStringList { before[3].mid(2), before[3] };
        QTRY_COMPARE_WITH_TIMEOUT(journalled(program.journal), after, 30000);
        QVERIFY(::kill(pid_t(second.processId()), SIGSTOP) == 0);
        QVERIFY(program.start(third, { url("/b") }, QProcess::ForwardedOutputChannel));
        QVERIFY2(!third.waitForFinished(6000), "a start beside a stopped copy ended");
        const QByteArray said = third.readAllStandardError();
        QVERIFY2(said.contains("does not answer"), said.constData());
    }

    // A page that would keep the user asks "leave this page?", once the user has touched
    // it (the engine's rule), however it is left: Stay keeps it with what was typed and
    // stops what would close more; Leave goes on; a page that cannot answer goes anyway.
    void leavingAskedOnlyAfterTheUserTouchedThePage_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("touched");
        QTest::addColumn<bool>("leave");
        QTest::newRow("navigate, untouched") << "navigate" << false << true;
        for (QString how : { "navigate", "Ctrl+W", "close box", "cascade", "exit", "frame close" })
            for (bool leave : { false, true })
                QTest::addRow("%s, %s", qPrintable(how), leave ? "Leave" : "Stay")
                    << how << true << leave;
        QTest::newRow("Ctrl+W, the page hangs") << "hung" << true << true;
    }
    void leavingAskedOnlyAfterTheUserTouchedThePage()
    {
        QFETCH(QString, how);
        QFETCH(bool, touched);
        QFETCH(bool, leave);
        TestFrame t;
        t.engine->timings().leaveAnswerMs = 1500;
        Form1 *opener = VERIFIED(t.showOnScreen(url("/a")));
        QPointer<Form1> w = t->openWindow(NewWindow { url("/leave") }, opener), keptOpener(opener);
        QVERIFY(w && waitForComplete(w));
        RealInput::settle(500);
        t.prompter.onPageDialog = [&](PageDialog *) { return leave; };
        t.prompter.answers = { MsgBox::Yes }; // " Quit from Orvane?"
        if (touched) {
            RealInput::click(viewOf(w), QPoint(50, 50));
            RealInput::type(how == "hung" ? "hang" : "typed");
            RealInput::settle(300);
        }
        if (how == "navigate")
            go(w, url("/b"));
        else if (how == "Ctrl+W" || how == "hung")
            RealInput::chord({ "Control_L", "w" });
        else if (how == "close box")
            QVERIFY2(clickWindowButton(t.frame.get(), true), "no window buttons in the menu bar");
        else if (how == "cascade")
            opener->subWindow()->close();
        else if (how == "exit")
            t->exit_Click();
        else
            t->close();
        RealInput::settle(2000);
        QCOMPARE(t.prompter.pageDialogs.size(), touched && how != "hung" ? 1 : 0);
        if (!t.prompter.pageDialogs.isEmpty())
            QCOMPARE(int(t.prompter.pageDialogs.first().kind), int(PageDialog::Leave));
        if (how == "navigate")
            QTRY_COMPARE_WITH_TIMEOUT(w->wb->LocationURL(), url(leave ? "/b" : "/leave"), 10000);
        // Quitting closes no window of its own; the frame's close box unloads them first.
        const bool goes = leave && how != "navigate" && how != "exit";
        QTRY_COMPARE_WITH_TIMEOUT(w.isNull(), goes, 10000);
        QCOMPARE(keptOpener.isNull(), goes && (how == "cascade" || how == "frame close"));
        QCOMPARE(t.quits, leave && (how == "exit" || how == "frame close") ? 1 : 0);
        if (!leave)
            QVERIFY(waitForScript(w, "document.querySelector('input').value == 'typed'"));
    }

    // Behind the front window a page is hidden and draws nothing; its tab brings it back in
    // sight at once, without a reload; side by side, both are in sight.
    void hiddenBehindTheFront()
    {
        TestFrame t;
        Form1 *back = VERIFIED(t.showOnScreen(url("/anim")));
        QVERIFY(framesDrawn(back) > 5);
        Form1 *front = VERIFIED(t.openPage(url("/still")));
        RealInput::settle();
        QCOMPARE(evaluate(back, "document.visibilityState").toString(), "hidden");
        QCOMPARE(framesDrawn(back), 0);
        QVERIFY2(!viewOf(back)->isVisible(), "a covered view is still drawn with the frame");
        QCOMPARE(evaluate(front, "document.visibilityState").toString(), "visible");
        const int loads = m_server.hits("/anim");
        RealInput::click(t->mytab, t->mytab->tabRect(0).center());
        QTRY_COMPARE(t->activeChild(), back);
        QTRY_COMPARE(evaluate(back, "document.visibilityState").toString(), "visible");
        QVERIFY(framesDrawn(back) > 5);
        QCOMPARE(evaluate(front, "document.visibilityState").toString(), "hidden");
        QCOMPARE(m_server.hits("/anim"), loads);
        t->mdiArea()->tileSubWindows();
        RealInput::settle();
        for (Form1 *w : { back, front })
            QVERIFY2(evaluate(w, "document.visibilityState").toString() == "visible",
                     qPrintable(w->Caption()));
        // Minimised, a window is out of sight too.
        back->subWindow()->showMinimized();
        QTRY_COMPARE(evaluate(back, "document.visibilityState").toString(), "hidden");
    }

    // Out of sight for a while, a page sleeps unless something the user started is under
    // way in it; shown again it wakes as it was, nothing fetched anew.
    void asleepAfterAWhile_data()
    {
        QTest::addColumn<QString>("meanwhile"); // what the window behind does
        QTest::newRow("nothing") << "";
        QTest::newRow("a download") << "location = '/endless.bin'";
        QTest::newRow("a question") << "alert('Still there?')";
        QTest::newRow("a window it opened, closed") << "window.open('/still')";
    }
    void asleepAfterAWhile()
    {
        QFETCH(QString, meanwhile);
        TestFrame t;
        t.engine->timings().hiddenSleepMs = 300;
        t.prompter.saves = { t.homeDir() + "/endless.bin" };
        t.prompter.defaultAnswer = MsgBox::Yes; // its window may open
        bool awakeWhileAsked = false;
        Form1 *back = nullptr;
        t.prompter.onPageDialog = [&](PageDialog *) {
            t.openPage(url("/still")); // the user turns to another window meanwhile
            QTest::qWait(1500); // the question stays open past the delay
            awakeWhileAsked = stateOf(back) == Lifecycle::Active;
            return true;
        };
        back = VERIFIED(t.showOnScreen(url("/anim")));
        QVERIFY(evaluate(back, "document.title = 'Kept'; true").toBool());
        const int loads = m_server.hits("/anim");
        if (!meanwhile.isEmpty())
            pageOf(back)->runJavaScript(meanwhile);
        if (meanwhile.contains("endless"))
            QTRY_VERIFY_WITH_TIMEOUT(t.engine->profile()
                    && !t.engine->profile()->downloads()->jobs().isEmpty(), 10000);
        if (meanwhile.contains("alert")) { // asleep once it has been answered
            QTRY_COMPARE_WITH_TIMEOUT(t.prompter.pageDialogs.size(), 1, 10000);
            QVERIFY2(awakeWhileAsked, "asleep while its question was open");
        } else {
            if (meanwhile.contains("open"))
                QTRY_COMPARE_WITH_TIMEOUT(t->forms().size(), 2, 10000);
            QVERIFY(t.openPage(url("/still")));
        }
        if (meanwhile.contains("open")) { // linked by script, awake until its partner goes
            QTest::qWait(1000);
            QCOMPARE(stateOf(back), Lifecycle::Active);
            t->forms().at(1)->subWindow()->close();
        }
        const bool sleeps = !meanwhile.contains("endless");
        QTRY_COMPARE_WITH_TIMEOUT(stateOf(back) == Lifecycle::Frozen, sleeps, 5000);
        QTest::qWait(1000);
        QCOMPARE(stateOf(back) == Lifecycle::Frozen, sleeps);
        back->Show();
        QTRY_COMPARE(stateOf(back), Lifecycle::Active);
        QCOMPARE(evaluate(back, "document.title").toString(), "Kept");
        QVERIFY(framesDrawn(back) > 5);
        QCOMPARE(m_server.hits("/anim"), loads);
    }

    // With room for one window out of sight, the one out of sight longest is put away; shown,
    // it loads again with its Back/Forward list. Windows linked by script stay live.
    void putAwayBeyondTheBudget()
    {
        TestFrame t;
        t.engine->timings().liveOutOfSight = 1;
        t.prompter.defaultAnswer = MsgBox::Yes;
        Form1 *first = VERIFIED(t.showOnScreen(url("/one")));
        QVERIFY(load(first, url("/two")));
        QVERIFY(waitForScript(first, "window.mark = 'live'; true"));
        QVERIFY(t.openPage(url("/three")));
        QVERIFY(t.openPage(url("/still")));
        QTRY_COMPARE(stateOf(first), Lifecycle::Discarded);
        QVERIFY(stateOf(lastWindow(t.frame.get())) == Lifecycle::Active);
        first->Show();
        QTRY_COMPARE(stateOf(first), Lifecycle::Active);
        QVERIFY(waitForScript(first, "document.title == 'two' && typeof mark == 'undefined'"));
        QCOMPARE(first->Caption(), "two");
        first->Toolbar1_ButtonClick(1); // Back
        QTRY_COMPARE(first->Caption(), "one");
        // An opener and the window its script opened: the engine keeps both live.
        t.engine->timings().liveOutOfSight = 0;
        Form1 *opener = VERIFIED(t.openPage(url("/opener")));
        pageOf(opener)->runJavaScript("var child = window.open('/one')");
        QTRY_COMPARE_WITH_TIMEOUT(t->forms().size(), 5, 10000);
        Form1 *child = lastWindow(t.frame.get());
        QVERIFY(waitForScript(child, "document.readyState == 'complete'"));
        // A page the user clicked in may ask before it is left: frozen at most.
        Form1 *touched = VERIFIED(t.openPage(url("/leave")));
        RealInput::settle(300);
        RealInput::click(viewOf(touched));
        QVERIFY(t.openPage(url("/still")));
        QTest::qWait(1000);
        for (Form1 *w : { opener, child, touched })
            QVERIFY2(stateOf(w) != Lifecycle::Discarded, qPrintable(w->Caption()));
        QTRY_COMPARE(stateOf(first), Lifecycle::Discarded);
        QTRY_COMPARE(stateOf(touched), Lifecycle::Frozen);
        child->subWindow()->close(); // their link gone, the opener goes like any other
        QTRY_COMPARE(stateOf(opener), Lifecycle::Discarded);
    }

    // Put away when its site has gone: shown, it says the engine's error and keeps its
    // Back/Forward list. Closed put away, it takes what it opened along.
    void putAwayWhileItsSiteGoes()
    {
        TestFrame t;
        t.engine->timings().liveOutOfSight = 0;
        t.engine->timings().leaveAnswerMs = 60000; // a page asked before it goes holds it
        t.prompter.defaultAnswer = MsgBox::Yes;
        Form1 *w = VERIFIED(t.showOnScreen(url("/one")));
        QString gone;
        QPointer<Form1> child;
        {
            TestServer site;
            site.page("/gone", "<title>Gone</title>");
            gone = site.url("/gone");
            QVERIFY(load(w, gone));
            pageOf(w)->runJavaScript("window.open('" + url("/two") + "', '', 'noopener')");
            QTRY_COMPARE_WITH_TIMEOUT(t->forms().size(), 2, 10000);
            child = lastWindow(t.frame.get());
            QVERIFY(t.openPage(url("/still")));
            QTRY_COMPARE(stateOf(w), Lifecycle::Discarded);
        }
        bool failed = false;
        connect(pageOf(w), &QWebEnginePage::loadFinished, w, [&](bool ok) { failed |= !ok; });
        w->Show();
        QTRY_VERIFY_WITH_TIMEOUT(failed, 20000);
        QCOMPARE(w->wb->LocationURL(), gone);
        QCOMPARE(pageOf(w)->history()->count(), 2);
        QVERIFY2(child && child != w, "the window the page opened is missing");
        t->forms().last()->Show(); // the one in front: the other two out of sight again
        QTRY_COMPARE(stateOf(w), Lifecycle::Discarded);
        QTRY_COMPARE(stateOf(child), Lifecycle::Discarded);
        // Nothing is loaded again, or asked, to be closed.
        const int loads = m_server.hits("/two");
        const QPointer<Form1> away(w);
        w->subWindow()->close();
        QTRY_VERIFY(!away && !child);
        QCOMPARE(t->forms().size(), 1);
        QTest::qWait(500);
        QCOMPARE(m_server.hits("/two"), loads);
    }

    // After a crash, Yes reopens every window, but only the one in front loads its page;
    // each of the others loads when first seen.
    void reopenedLoadWhenSeen()
    {
        TestFrame t(false);
        Journal left;
        left.windows = { { 3, 0, true, url("/one"), "one", {} },
                         { 4, 3, false, url("/two"), "two", {} },
                         { 5, 0, true, url("/three"), "three", {} } };
        for (int id = 6; id < 26; ++id) // more behind it, made while the user types
            left.windows.append({ id, 0, true, url("/a"), "A", {} });
        left.front = 2;
        writeFile(t.stateDir() + "/windows.json", EncodeJournal(left));
        QMap<QString, int> before;
        for (const QString path : { "/one", "/two", "/three" })
            before[path] = m_server.hits(path);
        t.create();
        t.engine->timings().reopenOthersMs = 60000; // the front page first
        t.showOnScreen(QString());
        t.prompter.defaultAnswer = MsgBox::Yes;
        t->offerRestore();
        QCOMPARE(t->forms().size(), 1);
        auto *front = qobject_cast<Form1 *>(t->forms().at(0));
        bool complete = false;
        connect(front->wb, &WebBrowser::DocumentComplete, this, [&] { complete = true; });
        QTRY_VERIFY_WITH_TIMEOUT(complete, 30000);
        // What the user types into the window in front while the others come stays there.
        QLineEdit *edit = front->cmbadress->lineEdit();
        RealInput::click(edit);
        edit->selectAll();
        QVERIFY2(t->forms().size() < 23, "the windows behind all came before the typing");
        RealInput::type("typed");
        QTRY_COMPARE_WITH_TIMEOUT(t->forms().size(), 23, 30000);
        RealInput::settle();
        QCOMPARE(t->activeChild(), front);
        QCOMPARE(front->cmbadress->currentText(), "typed");
        for (ChildForm *f : t->forms()) { // behind it, not even a blank page is shown
            Form1 *w = VERIFIED(qobject_cast<Form1 *>(f));
            QVERIFY2(w == front || !pageOf(w)->isVisible(), qPrintable(w->Caption()));
        }
        QCOMPARE(m_server.hits("/one"), before["/one"]);
        QCOMPARE(m_server.hits("/two"), before["/two"]);
        auto *two = qobject_cast<Form1 *>(t->forms().at(2));
        QVERIFY(two && two->Caption() == "two");
        two->Show();
        QTRY_COMPARE(m_server.hits("/two"), before["/two"] + 1);
        QCOMPARE(m_server.hits("/one"), before["/one"]);
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
            QTest::addRow("page, %s", name) << "page" << keys << effect;
            if (fromAddress)
                QTest::addRow("address, %s", name) << "address" << keys << effect;
        }
    }
    void keys()
    {
        QFETCH(QString, where);
        QFETCH(QStringList, keys);
        QFETCH(QString, effect);
        TestFrame t;
        Form1 *w = VERIFIED(t.showOnScreen(url("/b")));
        if (effect == "back" || effect == "forward") // somewhere to go: /b, /a, back to /b
            QVERIFY(load(w, url("/a")));
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
            const char *to = effect == "back" ? "/b" : "/a";
            QTRY_COMPARE_WITH_TIMEOUT(w->wb->LocationURL(), url(to), 10000);
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
            QTRY_VERIFY(w->findChild<QWidget *>("findBar")); // made when first asked for
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
        const bool asks = effect.contains(QRegularExpression("^(print|save)"));
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
        Form1 *w = VERIFIED(t.showOnScreen(url("/loop")));
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
        QTest::addColumn<QString>("script"); // the page's, for the rest
        QTest::newRow("Esc") << "Esc" << "";
        QTest::newRow("the page's own exit") << "page" << "document.exitFullscreen()";
        QTest::newRow("its window closed") << "close" << "";
        QTest::newRow("a question for the user")
            << "question" << "Notification.requestPermission()";
        QTest::newRow("a page's dialog") << "alert" << "setTimeout(() => alert('Hello'))";
        QTest::newRow("a login") << "login" << "fetch('/private')";
        QTest::newRow("a download")
            << "download" << "var a = document.createElement('a'); a.href = '/file.bin';"
                             "a.download = 'file.bin'; document.body.append(a); a.click();";
        QTest::newRow("the program quit") << "quit" << "";
    }
    void fullScreen()
    {
        QFETCH(QString, how);
        QFETCH(QString, script);
        TestFrame t;
        t.prompter.defaultAnswer = MsgBox::Yes;
        Form1 *w = VERIFIED(t.showOnScreen(url("/full")));
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
        t.prompter.onPageDialog = [&](PageDialog *) { return (hidden = fullScreenWindow()), true; };
        if (how == "Esc")
            RealInput::key("Escape"); // the page asks again at once, to no avail
        else if (how == "close")
            w->Unload();
        else if (how == "quit")
            t->close();
        else
            pageOf(w)->runJavaScript(script);
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
        t.engine->timings().hungPageMs = 1; // not even a new window's first load is asked about
        Form1 *w = VERIFIED(t.showOnScreen(m_server.url(page)));
        RealInput::click(viewOf(w), QPoint(20, 20));
        t.prompter.onPageDialog = [](PageDialog *d) { return d->stop = d->offerStop, true; };
        t.prompter.answers = { MsgBox::Yes };
        pageOf(w)->runJavaScript("loop()");
        RealInput::settle(1000);
        QVERIFY2(t.prompter.asked.isEmpty(), qPrintable(t.prompter.box())); // nothing asked yet
        if (ask == "Esc")
            RealInput::key("Escape");
        else if (ask == "Stop")
            RealInput::click(w->Toolbar1->widgetForAction(w->Buttons.at(2)));
        else
            go(w, url("/a"));
        QTRY_COMPARE_WITH_TIMEOUT(t.prompter.asked.size(), 1, 10000);
        QCOMPARE(t.prompter.box(), url("/").chopped(1) + " is not responding. Stop it?|"
                "Not responding|" + QString::number(int(MsgBox::YesNoQuestion)));
        QTRY_VERIFY_WITH_TIMEOUT(
            w->Stbar1Panel1->text().startsWith("The page's renderer was killed"), 10000);
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
        QTest::newRow("a title unsafe for a file")
            << "../a/b: *c?|\"d\"" << "=" << "" << 0 << "_a_b_ _c___d_.url";
        QTest::newRow("a name typed, unsafe") << "My page" << "..\n/etc" << "" << 0 << "__etc.url";
        QTest::newRow("cancelled") << "My page" << "" << "" << 0 << "";
        const QString mine = "My page.url";
        QTest::newRow("existing, No") << "My page" << "=" << mine << int(MsgBox::No) << "";
        QTest::newRow("existing, Yes") << "My page" << "=" << mine << int(MsgBox::Yes) << mine;
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
        Form1 *w = VERIFIED(t.showOnScreen(page));
        const auto json = QJsonDocument(QJsonArray { title }).toJson(QJsonDocument::Compact);
        pageOf(w)->runJavaScript("document.title = " + json.mid(1).chopped(1)); // a JS string
        QTRY_COMPARE(w->Caption(), title);
        if (!typed.isEmpty())
            t.prompter.texts = { typed };
        t.prompter.answers = { MsgBox::Answer(replace) };
        RealInput::click(viewOf(w), QPoint(20, 20));
        RealInput::chord({ "Control_L", "d" });
        QTRY_COMPARE(t.prompter.others,
            QStringList { "ask Add to Favorites: " + SafeShortcutName(title) });
        QCOMPARE(t.prompter.asked.size(), replace ? 1 : 0);
        const QStringList files = QDir(folder).entryList(QDir::Files);
        const QString kept = existing.isEmpty() ? file : existing;
        QCOMPARE(files, kept.isEmpty() ? QStringList() : QStringList { kept });
        if (file.isEmpty())
            return;
        QCOMPARE(w->Stbar1Panel1->text(), "Added to Favorites: " + file.chopped(4));
        // The tree lists it at once and opens it with its own reader.
        QVERIFY(openFavorite(t.frame.get(), file.chopped(4)));
        QCOMPARE(t->forms().size(), 2);
        QVERIFY(waitForComplete(lastWindow(t.frame.get())));
        QCOMPARE(lastWindow(t.frame.get())->wb->LocationURL(), page);
        QVERIFY(readFile(folder + "/" + file)
                    .contains("[InternetShortcut]\r\nURL=" + page.toUtf8() + "\r\n"));
    }

    // Ctrl+Shift+T reopens the windows closed last, a cascade's too, each with its
    // Back/Forward list, under "Open Web's" with a tab, in front.
    void reopenClosedWindows()
    {
        TestFrame t;
        Form1 *opener = VERIFIED(t.showOnScreen(url("/a")));
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
        Form1 *w = VERIFIED(t.showOnScreen(url("/find")));
        const int find = int(Form1::Command::Find) - 1;
        RealInput::click(w->Toolbar1->widgetForAction(w->Buttons.at(find)));
        QTRY_VERIFY(w->findChild<QWidget *>("findBar")); // made when first asked for
        auto *bar = childOf<QWidget>(w, "findBar");
        QLabel *where = childOf<QLabel>(bar, "findWhere");
        QTRY_VERIFY(where && bar->isVisible());
        RealInput::type("apple");
        QTRY_COMPARE(where->text(), "1 of 3");
        const QList<std::pair<QStringList, const char *>> steps {
            { { "Return" }, "2 of 3" }, { { "Return" }, "3 of 3" }, { { "Return" }, "1 of 3" },
            { { "Shift_L", "Return" }, "3 of 3" }, { { "F3" }, "1 of 3" },
            { { "Shift_L", "F3" }, "3 of 3" },
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

    // A page's file input asks through Orvane: first in the home folder, then where it went last.
    void uploadStartsWhereTheLastOneWas()
    {
        TestFrame t;
        Form1 *w = VERIFIED(t.showOnScreen(url("/upload")));
        const QString file = t.homeDir() + "/in/a.txt";
        writeFile(file, "a");
        t.prompter.uploads = { file };
        RealInput::click(viewOf(w), QPoint(50, 50));
        QVERIFY(waitForScript(w, "f.files.length == 1 && f.files[0].name == 'a.txt'"));
        RealInput::click(viewOf(w), QPoint(50, 50));
        QTRY_COMPARE(t.prompter.others,
            (QStringList { "upload " + QDir::homePath(), "upload " + t.homeDir() + "/in" }));
    }
};

ORVANE_TEST_MAIN(tst_display)
#include "tst_display.moc"
