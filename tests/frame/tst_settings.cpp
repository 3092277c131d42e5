// The settings file and the frame's start-up.
#include "Files.h"
#include "TestFrame.h"
#include "dialogs/frmOptions.h"
#include "forms/SettingsFile.h"
#include "forms/TabStrip.h"
#include "forms/TreeView.h"
#include "sidebar/SideBar.h"

#include <QApplication>
#include <QFile>
#include <QMdiArea>
#include <QRadioButton>
#include <QtTest>

class tst_settings : public QObject
{
    Q_OBJECT
private slots:
    void readsWhatTheFileSays_data();
    void readsWhatTheFileSays();
    void missingFileIsCreatedForNextStart();
    void unwritableProgramFolderIsReportedNotFatal();
    void writeIsAtomic();
    void startUpBuildsRootsColoursAndSections();
};

void tst_settings::readsWhatTheFileSays_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("focus");
    QTest::addColumn<int>("error"); // the code in the box, 0 for none
    QTest::newRow("header and Focus") << QByteArray("[New Window]\r\nFocus\r\n") << true << 0;
    QTest::newRow("Focus alone") << QByteArray("Focus\r\n") << true << 0;
    QTest::newRow("no final line end") << QByteArray("[New Window]\r\nFocus") << true << 0;
    QTest::newRow("LF only") << QByteArray("[New Window]\nFocus\n") << true << 0;
    QTest::newRow("CR only") << QByteArray("[New Window]\rFocus\r") << true << 0;
    QTest::newRow("lines after the second ignored")
            << QByteArray("[New Window]\r\nFocus\r\nBackground\r\n") << true << 0;
    QTest::newRow("Background") << QByteArray("[New Window]\r\nBackground\r\n") << false << 0;
    QTest::newRow("lower case") << QByteArray("[New Window]\r\nfocus\r\n") << false << 0;
    QTest::newRow("leading blank") << QByteArray("[New Window]\r\n Focus\r\n") << false << 0;
    QTest::newRow("trailing blank") << QByteArray("[New Window]\r\nFocus \r\n") << false << 0;
    QTest::newRow("empty second line") << QByteArray("[New Window]\r\n\r\n") << false << 0;
    QTest::newRow("header twice")
            << QByteArray("[New Window]\r\n[New Window]\r\nFocus\r\n") << false << 0;
    QTest::newRow("empty") << QByteArray() << false << 62;
    QTest::newRow("header only") << QByteArray("[New Window]\r\n") << false << 62;
    QTest::newRow("header without line end") << QByteArray("[New Window]") << false << 62;
}

void tst_settings::readsWhatTheFileSays()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, focus);
    QFETCH(int, error);
    TestFrame t(false);
    writeFile(t.settingsPath(), bytes);
    t->MDIForm_Load();
    QCOMPARE(t->options()->optfocus->isChecked(), focus);
    QCOMPARE(t->options()->optback->isChecked(), !focus);
    QCOMPARE(t->optfocus(), focus);
    // The file is read, never changed; a broken one is reported and start-up goes on.
    QCOMPARE(readFile(t.settingsPath()), bytes);
    QCOMPARE(t.prompter.asked.size(), error ? 1 : 0);
    if (error) {
        const auto box = t.prompter.asked.first();
        QCOMPARE(box.title, QStringLiteral("Error in Orvane.ini\r\nAborting.."));
        QCOMPARE(box.style, 48);
        QVERIFY2(box.text.startsWith(QString::number(error) + QStringLiteral("\r\n")),
                 qPrintable(box.text));
        QCOMPARE(t->TreeFavor->Count(), 1);
    }
}

void tst_settings::missingFileIsCreatedForNextStart()
{
    TestFrame t;
    QCOMPARE(readFile(t.settingsPath()), QByteArray("[New Window]\r\nFocus\r\n"));
    // This run keeps the dialog's default; the next start reads Focus.
    QVERIFY(!t->optfocus());
    QVERIFY(t.prompter.asked.isEmpty());
    t.create();
    QVERIFY(t->optfocus());
}

void tst_settings::unwritableProgramFolderIsReportedNotFatal()
{
    // A program folder that cannot hold the file (here: its path runs through a
    // plain file, which even root cannot write into).
    TestFrame t(false);
    const QString blocker = t.homeDir() + QStringLiteral("/notafolder");
    writeFile(blocker, "x");
    FrameEnv env = t->env();
    env.programDir = blocker;
    MDIForm1 frame(env);
    frame.MDIForm_Load();
    QCOMPARE(t.prompter.asked.size(), 1);
    QCOMPARE(t.prompter.asked.first().title, QStringLiteral("Error in Orvane.ini\r\nAborting.."));
    QVERIFY(frame.options()->optback->isChecked());
    QCOMPARE(frame.webtree->Count(), 1);
}

void tst_settings::writeIsAtomic()
{
    QTemporaryDir dir;
    const QString path = SettingsFilePath(dir.path());
    QVERIFY(WriteSettingsFile(path, NewWindowMode::Background).ok);
    QCOMPARE(readFile(path), QByteArray("[New Window]\r\nBackground\r\n"));
    // A new file takes the old one's place whole (renamed over it), never written
    // into: a reader holding the old file still reads it complete.
    QFile held(path);
    QVERIFY(held.open(QIODevice::ReadOnly));
    QVERIFY(WriteSettingsFile(path, NewWindowMode::Focus).ok);
    QCOMPARE(held.readAll(), QByteArray("[New Window]\r\nBackground\r\n"));
    QCOMPARE(readFile(path), QByteArray("[New Window]\r\nFocus\r\n"));
    held.close();
    QVERIFY(WriteSettingsFile(path, NewWindowMode::Background).ok);
    // A failing write leaves the old file whole and says so.
    const QString blocked = dir.path() + QStringLiteral("/file");
    writeFile(blocked, "x");
    const SettingsWrite w = WriteSettingsFile(blocked + QStringLiteral("/Orvane.ini"),
                                              NewWindowMode::Focus);
    QVERIFY(!w.ok);
    QCOMPARE(readFile(path), QByteArray("[New Window]\r\nBackground\r\n"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2); // no temporary left behind
}

void tst_settings::startUpBuildsRootsColoursAndSections()
{
    TestFrame t;
    MDIForm1 *f = t.frame.get();
    QVERIFY(f->isMaximized());
    QVERIFY(!f->Picture3->isVisible());
    QCOMPARE(f->webtree->Count(), 1);
    QTreeWidgetItem *root = f->webtree->Item(1);
    QCOMPARE(TreeView::Key(root), QStringLiteral("OpenWeb"));
    QCOMPARE(root->text(0), QStringLiteral("Open Web's"));
    QVERIFY(root->isExpanded());
    QCOMPARE(TreeView::Key(f->TreeFavor->Item(1)), QStringLiteral("Favorites"));
    QCOMPARE(f->TreeFavor->Item(1)->text(0), QStringLiteral("Favorites2 (1)"));
    for (QWidget *tree : { static_cast<QWidget *>(f->webtree),
                           static_cast<QWidget *>(f->TreeFavor) }) {
        QCOMPARE(tree->palette().color(QPalette::Base), QColor(214, 223, 247));
        QCOMPARE(tree->palette().color(QPalette::Text), QColor(57, 109, 165));
    }
    SideBar *s = f->Picture3;
    QCOMPARE(s->Tag(s->Image1), QStringLiteral("down"));
    QCOMPARE(s->Tag(s->Image2), QStringLiteral("down"));
    QCOMPARE(s->pictureOf(s->Image1), 0);
    QCOMPARE(s->pPicture1.Height(), 495.0);
    QCOMPARE(s->pPicture2.Height(), 495.0);
    QCOMPARE(s->pPicture2.Top(), 480.0 + 495.0);
    // The tab strip runs along the bottom.
    QVERIFY(f->mytab->mapTo(f, QPoint(0, 0)).y() > f->mdiArea()->mapTo(f, QPoint(0, 0)).y());
}

ORVANE_TEST_MAIN(tst_settings)
#include "tst_settings.moc"
