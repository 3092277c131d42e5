// The frame: start-up with its settings file, menus, timers, resizing and shutdown; the
// journal of open windows, written while Orvane runs and offered back after a bad end.
#include "TestFrame.h"
#include "forms/ModuleLoader.h"

namespace {
const QByteArray FocusFile("[New Window]\r\nFocus\r\n");

// The captions as a screen reader reads them, and the letters Alt opens them with.
QStringList captions(QWidget *menu, QString *letters = nullptr)
{
    QStringList list;
    QAccessibleInterface *read = QAccessible::queryAccessibleInterface(menu);
    for (int i = 0; read && i < menu->actions().size(); ++i)
        if (QAction *a = menu->actions().at(i); a->isVisible() && read->child(i)) {
            list << (a->isSeparator() ? QStringLiteral("-") : read->child(i)->text(QAccessible::Name));
            if (letters && !a->isSeparator())
                *letters += QKeySequence::mnemonic(a->text()).toString();
        }
    return list;
}
} // namespace

class tst_frame : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void startUpReadsTheSettingsFile_data();
    void startUpReadsTheSettingsFile();
    void startUpMenusAndBars();
    void closingTheFrameUnloadsWindowsThenAsks();
    // An installed copy: its settings, its modules, its command line.
    void settingsLocation_data();
    void settingsLocation();
    void missingModuleNamesPlacesTried();
    void commandLineOpensEachInItsWindow();
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


void tst_frame::initTestCase()
{
    m_server.page(QStringLiteral("/a"), "<title>A</title>");
    m_server.page(QStringLiteral("/p"), "<title>Named page</title>");
    m_server.page(QStringLiteral("/b"), "<title>B</title>");
    m_server.page(QStringLiteral("/c"), "<title>C &amp; D</title>");
    const QByteArray many = "<script>function many(n){ for (var i = 0; i < n; ++i) window.open('";
    m_server.page(QStringLiteral("/opener"), "<title>Opener</title>" + many + "/child'); }</script>");
    m_server.page(QStringLiteral("/child"), "<title>Child</title>" + many + "/a'); }</script>");
    QVERIFY(m_server.start());
}

void tst_frame::startUpReadsTheSettingsFile_data()
{
    // Line ends, blanks and case: the hostile group's fuzz.
    QTest::addColumn<QByteArray>("bytes"); // "<missing>", "<folder>", ...: such
    QTest::addColumn<bool>("focus");
    QTest::addColumn<int>("error"); // the code in the box, 0 for none
    QTest::newRow("header and Focus") << FocusFile << true << 0;
    QTest::newRow("Background") << QByteArray("[New Window]\r\nBackground\r\n") << false << 0;
    QTest::newRow("empty") << QByteArray() << false << 62;
    QTest::newRow("missing: created for the next start") << QByteArray("<missing>") << false << 0;
    QTest::newRow("a folder in its place") << QByteArray("<folder>") << false << 75;
    QTest::newRow("a pipe in its place") << QByteArray("<pipe>") << false << 75;
    QTest::newRow("program folder unwritable") << QByteArray("<no dir>") << false << 70;
    QTest::newRow("missing, on a full disk") << QByteArray("<full disk>") << false << 75;
}

void tst_frame::startUpReadsTheSettingsFile()
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
    } else if (bytes == "<folder>")
        QVERIFY(QDir().mkpath(path));
    else if (bytes == "<pipe>")
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else if (bytes == "<no dir>") // a path through a plain file, which even root cannot write into
        QVERIFY(QDir().rmdir(t.programDir()) && (writeFile(t.programDir(), "x"), true));
    else if (bytes != "<missing>")
        writeFile(path, bytes);
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

void tst_frame::startUpMenusAndBars()
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
    QCOMPARE(captions(t->file, &letters), (QStringList { "New Window", "-", "Open File", "-", "Exit" }));
    QCOMPARE(captions(t->mnutools, &letters), (QStringList { "View", "-", "Options..", "-", "Refresh" }));
    QCOMPARE(letters, "Alt+FAlt+TAlt+HAlt+NAlt+OAlt+XAlt+VAlt+OAlt+R");
    for (TreeView *tree : { f->webtree, f->TreeFavor })
        QCOMPARE(tree->palette().color(QPalette::Base).name() + tree->palette().color(QPalette::Text).name(),
            QStringLiteral("#d6dff7#396da5"));
    // The side bar toggles; its progress bar follows the active window.
    SideBar *bar = t->Picture3;
    t->mybar->trigger();
    QVERIFY(bar->isVisible() && t->mybar->isChecked());
    bar->Toolbar1->actions().first()->trigger(); // the header button hides it again
    QVERIFY(!bar->isVisible() && !t->mybar->isChecked());
    t->mybar->trigger();
    t->new_Click();
    Form1 *w = lastWindow(t.frame.get());
    QVERIFY2(w, "no browser window is open");
    QVERIFY(waitForComplete(w));
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

void tst_frame::closingTheFrameUnloadsWindowsThenAsks()
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

void tst_frame::settingsLocation_data()
{
    QTest::addColumn<bool>("programWritable");
    QTest::addColumn<QByteArray>("stored"); // already in the user's folder
    QTest::newRow("build tree, user's file ignored") << true << QByteArray("Focus\r\n");
    QTest::newRow("installed, first start") << false << QByteArray();
    QTest::newRow("installed, user's file read") << false << QByteArray("Focus\r\n");
}

void tst_frame::settingsLocation()
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
            QSKIP("root may write into any folder; these rows run again as tst_frame_unprivileged");
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

void tst_frame::missingModuleNamesPlacesTried()
{
    ModuleLoader missing(ModulePlaces(QStringLiteral("/opt/o/bin/"), QStringLiteral("m.so")), "f");
    QVERIFY(!missing.entry());
    QCOMPARE(missing.errorString(), QStringLiteral("/opt/o/lib/orvane/m.so: no such file\n"
                                                   "/opt/o/bin/m.so: no such file"));
}

void tst_frame::commandLineOpensEachInItsWindow()
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

void tst_frame::killedRunIsOfferedBack_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("Yes") << int(MsgBox::Yes);
    QTest::newRow("No") << int(MsgBox::No);
}

// The run ends without a word (its frame just goes, as in a kill); the next asks.
void tst_frame::killedRunIsOfferedBack()
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
    navigated->Show(); // out of sight until now: it loads when first shown
    QTRY_COMPARE_WITH_TIMEOUT(navigated->wb->LocationURL(), url("/c"), 20000);
    for (const char *back : { "/b", "/a" }) {
        navigated->Toolbar1_ButtonClick(1);
        QTRY_COMPARE_WITH_TIMEOUT(navigated->wb->LocationURL(), url(back), 20000);
    }
}

void tst_frame::badJournalsAreIgnored_data()
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
    // A window out of sight keeps its journal's caption until it is first shown.
    const QStringList three { "A | tab @ " + url("/a"), "* A > B @ " + url("/b"),
        "lost | tab @ " + url("/c") };
    const QString shownC = "* C & D | tab @ " + url("/c");
    QTest::newRow("good, a broken history, an opener missing") << whole << three;
    good.front = 3; // one past the last: none, and the last one opened is in front
    QTest::newRow("front past the end")
        << EncodeJournal(good) << QStringList { three.at(0), three.at(1).mid(2), shownC };
    good.windows = { { 5, 0, true, url("/c"), "C", pastEnd } };
    QTest::newRow("history's current entry past its end") << EncodeJournal(good) << QStringList { shownC };
}

void tst_frame::badJournalsAreIgnored()
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

void tst_frame::properEndsLeaveNothing()
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

ORVANE_TEST_MAIN(tst_frame)
#include "tst_frame.moc"
