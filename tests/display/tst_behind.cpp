// Windows the user cannot see cost nothing: hidden to their pages, asleep after a while.
#include "TestFrame.h"
#include "browser/webengine/DownloadManager.h"
#include "browser/webengine/WebEngineProfile.h"
#include "frame/WindowJournal.h"

namespace {

// The value of a script on a page that runs; invalid when no answer comes.
QVariant evaluate(Form1 *w, const QString &script)
{
    auto result = std::make_shared<std::optional<QVariant>>();
    pageOf(w)->runJavaScript(script, [result](const QVariant &v) { *result = v; });
    QTest::qWaitFor([&] { return result->has_value(); }, 10000);
    return result->value_or(QVariant());
}

// Animation frames the page draws in half a second.
int framesDrawn(Form1 *w)
{
    const int before = evaluate(w, "frames").toInt();
    QTest::qWait(500);
    return evaluate(w, "frames").toInt() - before;
}

QWebEnginePage::LifecycleState stateOf(Form1 *w)
{
    return pageOf(w)->lifecycleState();
}

} // namespace

class tst_behind : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void hiddenBehindTheFront();
    void asleepAfterAWhile_data();
    void asleepAfterAWhile();
    void putAwayBeyondTheBudget();
    void reopenedLoadWhenSeen();

private:
    QString url(const char *path) const { return m_server.url(QLatin1String(path)); }
    TestServer m_server;
};

void tst_behind::initTestCase()
{
    m_server.page("/anim", "<title>Anim</title><script>var frames = 0;"
                           "(function draw() { ++frames; requestAnimationFrame(draw); })();</script>");
    m_server.page("/still", "<title>Still</title><p>Nothing moves here.");
    for (const char *path : { "/one", "/two", "/three" })
        m_server.page(path, QByteArray("<title>") + (path + 1) + "</title>");
    m_server.page("/opener", "<title>Opener</title>");
    m_server.file("/endless.bin", QByteArray(64 * 1024 * 1024, 'x'), "endless.bin", -1, 200);
    QVERIFY(m_server.start());
}

// Behind the front window a page is hidden and draws nothing; its tab brings it back in
// sight at once, without a reload; side by side, both are in sight.
void tst_behind::hiddenBehindTheFront()
{
    TestFrame t;
    Form1 *back = t.showOnScreen(url("/anim"));
    QVERIFY(back);
    QVERIFY(framesDrawn(back) > 5);
    Form1 *front = t.openPage(url("/still"));
    QVERIFY(front);
    RealInput::settle();
    QCOMPARE(evaluate(back, "document.visibilityState").toString(), "hidden");
    QCOMPARE(framesDrawn(back), 0);
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

void tst_behind::asleepAfterAWhile_data()
{
    QTest::addColumn<QString>("meanwhile"); // what the window behind does
    QTest::newRow("nothing") << "";
    QTest::newRow("a download") << "location = '/endless.bin'";
    QTest::newRow("a question") << "alert('Still there?')";
}

// Out of sight for a while, a page sleeps unless something the user started is under
// way in it; shown again it wakes as it was, nothing fetched anew.
void tst_behind::asleepAfterAWhile()
{
    QFETCH(QString, meanwhile);
    TestFrame t;
    t.engine->timings().hiddenSleepMs = 300;
    t.prompter.saves = { t.homeDir() + "/endless.bin" };
    bool awakeWhileAsked = false;
    Form1 *back = nullptr;
    t.prompter.onPageDialog = [&](PageDialog *) {
        t.openPage(url("/still")); // the user turns to another window meanwhile
        QTest::qWait(1500); // the question stays open past the delay
        awakeWhileAsked = stateOf(back) == QWebEnginePage::LifecycleState::Active;
        return true;
    };
    back = t.showOnScreen(url("/anim"));
    QVERIFY(back);
    QVERIFY(evaluate(back, "document.title = 'Kept'; true").toBool());
    const int loads = m_server.hits("/anim");
    if (!meanwhile.isEmpty())
        pageOf(back)->runJavaScript(meanwhile);
    if (meanwhile.contains("endless"))
        QTRY_VERIFY_WITH_TIMEOUT(t.engine->profile() && !t.engine->profile()->downloads()->jobs().isEmpty(), 10000);
    if (meanwhile.contains("alert")) { // asleep once it has been answered
        QTRY_COMPARE_WITH_TIMEOUT(t.prompter.pageDialogs.size(), 1, 10000);
        QVERIFY2(awakeWhileAsked, "asleep while its question was open");
    } else {
        QVERIFY(t.openPage(url("/still")));
    }
    const bool sleeps = !meanwhile.contains("endless");
    QTRY_COMPARE_WITH_TIMEOUT(stateOf(back) == QWebEnginePage::LifecycleState::Frozen, sleeps, 5000);
    QTest::qWait(1000);
    QCOMPARE(stateOf(back) == QWebEnginePage::LifecycleState::Frozen, sleeps);
    back->Show();
    QTRY_COMPARE(stateOf(back), QWebEnginePage::LifecycleState::Active);
    QCOMPARE(evaluate(back, "document.title").toString(), "Kept");
    QVERIFY(framesDrawn(back) > 5);
    QCOMPARE(m_server.hits("/anim"), loads);
}

// With room for one window out of sight, the one out of sight longest is put away; shown,
// it loads again with its Back/Forward list. Windows linked by script stay live.
void tst_behind::putAwayBeyondTheBudget()
{
    TestFrame t;
    t.engine->timings().liveOutOfSight = 1;
    t.prompter.defaultAnswer = MsgBox::Yes;
    Form1 *first = t.showOnScreen(url("/one"));
    QVERIFY(first);
    go(first, url("/two"));
    QVERIFY(waitForComplete(first));
    QVERIFY(waitForScript(first, "window.mark = 'live'; true"));
    QVERIFY(t.openPage(url("/three")));
    QVERIFY(t.openPage(url("/still")));
    QTRY_COMPARE(stateOf(first), QWebEnginePage::LifecycleState::Discarded);
    QVERIFY(stateOf(lastWindow(t.frame.get())) == QWebEnginePage::LifecycleState::Active);
    first->Show();
    QTRY_COMPARE(stateOf(first), QWebEnginePage::LifecycleState::Active);
    QVERIFY(waitForScript(first, "document.title == 'two' && typeof mark == 'undefined'"));
    QCOMPARE(first->Caption(), "two");
    first->Toolbar1_ButtonClick(1); // Back
    QTRY_COMPARE(first->Caption(), "one");
    // An opener and the window its script opened: the engine keeps both live.
    t.engine->timings().liveOutOfSight = 0;
    Form1 *opener = t.openPage(url("/opener"));
    QVERIFY(opener);
    pageOf(opener)->runJavaScript("var child = window.open('/one')");
    QTRY_COMPARE_WITH_TIMEOUT(t->forms().size(), 5, 10000);
    Form1 *child = lastWindow(t.frame.get());
    QVERIFY(waitForScript(child, "document.readyState == 'complete'"));
    QVERIFY(t.openPage(url("/still")));
    QTest::qWait(1000);
    for (Form1 *w : { opener, child })
        QVERIFY2(stateOf(w) != QWebEnginePage::LifecycleState::Discarded, qPrintable(w->Caption()));
    QTRY_COMPARE(stateOf(first), QWebEnginePage::LifecycleState::Discarded);
}

// After a crash, Yes reopens every window, but only the one in front loads its page;
// each of the others loads when first seen.
void tst_behind::reopenedLoadWhenSeen()
{
    TestFrame t(false);
    Journal left;
    left.windows = { { 3, 0, true, url("/one"), "one", {} }, { 4, 3, false, url("/two"), "two", {} },
                     { 5, 0, true, url("/three"), "three", {} } };
    left.front = 2;
    writeFile(t.stateDir() + "/windows.json", EncodeJournal(left));
    QMap<QString, int> before;
    for (const QString path : { "/one", "/two", "/three" })
        before[path] = m_server.hits(path);
    t.create();
    t.prompter.defaultAnswer = MsgBox::Yes;
    t->offerRestore();
    QTRY_COMPARE_WITH_TIMEOUT(m_server.hits("/three"), before["/three"] + 1, 10000);
    RealInput::settle();
    QCOMPARE(t->forms().size(), 3);
    QCOMPARE(m_server.hits("/one"), before["/one"]);
    QCOMPARE(m_server.hits("/two"), before["/two"]);
    auto *two = qobject_cast<Form1 *>(t->forms().at(1));
    QVERIFY(two && two->Caption() == "two");
    two->Show();
    QTRY_COMPARE(m_server.hits("/two"), before["/two"] + 1);
    QCOMPARE(m_server.hits("/one"), before["/one"]);
}

ORVANE_TEST_MAIN(tst_behind)
#include "tst_behind.moc"
