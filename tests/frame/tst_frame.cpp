// The frame: start-up with its settings file, menus, timers, resizing and shutdown.
#include "TestFrame.h"
#include "TestServer.h"
#include "forms/ModuleLoader.h"

namespace {
const QByteArray FocusFile("[New Window]\r\nFocus\r\n");

QStringList captions(QMenu *menu)
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
    // An installed copy: where its settings live, the modules it looks for, what its
    // command line opens.
    void settingsLocation_data();
    void settingsLocation();
    void missingModuleNamesPlacesTried();
    void commandLineOpensEachInItsWindow();
};

void tst_frame::startUpReadsTheSettingsFile_data()
{
    QTest::addColumn<QByteArray>("bytes"); // "<missing>", "<folder>", "<pipe>", "<no dir>": such
    QTest::addColumn<bool>("focus");
    QTest::addColumn<int>("error"); // the code in the box, 0 for none
    QTest::newRow("header and Focus") << FocusFile << true << 0;
    QTest::newRow("Focus alone") << QByteArray("Focus\r\n") << true << 0;
    QTest::newRow("no final line end") << QByteArray("[New Window]\r\nFocus") << true << 0;
    QTest::newRow("LF only") << QByteArray("[New Window]\nFocus\n") << true << 0;
    QTest::newRow("CR only") << QByteArray("[New Window]\rFocus\r") << true << 0;
    QTest::newRow("lines after the second ignored") << FocusFile + "Background\r\n" << true << 0;
    QTest::newRow("Background") << QByteArray("[New Window]\r\nBackground\r\n") << false << 0;
    QTest::newRow("lower case") << QByteArray("[New Window]\r\nfocus\r\n") << false << 0;
    QTest::newRow("leading blank") << QByteArray("[New Window]\r\n Focus\r\n") << false << 0;
    QTest::newRow("trailing blank") << QByteArray("[New Window]\r\nFocus \r\n") << false << 0;
    QTest::newRow("empty second line") << QByteArray("[New Window]\r\n\r\n") << false << 0;
    QTest::newRow("header twice") << "[New Window]\r\n" + FocusFile << false << 0;
    QTest::newRow("empty") << QByteArray() << false << 62;
    QTest::newRow("header only") << QByteArray("[New Window]\r\n") << false << 62;
    QTest::newRow("header without line end") << QByteArray("[New Window]") << false << 62;
    QTest::newRow("missing: created for the next start") << QByteArray("<missing>") << false << 0;
    QTest::newRow("a folder in its place") << QByteArray("<folder>") << false << 75;
    QTest::newRow("a pipe in its place") << QByteArray("<pipe>") << false << 75;
    QTest::newRow("program folder unwritable") << QByteArray("<no dir>") << false << 70;
}

void tst_frame::startUpReadsTheSettingsFile()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, focus);
    QFETCH(int, error);
    TestFrame t(false);
    const QString path = t.settingsPath();
    if (bytes == "<folder>")
        QVERIFY(QDir().mkpath(path));
    else if (bytes == "<pipe>")
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else if (bytes == "<no dir>") // a path through a plain file, which even root cannot write into
        QVERIFY(QDir().rmdir(t.programDir()) && (writeFile(t.programDir(), "x"), true));
    else if (bytes != "<missing>")
        writeFile(path, bytes);
    t->MDIForm_Load();
    QCOMPARE(t->options()->optfocus->isChecked(), focus);
    QCOMPARE(t->options()->optback->isChecked(), !focus);
    QCOMPARE(t->optfocus(), focus);
    // The file is read, never changed; a broken one is reported and start-up goes on.
    if (!bytes.startsWith('<'))
        QCOMPARE(readFile(path), bytes);
    QCOMPARE(t.prompter.asked.size(), error ? 1 : 0);
    QCOMPARE(t->webtree->Count() + t->TreeFavor->Count(), 2);
    if (error) {
        const auto box = t.prompter.asked.first();
        QCOMPARE(box.title, QStringLiteral("Error in Orvane.ini\r\nAborting.."));
        QCOMPARE(box.style, 48);
        QVERIFY2(box.text.startsWith(QString::number(error) + QStringLiteral("\r\n")),
            qPrintable(box.text));
    }
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
    const QString path = SettingsFilePath(dir.path() + QStringLiteral("//"));
    QCOMPARE(path, dir.path() + QStringLiteral("/Orvane.ini"));
    QVERIFY(WriteSettingsFile(path, NewWindowMode::Background).ok);
    // A new file takes the old one's place whole (renamed over it), never written
    // into: a reader holding the old file still reads it complete.
    QFile held(path);
    QVERIFY(held.open(QIODevice::ReadOnly));
    QVERIFY(WriteSettingsFile(path, NewWindowMode::Focus).ok);
    QCOMPARE(held.readAll(), QByteArray("[New Window]\r\nBackground\r\n"));
    QCOMPARE(readFile(path), FocusFile);
    // A failing write leaves the old file whole and says so.
    writeFile(dir.filePath(QStringLiteral("file")), "x");
    const SettingsWrite w
        = WriteSettingsFile(dir.filePath("file/Orvane.ini"), NewWindowMode::Background);
    QVERIFY(!w.ok && w.code == 70);
    QCOMPARE(readFile(path), FocusFile);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2); // no temporary left behind
}

void tst_frame::startUpMenusAndBars()
{
    TestFrame t;
    MDIForm1 *f = t.frame.get();
    t->Timer1_Timer(); // no window: nothing happens
    QVERIFY(f->isMaximized() && !f->Picture3->isVisible());
    QCOMPARE(f->webtree->Count(), 1);
    QCOMPARE(TreeView::Key(f->webtree->Item(1)) + f->webtree->Item(1)->text(0),
        QStringLiteral("OpenWebOpen Web's"));
    QVERIFY(f->webtree->Item(1)->isExpanded());
    QCOMPARE(TreeView::Key(f->TreeFavor->Item(1)) + f->TreeFavor->Item(1)->text(0),
        QStringLiteral("FavoritesFavorites2 (1)"));
    // The tab strip runs along the bottom.
    QVERIFY(f->mytab->mapTo(f, QPoint(0, 0)).y() > f->mdiArea()->mapTo(f, QPoint(0, 0)).y());

    QStringList menus;
    for (QAction *a : t->menuBar()->actions())
        menus << a->text();
    QCOMPARE(menus, (QStringList { "File", "Tools", "Help" }));
    QCOMPARE(captions(t->file), (QStringList { "New Window", "-", "Open File", "-", "Exit" }));
    QCOMPARE(captions(t->mnutools), (QStringList { "View", "-", "Options..", "-", "Refresh" }));
    QCOMPARE(captions(t->view), (QStringList { "Mybar", "-", "MyButtons", "Progress Bar.." }));
    QCOMPARE(captions(t->reneter), QStringList { "Favorites" });
    QCOMPARE(captions(t->help), QStringList { "About" });
    t->butoon->trigger(); // keeps its check mark
    QVERIFY(t->butoon->isChecked());
    // The window list names the open child windows when the menu opens.
    t->new_Click();
    t->new_Click();
    emit t->file->aboutToShow();
    QCOMPARE(captions(t->file).size(), 5 + 1 + 2);
    QVERIFY(captions(t->file).last().endsWith(QLatin1String(" ")));

    // The side bar and progress bar toggle; the progress bar follows the active window.
    SideBar *bar = t->Picture3;
    t->mybar->trigger();
    QVERIFY(bar->isVisible() && t->mybar->isChecked());
    bar->Toolbar1->actions().first()->trigger(); // the header button hides it again
    QVERIFY(!bar->isVisible() && !t->mybar->isChecked());
    t->mybar->trigger();
    t->prog->trigger();
    QVERIFY(!bar->pbar->isVisible() && !t->prog->isChecked());
    t->prog->trigger();
    QVERIFY(bar->pbar->isVisible() && t->prog->isChecked());
    t->new_Click();
    Form1 *w = lastWindow(t.frame.get());
    QVERIFY(waitForComplete(w));
    w->pos = 37;
    w->max = 200;
    t->Timer1_Timer();
    QCOMPARE(bar->pbar->maximum() * 1000 + bar->pbar->value(), 200037);

    t->showNormal();
    t->resize(800, 600);
    QCoreApplication::processEvents();
    t->Timer3_Timer();
    QCOMPARE(bar->pImage3.Height(), bar->Height());
    // Minimised, or too low for the formulas: the old heights stay.
    const double favor = bar->pTreeFavor.Height();
    t->showMinimized();
    t->MDIForm_Resize();
    QCOMPARE(bar->pTreeFavor.Height(), favor);
    t->showNormal();
    t->resize(800, 150);
    QCoreApplication::processEvents();
    QVERIFY(bar->ScaleHeight() < 1770);
    t->Timer3_Timer();
    t->MDIForm_Resize();
    QCOMPARE(bar->pTreeFavor.Height(), favor);
}

void tst_frame::closingTheFrameUnloadsWindowsThenAsks()
{
    TestFrame t;
    for (int i = 0; i < 3; ++i)
        t->new_Click();
    // Exit asks without unloading.
    t.prompter.answers = { 7 };
    t->exit->trigger();
    QCOMPARE(t.quits, 0);
    QCOMPARE(t->forms().size() * 10 + t->mytab->Count(), 33);
    int windowsWhileAsked = -1;
    t.prompter.whileOpen = [&](const auto &) { windowsWhileAsked = t->forms().size(); };
    t.prompter.answers = { 7 };
    QVERIFY(!t->close());
    QCOMPARE(windowsWhileAsked, 0);
    QCOMPARE(t.prompter.asked.size(), 2);
    for (const auto &asked : t.prompter.asked)
        QCOMPARE(asked.text + asked.title + QString::number(asked.style),
            QStringLiteral(" Quit from Orvane?End Program...36"));
    QCOMPARE(t.quits, 0);
    flushDeletes();
    QCOMPARE(t->mytab->Count(), 0);
    QCOMPARE(t->webtree->Count(), 1);
    t.prompter.answers = { 6 };
    t->close();
    QCOMPARE(t.quits, 1);
    t->new_Click();
    t.prompter.answers = { 6 };
    t->exit->trigger();
    QCOMPARE(t.quits, 2);
    QCOMPARE(t->forms().size(), 1);
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
    env.configDir = t.homeDir() + QStringLiteral("/.config/Orvane");
    QFile user(env.configDir + QStringLiteral("/Orvane.ini"));
    QVERIFY(stored.isEmpty() || (QDir().mkpath(env.configDir) && user.open(QIODevice::WriteOnly)
                                 && user.write(stored) && user.flush()));
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
    QFile file(programWritable ? t.settingsPath() : user.fileName());
    QCOMPARE(frame.settingsPath(), file.fileName());
    QVERIFY(t.prompter.asked.isEmpty());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const bool read = !programWritable && !stored.isEmpty();
    QCOMPARE(file.readAll(), read ? stored : QByteArray("[New Window]\r\nFocus\r\n"));
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
    QFile page(t.homeDir() + QStringLiteral("/a.htm"));
    QVERIFY(page.open(QIODevice::WriteOnly) && page.write("<p>file</p>") && page.flush());
    const QString address = server.url(QStringLiteral("/p"));
    // An address as New Window and Go Net; a file (relative to the current folder, or
    // a file: URL) as Open File. Each gets its tab and node, in order.
    t->OpenArgument(address);
    t->OpenArgument(QStringLiteral("a.htm"));
    t->OpenArgument(QUrl::fromLocalFile(page.fileName()).toString());
    QCOMPARE(t->mytab->Count(), 3);
    for (int i : { 3, 4 })
        QCOMPARE(TreeView::Text(t->webtree->Item(i)), QFileInfo(page).absoluteFilePath());
    QCOMPARE(t->mytab->Caption(3), QStringLiteral("a.htm"));
    auto *first = qobject_cast<Form1 *>(t->findForm(WindowHandleFromKey(t->mytab->Key(1))));
    QVERIFY(first);
    QCOMPARE(first->history(), QStringList{ address });
    QTRY_COMPARE_WITH_TIMEOUT(t->mytab->Caption(1), QStringLiteral("Named page"), 20000);
}

ORVANE_TEST_MAIN(tst_frame)
#include "tst_frame.moc"
