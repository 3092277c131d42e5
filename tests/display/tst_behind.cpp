// Windows the user cannot see cost nothing: hidden to their pages, asleep after a while.
#include "TestFrame.h"
#include "browser/webengine/DownloadManager.h"
#include "browser/webengine/WebEngineProfile.h"

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

private:
    QString url(const char *path) const { return m_server.url(QLatin1String(path)); }
    TestServer m_server;
};

void tst_behind::initTestCase()
{
    m_server.page("/anim", "<title>Anim</title><script>var frames = 0;"
                           "(function draw() { ++frames; requestAnimationFrame(draw); })();</script>");
    m_server.page("/still", "<title>Still</title><p>Nothing moves here.");
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

ORVANE_TEST_MAIN(tst_behind)
#include "tst_behind.moc"
