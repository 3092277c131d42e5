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
    void brokenFileIsReportedAndLeftAlone_data();
    void brokenFileIsReportedAndLeftAlone();
    void unwritableProgramFolderIsReportedNotFatal();
    void writeIsAtomic();
    void startUpBuildsRootsColoursAndSections();
};

void tst_settings::readsWhatTheFileSays_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("focus");
    QTest::newRow("header and Focus") << QByteArray("[New Window]\r\nFocus\r\n") << true;
    QTest::newRow("Focus alone") << QByteArray("Focus\r\n") << true;
    QTest::newRow("no final line end") << QByteArray("[New Window]\r\nFocus") << true;
    QTest::newRow("LF only") << QByteArray("[New Window]\nFocus\n") << true;
    QTest::newRow("CR only") << QByteArray("[New Window]\rFocus\r") << true;
    QTest::newRow("lines after the second ignored")
            << QByteArray("[New Window]\r\nFocus\r\nBackground\r\n") << true;
    QTest::newRow("Background") << QByteArray("[New Window]\r\nBackground\r\n") << false;
    QTest::newRow("lower case") << QByteArray("[New Window]\r\nfocus\r\n") << false;
    QTest::newRow("leading blank") << QByteArray("[New Window]\r\n Focus\r\n") << false;
    QTest::newRow("trailing blank") << QByteArray("[New Window]\r\nFocus \r\n") << false;
    QTest::newRow("empty second line") << QByteArray("[New Window]\r\n\r\n") << false;
    QTest::newRow("header twice") << QByteArray("[New Window]\r\n[New Window]\r\nFocus\r\n")
                                  << false;
}

void tst_settings::readsWhatTheFileSays()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, focus);
    TestFrame t(false);
    writeFile(t.settingsPath(), bytes);
    t->MDIForm_Load();
    QVERIFY(t.prompter.asked.isEmpty());
    QCOMPARE(t->options()->optfocus->isChecked(), focus);
    QCOMPARE(t->options()->optback->isChecked(), !focus);
    QCOMPARE(t->optfocus(), focus);
    QCOMPARE(readFile(t.settingsPath()), bytes);
}

void tst_settings::missingFileIsCreatedForNextStart()
{
    TestFrame t;
    QCOMPARE(readFile(t.settingsPath()), QByteArray("[New Window]\r\nFocus\r\n"));
    // This run keeps the dialog's default; the next start reads Focus.
    QVERIFY(t->options()->optback->isChecked());
    QVERIFY(!t->optfocus());
    QVERIFY(t.prompter.asked.isEmpty());
    t.create();
    QVERIFY(t->optfocus());
}

void tst_settings::brokenFileIsReportedAndLeftAlone_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("code");
    QTest::newRow("empty") << QByteArray() << 62;
    QTest::newRow("header only") << QByteArray("[New Window]\r\n") << 62;
    QTest::newRow("header without line end") << QByteArray("[New Window]") << 62;
}

void tst_settings::brokenFileIsReportedAndLeftAlone()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, code);
    TestFrame t(false);
    writeFile(t.settingsPath(), bytes);
    t->MDIForm_Load();
    QCOMPARE(t.prompter.asked.size(), 1);
    const auto box = t.prompter.asked.first();
    QCOMPARE(box.title, QStringLiteral("Error in Orvane.ini\r\nAborting.."));
    QCOMPARE(box.style, 48);
    QVERIFY2(box.text.startsWith(QString::number(code) + QStringLiteral("\r\n")),
             qPrintable(box.text));
    QVERIFY(box.text.size() > 4);
    QVERIFY(t->options()->optback->isChecked());
    QCOMPARE(readFile(t.settingsPath()), bytes);
    // Start-up went on: the Favorites root is there.
    QCOMPARE(t->TreeFavor->Count(), 1);
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
    // A failing write leaves the old file whole and says so.
    const QString blocked = dir.path() + QStringLiteral("/file");
    writeFile(blocked, "x");
    const SettingsWrite w = WriteSettingsFile(blocked + QStringLiteral("/Orvane.ini"),
                                              NewWindowMode::Focus);
    QVERIFY(!w.ok);
    QVERIFY(w.code != 0);
    QVERIFY(!w.description.isEmpty());
    QCOMPARE(readFile(path), QByteArray("[New Window]\r\nBackground\r\n"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2); // no temporary left behind
}

void tst_settings::startUpBuildsRootsColoursAndSections()
{
    TestFrame t;
    MDIForm1 *f = t.frame.get();
    QCOMPARE(f->windowTitle(), QStringLiteral("Orvane"));
    QVERIFY(f->isVisible());
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
    QCOMPARE(s->pictureOf(s->Image2), 0);
    QCOMPARE(s->pPicture1.Height(), 495.0);
    QCOMPARE(s->pPicture2.Height(), 495.0);
    QCOMPARE(s->pPicture2.Top(), 480.0 + 495.0);
    // Controls are findable by name, and the tab strip runs along the bottom.
    for (const char *name : { "webtree", "TreeFavor", "mytab", "Picture3", "pbar" })
        QVERIFY2(f->findChild<QWidget *>(QLatin1String(name)), name);
    QVERIFY(f->mytab->mapTo(f, QPoint(0, 0)).y() > f->mdiArea()->mapTo(f, QPoint(0, 0)).y());
    QCOMPARE(f->mdiArea()->background().color(), QColor(239, 235, 222));
}

ORVANE_TEST_MAIN(tst_settings)
#include "tst_settings.moc"
