// The frame: start-up with its settings file, menus, timers, resizing and shutdown.
#include "TestFrame.h"
#include "forms/ModuleLoader.h"

namespace {
const QByteArray FocusFile("[New Window]\r\nFocus\r\n");

QStringList captions(QWidget *menu)
{
    QStringList list;
    for (QAction *a : menu->actions())
        if (a->isVisible())
            list << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return list;
}
} // namespace

class tst_frame : public QObject
{
    Q_OBJECT
private slots:
    void startUpReadsTheSettingsFile_data();
    void startUpReadsTheSettingsFile();
    void settingsFileIsReplacedWhole();
    void startUpMenusAndBars();
    void closingTheFrameUnloadsWindowsThenAsks();
    // An installed copy: its settings, its modules, its command line.
    void settingsLocation_data();
    void settingsLocation();
    void missingModuleNamesPlacesTried();
    void commandLineOpensEachInItsWindow();
};

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

void tst_frame::settingsFileIsReplacedWhole()
{
    QTemporaryDir dir;
    const QString path = SettingsFilePath(dir.path());
    QVERIFY(WriteSettingsFile(path, NewWindowMode::Background).ok);
    // Renamed over the old file, never written into: a reader of the old one reads it whole.
    QFile held(path);
    QVERIFY(held.open(QIODevice::ReadOnly));
    QVERIFY(WriteSettingsFile(path, NewWindowMode::Focus).ok);
    QCOMPARE(held.readAll(), QByteArray("[New Window]\r\nBackground\r\n"));
    QCOMPARE(readFile(path), FocusFile);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 1); // no temporary left behind
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
    QCOMPARE(captions(t->menuBar()), (QStringList { "File", "Tools", "Help" }));
    QCOMPARE(captions(t->file), (QStringList { "New Window", "-", "Open File", "-", "Exit" }));
    QCOMPARE(captions(t->mnutools), (QStringList { "View", "-", "Options..", "-", "Refresh" }));
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
    TestServer server;
    server.page(QStringLiteral("/p"), "<title>Named page</title>");
    QVERIFY(server.start());
    TestFrame t;
    const QString page = t.homeDir() + "/a.htm";
    writeFile(page, "<p>file</p>");
    const QString address = server.url(QStringLiteral("/p"));
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

ORVANE_TEST_MAIN(tst_frame)
#include "tst_frame.moc"
