// An installed copy: where the settings file lives, the modules it looks for, what
// the command line opens.
#include "TestFrame.h"
#include "TestServer.h"
#include "browser/Form1.h"
#include "dialogs/frmOptions.h"
#include "forms/ModuleLoader.h"
#include "forms/TabStrip.h"
#include "forms/TreeView.h"
#include "forms/WindowKey.h"

#include <QRadioButton>
#include <QtTest>

class tst_installed : public QObject
{
    Q_OBJECT
private slots:
    void settingsLocation_data();
    void settingsLocation();
    void missingModuleNamesPlacesTried();
    void commandLineOpensEachInItsWindow();
};

void tst_installed::settingsLocation_data()
{
    QTest::addColumn<bool>("programWritable");
    QTest::addColumn<QByteArray>("stored"); // already in the user's folder
    QTest::newRow("build tree, user's file ignored") << true << QByteArray("Focus\r\n");
    QTest::newRow("installed, first start") << false << QByteArray();
    QTest::newRow("installed, user's file read") << false << QByteArray("Focus\r\n");
}

void tst_installed::settingsLocation()
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
            QSKIP("root may write into any folder; these rows run as tst_installed_unprivileged");
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

void tst_installed::missingModuleNamesPlacesTried()
{
    ModuleLoader missing(ModulePlaces(QStringLiteral("/opt/o/bin/"), QStringLiteral("m.so")), "f");
    QVERIFY(!missing.entry());
    QCOMPARE(missing.errorString(), QStringLiteral("/opt/o/lib/orvane/m.so: no such file\n"
                                                   "/opt/o/bin/m.so: no such file"));
}

void tst_installed::commandLineOpensEachInItsWindow()
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

ORVANE_TEST_MAIN(tst_installed)
#include "tst_installed.moc"
