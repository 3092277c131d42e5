// A page's requests for new windows, and closing windows with what they opened.
#include "BrowserTestUtil.h"
#include "TestFrame.h"
#include "TestServer.h"
#include "browser/webengine/WebEngineBrowser.h"
#include "forms/MessageBoxPrompter.h"
#include "forms/SettingsFile.h"
#include "forms/TabStrip.h"
#include "forms/TreeView.h"
#include "forms/WindowKey.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QWebEnginePage>
#include <QtTest>

namespace {

void runScript(Form1 *w, const QString &script)
{
    static_cast<WebEngineBrowser *>(w->wb)->page()->runJavaScript(script);
}

QTreeWidgetItem *nodeOf(MDIForm1 *f, ChildForm *w)
{
    return f->webtree->FindKey(WindowKeyFor(w->hWnd()));
}

} // namespace

class tst_newwindows : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void noRefusesAndLeavesNothing();
    void yesOpensUnderTheOpener_data();
    void yesOpensUnderTheOpener();
    void windowWithoutNodeOpensWithoutNode();
    void realPromptShowsMarkupAsPlainText();
    void closingTheAskerWhileItsWindowOpens_data();
    void closingTheAskerWhileItsWindowOpens();
    void closingCascadesDepthFirst();

private:
    Form1 *openerWindow(TestFrame &t);
    TestServer m_server;
};

void tst_newwindows::initTestCase()
{
    m_server.page(QStringLiteral("/opener"),
                  "<html><head><title>Opener</title></head><body>"
                  "<script>function many(n){ for (var i = 0; i < n; ++i) window.open('/child'); }"
                  "</script></body></html>");
    m_server.page(QStringLiteral("/child"), "<html><head><title>Child</title></head></html>");
    QVERIFY(m_server.start());
}

Form1 *tst_newwindows::openerWindow(TestFrame &t)
{
    t->OpenBrowserWindow(m_server.url(QStringLiteral("/opener")), QStringLiteral("opener"),
                         QStringLiteral("opener"));
    Form1 *w = lastWindow(t.frame.get());
    if (!waitForComplete(w))
        return nullptr;
    (void)QTest::qWaitFor([&] { return w->Caption() == QLatin1String("Opener"); }, 10000);
    return w;
}

void tst_newwindows::noRefusesAndLeavesNothing()
{
    TestFrame t;
    Form1 *w = openerWindow(t);
    QVERIFY(w);
    t.prompter.answers = { 7 };
    w->cmbadress->setEditText(QStringLiteral("typed"));
    runScript(w, QStringLiteral("many(1)"));
    QTRY_COMPARE_WITH_TIMEOUT(t.prompter.asked.size(), 1, 10000);
    const auto asked = t.prompter.asked.first();
    const QString location = m_server.url(QStringLiteral("/opener"));
    QCOMPARE(asked.title, QStringLiteral("Orvane"));
    QCOMPARE(asked.style, 20);
    QCOMPARE(asked.text, QStringLiteral("Orvane 2\r\nNew Window Detect...\r\nUrl:") + location
                     + QStringLiteral("\r\nDo you want to open ?"));
    QTest::qWait(300);
    QCOMPARE(t->forms().size(), 1);
    QCOMPARE(t->mytab->Count(), 1);
    QCOMPARE(t->webtree->Count(), 2);
    QCOMPARE(w->cmbadress->currentText(), location);
}

void tst_newwindows::yesOpensUnderTheOpener_data()
{
    QTest::addColumn<bool>("focus");
    QTest::newRow("with focus") << true;
    QTest::newRow("in background") << false;
}

void tst_newwindows::yesOpensUnderTheOpener()
{
    QFETCH(bool, focus);
    TestFrame t(false);
    QVERIFY(WriteSettingsFile(t.settingsPath(),
                              focus ? NewWindowMode::Focus : NewWindowMode::Background)
                    .ok);
    t->MDIForm_Load();
    Form1 *w = openerWindow(t);
    QVERIFY(w);
    t.prompter.answers = { 6 };
    runScript(w, QStringLiteral("many(1)"));
    QTRY_COMPARE_WITH_TIMEOUT(t->forms().size(), 2, 10000);
    auto *child = qobject_cast<Form1 *>(t->forms().at(1));
    QTreeWidgetItem *node = nodeOf(t.frame.get(), child);
    QVERIFY(node);
    QCOMPARE(node->parent(), nodeOf(t.frame.get(), w));
    QCOMPARE(t->mytab->Count(), 1); // no tab for a window a page opened
    QCOMPARE(t->activeChild(), focus ? static_cast<ChildForm *>(child) : w);
    // The engine loads the requested page there; its title renames the node.
    QTRY_COMPARE_WITH_TIMEOUT(child->wb->LocationURL(), m_server.url(QStringLiteral("/child")),
                              20000);
    QTRY_COMPARE_WITH_TIMEOUT(node->text(0), QStringLiteral("Child"), 20000);
    QCOMPARE(t->webtree->Item(1)->text(0), QStringLiteral("Open Web's"));
    // Its node brings it to the front.
    t->webtree_NodeClick(node);
    QCOMPARE(t->activeChild(), child);
}

void tst_newwindows::windowWithoutNodeOpensWithoutNode()
{
    TestFrame t;
    Form1 *w = openerWindow(t);
    QVERIFY(w);
    t->webtree->RemoveItem(nodeOf(t.frame.get(), w));
    t.prompter.answers = { 6 };
    runScript(w, QStringLiteral("many(1)"));
    QTRY_COMPARE_WITH_TIMEOUT(t->forms().size(), 2, 10000);
    QCOMPARE(t->webtree->Count(), 1);
}

void tst_newwindows::realPromptShowsMarkupAsPlainText()
{
    TestFrame t;
    MessageBoxPrompter real;
    FrameEnv env = t->env();
    env.prompter = &real;
    MDIForm1 frame(env);
    frame.MDIForm_Load();
    const QString address = m_server.url(QStringLiteral("/opener?<b>bold</b><a href=x>link</a>"));
    frame.OpenBrowserWindow(address, QStringLiteral("x"), QStringLiteral("x"));
    Form1 *w = lastWindow(&frame);
    QVERIFY(waitForComplete(w));

    QString shownText;
    Qt::TextFormat format = Qt::AutoText;
    QTimer closer;
    connect(&closer, &QTimer::timeout, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        shownText = box->text();
        format = box->textFormat();
        QCOMPARE(box->windowTitle(), QStringLiteral("Orvane"));
        QCOMPARE(box->icon(), QMessageBox::Critical);
        box->button(QMessageBox::No)->click();
    });
    closer.start(50);
    runScript(w, QStringLiteral("many(1)"));
    QTRY_VERIFY_WITH_TIMEOUT(!shownText.isEmpty(), 20000);
    closer.stop();
    QCOMPARE(format, Qt::PlainText);
    QCOMPARE(shownText, QStringLiteral("Orvane 2\nNew Window Detect...\nUrl:")
                     + w->wb->LocationURL() + QStringLiteral("\nDo you want to open ?"));
    QTest::qWait(200);
    QCOMPARE(frame.forms().size(), 1);
}

void tst_newwindows::closingTheAskerWhileItsWindowOpens_data()
{
    QTest::addColumn<QString>("when");
    QTest::addColumn<QString>("how");
    QTest::newRow("during the prompt, its close box") << "prompt" << "close box";
    QTest::newRow("while the new window shows, its close box") << "shown" << "close box";
    QTest::newRow("while the new window shows, its opener's cascade") << "shown" << "cascade";
    QTest::newRow("while the new window shows, the frame closing") << "shown" << "frame";
}

void tst_newwindows::closingTheAskerWhileItsWindowOpens()
{
    QFETCH(QString, when);
    QFETCH(QString, how);
    TestFrame t;
    Form1 *top = openerWindow(t);
    QVERIFY(top);
    Form1 *w = top;
    if (how == QLatin1String("cascade")) {
        // The asker is itself a window that a page opened.
        t.prompter.answers = { 6 };
        runScript(top, QStringLiteral("window.open('/opener')"));
        QTRY_COMPARE_WITH_TIMEOUT(t->forms().size(), 2, 10000);
        w = lastWindow(t.frame.get());
        QVERIFY(waitForComplete(w));
    }
    QPointer<Form1> asker(w);
    auto close = [&] {
        if (how == QLatin1String("close box"))
            asker->subWindow()->close();
        else if (how == QLatin1String("cascade"))
            top->Unload();
        else
            t->close();
    };
    t.prompter.answers = { 6 };
    bool done = false;
    t.prompter.whileOpen = [&](const RecordingPrompter::Asked &) {
        if (std::exchange(done, true))
            return;
        if (when == QLatin1String("prompt")) {
            close();
            QCoreApplication::processEvents();
        } else {
            // Runs at the first yield after the prompt: the new window's resize.
            QTimer::singleShot(0, t.frame.get(), close);
        }
    };
    const int asked = t.prompter.asked.size();
    runScript(w, QStringLiteral("many(1)"));
    // (Closing the frame asks its quit question too.)
    QTRY_VERIFY_WITH_TIMEOUT(t.prompter.asked.size() > asked, 10000);
    QTRY_VERIFY(asker.isNull() || asker->isUnloaded());
    QTest::qWait(200);
    flushDeletes();
    QTRY_VERIFY(!asker);
    // The window it asked for went with it: nothing is left without node or tab.
    QCOMPARE(t->forms().size(), 0);
    QCOMPARE(t->webtree->Count(), 1);
    QCOMPARE(t->mytab->Count(), 0);
}

void tst_newwindows::closingCascadesDepthFirst()
{
    TestFrame t;
    t->new_Click(); // another window whose tab must stay
    Form1 *other = lastWindow(t.frame.get());
    t->new_Click();
    Form1 *a = lastWindow(t.frame.get());
    t.prompter.defaultAnswer = 6;
    auto openFrom = [&](Form1 *opener) {
        QObject *pp = nullptr;
        bool cancel = false;
        opener->wb_NewWindow2(&pp, &cancel);
        return lastWindow(t.frame.get());
    };
    Form1 *b = openFrom(a);
    Form1 *c = openFrom(a);
    Form1 *d = openFrom(b);
    QCOMPARE(nodeOf(t.frame.get(), d)->parent(), nodeOf(t.frame.get(), b));
    QList<QPointer<Form1>> family{ a, b, c, d };
    // And a long chain below d: the cascade goes all the way down.
    Form1 *deepest = d;
    for (int i = 0; i < 30; ++i)
        family.append(deepest = openFrom(deepest));
    QCOMPARE(t->forms().size(), 5 + 30);
    // A node whose window is gone already goes with its parent's node.
    t->webtree->Add(nodeOf(t.frame.get(), c), TreeView::Child, WindowKeyFor(99999),
                    QStringLiteral("stale"));

    // The order windows go in: each one's descendants, first child first, before it.
    QList<QObject *> closed;
    struct Watch : QObject
    {
        QList<QObject *> *closed;
        bool eventFilter(QObject *o, QEvent *e) override
        {
            if (e->type() == QEvent::Hide)
                closed->append(static_cast<QMdiSubWindow *>(o)->widget());
            return false;
        }
    } watch;
    watch.closed = &closed;
    for (const auto &p : family)
        p->subWindow()->installEventFilter(&watch);
    a->subWindow()->close();
    QCOMPARE(closed.size(), family.size());
    QVERIFY(closed.indexOf(d) < closed.indexOf(b) && closed.indexOf(b) < closed.indexOf(c));
    QCOMPARE(closed.first(), deepest);
    QCOMPARE(closed.last(), a);
    flushDeletes();
    for (const auto &p : family)
        QVERIFY(!p);
    QCOMPARE(t->forms(), QList<ChildForm *>{ other });
    QCOMPARE(t->webtree->Count(), 2);
    QCOMPARE(t->mdiArea()->subWindowList().size(), 1);
    QCOMPARE(t->mytab->Count(), 1);
    QCOMPARE(t->mytab->Key(1), WindowKeyFor(other->hWnd()));
}

ORVANE_TEST_MAIN(tst_newwindows)
#include "tst_newwindows.moc"
