// The journal of open windows: written while Orvane runs, offered back after a bad end.
#include "TestFrame.h"
#include "frame/WindowJournal.h"

namespace {

QString journalPath(const TestFrame &t) { return t.stateDir() + "/windows.json"; }

Journal readJournal(const TestFrame &t)
{
    Journal journal;
    DecodeJournal(readFile(journalPath(t)), &journal);
    return journal;
}

// Every browser window in tree order: "<opener's caption>/<caption> | <tab> @ <address>".
QStringList windows(MDIForm1 *f)
{
    QStringList all;
    std::function<void(QTreeWidgetItem *)> walk = [&](QTreeWidgetItem *node) {
        for (int i = 0; i < node->childCount(); ++i) {
            QTreeWidgetItem *child = node->child(i);
            auto *w = qobject_cast<Form1 *>(f->findForm(WindowHandleFromKey(TreeView::Key(child))));
            const QString parent = child->parent() ? child->parent()->text(0) : "top";
            if (w)
                all.append(parent + "/" + listing(f, w).section('/', 1) + " @ " + w->wb->LocationURL());
            walk(child);
        }
    };
    walk(f->webtree->invisibleRootItem());
    return all;
}

} // namespace

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
    TestServer m_server;
};

void tst_journal::initTestCase()
{
    m_server.page(QStringLiteral("/a"), "<title>A</title>");
    m_server.page(QStringLiteral("/b"), "<title>B</title>");
    m_server.page(QStringLiteral("/c"), "<title>C &amp; D</title>");
    m_server.page(QStringLiteral("/opener"), "<title>Opener</title><script>"
        "function many(n){ for (var i = 0; i < n; ++i) window.open('/child'); }</script>");
    m_server.page(QStringLiteral("/child"), "<title>Child</title><script>"
        "function many(n){ for (var i = 0; i < n; ++i) window.open('/a'); }</script>");
    QVERIFY(m_server.start());
}

void tst_journal::killedRunIsOfferedBack_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("Yes") << 6;
    QTest::newRow("No") << 7;
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
    Form1 *opener = lastWindow(t.frame.get());
    QVERIFY(waitForScript(opener, "typeof many == 'function'"));
    pageOf(opener)->runJavaScript("many(1)");
    QTRY_COMPARE_WITH_TIMEOUT(t->forms().size(), 3, 20000);
    Form1 *child = lastWindow(t.frame.get());
    QVERIFY(waitForScript(child, "typeof many == 'function'"));
    pageOf(child)->runJavaScript("many(1)");
    QTRY_COMPARE_WITH_TIMEOUT(t->forms().size(), 4, 20000);
    Form1 *grandchild = lastWindow(t.frame.get());
    QTRY_COMPARE_WITH_TIMEOUT(grandchild->Caption(), "A", 20000);
    t->SwitchToWindow(WindowKeyFor(child->hWnd())); // in front
    const QStringList before = windows(t.frame.get());
    QCOMPARE(before.size(), 4);
    // Written by itself, shortly after the last change.
    QTRY_COMPARE_WITH_TIMEOUT(readJournal(t).windows.size(), 4, 5000);
    QTRY_COMPARE_WITH_TIMEOUT(readJournal(t).front, 2, 5000);
    t.create(); // the next start: same folders
    t.prompter.answers = { MsgBox::Answer(answer) };
    t.prompter.asked.clear();
    // Until the user has chosen, the file stays as the bad end left it.
    qsizetype leftWhileAsked = -1;
    t.prompter.whileOpen = [&](const auto &) {
        QTest::qWait(1500);
        t->journal()->flush();
        leftWhileAsked = readJournal(t).windows.size();
    };
    t->offerRestore();
    QCOMPARE(leftWhileAsked, 4);
    QCOMPARE(t.prompter.box(), "Orvane did not end properly.\r\nIt can reopen the 4 windows that "
                               "were open.\r\nReopen them?|Orvane|36");
    if (answer == 7) {
        QCOMPARE(t->forms().size(), 0);
        QVERIFY(!QFile::exists(journalPath(t)));
        return;
    }
    // The same windows, nodes, tabs and captions at once; the same front window.
    QCOMPARE(t->forms().size(), 4);
    QCOMPARE(t->mytab->Caption(1) + "|" + t->mytab->Caption(2), "C & D|Opener");
    auto *front = qobject_cast<Form1 *>(t->activeChild());
    QVERIFY2(front && front->Caption() == "Child", "another window is in front");
    QTRY_COMPARE_WITH_TIMEOUT(windows(t.frame.get()), before, 30000);
    // Back goes where it went before.
    auto *navigated = qobject_cast<Form1 *>(t->findForm(WindowHandleFromKey(t->mytab->Key(1))));
    QVERIFY2(navigated, "the navigated window is missing");
    navigated->Toolbar1_ButtonClick(1);
    QTRY_COMPARE_WITH_TIMEOUT(navigated->wb->LocationURL(), url("/b"), 20000);
    navigated->Toolbar1_ButtonClick(1);
    QTRY_COMPARE_WITH_TIMEOUT(navigated->wb->LocationURL(), url("/a"), 20000);
}

void tst_journal::badJournalsAreIgnored_data()
{
    // A history whose counts the engine would believe: a list of -1 entries.
    QByteArray lying;
    QDataStream(&lying, QIODevice::WriteOnly) << qint32(4) << qint32(-1) << qint32(0);
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
    QTest::newRow("good, a broken history, an opener missing")
        << whole
        << QStringList { "Open Web's/A | A @ " + url("/a"), "A/B | - @ " + url("/b"),
               "Open Web's/C & D | C & D @ " + url("/c") };
}

void tst_journal::badJournalsAreIgnored()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, restored);
    TestFrame t(false);
    writeFile(journalPath(t), content);
    t.create(); // the start that finds it
    t.prompter.defaultAnswer = MsgBox::Yes;
    t->offerRestore();
    QCOMPARE(t.prompter.asked.size(), restored.isEmpty() ? 0 : 1);
    QTRY_COMPARE_WITH_TIMEOUT(windows(t.frame.get()), restored, 30000);
    if (!restored.isEmpty())
        QCOMPARE(t->activeChild()->Caption(), "B");
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
