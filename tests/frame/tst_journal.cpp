// The journal of open windows: written while Orvane runs, offered back after a bad end.
#include "TestFrame.h"

class tst_journal : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void killedRunIsOfferedBack_data();
    void killedRunIsOfferedBack();
    void badJournalsAreIgnored_data();
    void badJournalsAreIgnored();
    void properEndsLeaveNothing();

private:
    QString url(const char *path) const { return m_server.url(QLatin1String(path)); }
    static QString journalPath(const TestFrame &t) { return t.stateDir() + "/windows.json"; }
    TestServer m_server;
};

void tst_journal::initTestCase()
{
    m_server.page(QStringLiteral("/a"), "<title>A</title>");
    m_server.page(QStringLiteral("/b"), "<title>B</title>");
    m_server.page(QStringLiteral("/c"), "<title>C &amp; D</title>");
    const QByteArray many = "<script>function many(n){ for (var i = 0; i < n; ++i) window.open('";
    m_server.page(QStringLiteral("/opener"), "<title>Opener</title>" + many + "/child'); }</script>");
    m_server.page(QStringLiteral("/child"), "<title>Child</title>" + many + "/a'); }</script>");
    QVERIFY(m_server.start());
}

void tst_journal::killedRunIsOfferedBack_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("Yes") << int(MsgBox::Yes);
    QTest::newRow("No") << int(MsgBox::No);
}

// The run ends without a word (its frame just goes, as in a kill); the next asks.
void tst_journal::killedRunIsOfferedBack()
{
    QFETCH(int, answer);
    TestFrame t;
    t->options()->optfocus->setChecked(true);
    t.prompter.defaultAnswer = MsgBox::Yes; // Yes to every window a page asks for
    // From the menu, navigated twice; from the command line; from pages, two deep.
    Form1 *menu = t.openPage(url("/a"));
    QVERIFY2(menu, "no window from the menu");
    for (const char *path : { "/b", "/c" }) {
        go(menu, url(path));
        QVERIFY(waitForComplete(menu));
    }
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
    QCOMPARE(t.prompter.box(), "Orvane did not end properly.\r\nIt can reopen the 4 windows that "
                               "were open.\r\nReopen them?|Orvane|36");
    if (MsgBox::Answer(answer) == MsgBox::No) {
        QVERIFY(t->forms().isEmpty() && !QFile::exists(journalPath(t)));
        return;
    }
    // The same windows, tabs and captions at once; the same tree and front window.
    QCOMPARE(t->forms().size(), 4);
    QCOMPARE(t->mytab->Caption(1) + "|" + t->mytab->Caption(2), "C & D|Opener");
    QTRY_COMPARE_WITH_TIMEOUT(journalled(journalPath(t)), before, 30000);
    // Back goes where it went before.
    auto *navigated = qobject_cast<Form1 *>(t->forms().first());
    QVERIFY2(navigated && navigated->Caption() == "C & D", "the navigated window is missing");
    for (const char *back : { "/b", "/a" }) {
        navigated->Toolbar1_ButtonClick(1);
        QTRY_COMPARE_WITH_TIMEOUT(navigated->wb->LocationURL(), url(back), 20000);
    }
}

void tst_journal::badJournalsAreIgnored_data()
{
    // A history whose counts the engine would believe: a list of -1 entries.
    QByteArray lying;
    QDataStream(&lying, QIODevice::WriteOnly) << qint32(4) << qint32(-1) << qint32(0);
    // A real one, its current entry set one past its end.
    QByteArray pastEnd;
    {
        TestFrame t;
        Form1 *w = t.openPage(url("/a"));
        QVERIFY(w);
        pastEnd = w->wb->saveHistory();
        pastEnd.replace(8, 4, pastEnd.mid(4, 4)); // version, count, current index
    }
    Journal good;
    good.windows = { { 5, 0, true, url("/a"), "A", lying },
        { 9, 5, false, url("/b"), "B", QByteArray() }, { 12, 77, false, url("/c"), "lost", {} } };
    good.front = 1;
    const QByteArray whole = EncodeJournal(good);
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("restored");
    QTest::newRow("empty") << QByteArray() << QStringList();
    QTest::newRow("garbage") << QByteArray("\x89PNG\r\n\x1a\n\0\0", 10) << QStringList();
    QTest::newRow("cut short") << whole.left(whole.size() * 2 / 3) << QStringList();
    QByteArray other = whole;
    QTest::newRow("another version") << other.replace("\"orvane-journal\": 1", "\"orvane-journal\": 2")
                                     << QStringList();
    other = whole;
    QTest::newRow("a window without an id") << other.replace("\"id\": 9", "\"id\": \"x\"") << QStringList();
    QTest::newRow("no windows") << EncodeJournal(Journal()) << QStringList();
    // A history the engine cannot take loads the address; a missing opener: a tab.
    const QStringList three { "A | tab @ " + url("/a"), "* A > B @ " + url("/b"),
        "C & D | tab @ " + url("/c") };
    QTest::newRow("good, a broken history, an opener missing") << whole << three;
    good.front = 3; // one past the last: none, and the last one opened is in front
    QTest::newRow("front past the end")
        << EncodeJournal(good) << QStringList { three.at(0), three.at(1).mid(2), "* " + three.at(2) };
    good.windows = { { 5, 0, true, url("/c"), "C", pastEnd } };
    QTest::newRow("history's current entry past its end")
        << EncodeJournal(good) << QStringList { "* " + three.at(2) };
}

void tst_journal::badJournalsAreIgnored()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, restored);
    TestFrame t(false);
    writeFile(journalPath(t), content);
    t.create(); // the start that finds it
    const Journal &left = t->journal()->leftBehind();
    QVERIFY2(left.front >= -1 && left.front < left.windows.size(), "the front is no window");
    t.prompter.defaultAnswer = MsgBox::Yes;
    t->offerRestore();
    QCOMPARE(t.prompter.asked.size(), restored.isEmpty() ? 0 : 1);
    QCOMPARE(t->forms().size(), restored.size());
    if (!restored.isEmpty())
        QTRY_COMPARE_WITH_TIMEOUT(journalled(journalPath(t)), restored, 30000);
}

void tst_journal::properEndsLeaveNothing()
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

ORVANE_TEST_MAIN(tst_journal)
#include "tst_journal.moc"
