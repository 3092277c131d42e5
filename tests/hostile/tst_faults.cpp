// Faults from outside the program: a page renderer that dies, a disk that is full
// or gone when the settings file is written.
#include "BrowserTestUtil.h"
#include "TestFrame.h"
#include "TestServer.h"
#include "browser/webengine/WebEngineBrowser.h"
#include "dialogs/frmOptions.h"

#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <QTimer>
#include <QWebEnginePage>
#include <QtTest>

#include <csignal>
#include <sys/mount.h>

namespace {

qint64 rendererOf(Form1 *window)
{
    return static_cast<WebEngineBrowser *>(window->wb)->page()->renderProcessPid();
}

Form1 *openAt(TestFrame &t, const QString &url)
{
    t->new_Click();
    Form1 *w = lastWindow(t.frame.get());
    w->cmbadress->setEditText(url);
    w->gnet_ButtonClick(1);
    return waitForComplete(w) ? w : nullptr;
}

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

} // namespace

class tst_faults : public QObject
{
    Q_OBJECT
private slots:
    void deadRendererIsSaidOnceAndReloads();
    void settingsOnAFullOrVanishedDisk_data();
    void settingsOnAFullOrVanishedDisk();
};

void tst_faults::deadRendererIsSaidOnceAndReloads()
{
    TestServer server;
    server.page("/a", "<title>A</title>a");
    server.page("/b", "<title>B</title>b");
    QVERIFY(server.start());
    TestFrame t;
    // Two sites, so two renderers.
    Form1 *a = openAt(t, server.url("/a"));
    Form1 *b = openAt(t, server.url("/b").replace("127.0.0.1", "localhost"));
    QVERIFY(a && b);
    const qint64 other = rendererOf(b);
    QVERIFY(rendererOf(a) > 0 && other > 0 && rendererOf(a) != other);

    // Killed twice over: said each time in its own status bar, never in a box.
    for (int round = 0; round < 2; ++round) {
        QVERIFY(::kill(pid_t(rendererOf(a)), SIGKILL) == 0);
        QTRY_COMPARE_WITH_TIMEOUT(a->Stbar1Panel1->text(),
                                  QStringLiteral("The page's renderer was killed. Refresh to "
                                                 "load it again."),
                                  20000);
        QCOMPARE(a->pos, 0);
        QVERIFY(!t->Timer1->isActive());
        if (round == 0) {
            const int hits = server.hits("/a");
            a->Toolbar1_ButtonClick(5); // Refresh
            QVERIFY(waitForComplete(a));
            QCOMPARE(server.hits("/a"), hits + 1);
        }
    }
    a->gnet_ButtonClick(1); // Go Net
    QVERIFY(waitForComplete(a));
    QTRY_COMPARE(a->Caption(), QStringLiteral("A"));
    QVERIFY(rendererOf(a) > 0);
    QVERIFY(t.prompter.asked.isEmpty());
    // The other window kept its page and its renderer.
    QCOMPARE(rendererOf(b), other);
    QCOMPARE(b->Caption(), QStringLiteral("B"));
    QCOMPARE(b->Stbar1Panel1->text(), QStringLiteral("Done"));
}

void tst_faults::settingsOnAFullOrVanishedDisk_data()
{
    QTest::addColumn<bool>("atStartUp");
    QTest::addColumn<bool>("vanished");
    QTest::newRow("options, full disk") << false << false;
    QTest::newRow("options, folder removed") << false << true;
    QTest::newRow("start-up, full disk") << true << false;
}

void tst_faults::settingsOnAFullOrVanishedDisk()
{
    QFETCH(bool, atStartUp);
    QFETCH(bool, vanished);
    TestFrame t(false);
    const QString dir = t.programDir();
    if (!vanished) {
        if (::mount("tmpfs", QFile::encodeName(dir).constData(), "tmpfs", 0, "size=16k") != 0)
            QSKIP("a small file system cannot be mounted here (needs root and mount rights)");
    }
    const auto unmount = qScopeGuard([&] {
        if (!vanished)
            ::umount2(QFile::encodeName(dir).constData(), MNT_DETACH);
    });
    const QByteArray old = "[New Window]\r\nFocus\r\n";
    if (!atStartUp && !vanished) {
        QFile f(t.settingsPath());
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(old) == old.size());
    }
    if (!vanished) {
        // Fill the rest of the disk.
        QFile filler(dir + "/filler");
        QVERIFY(filler.open(QIODevice::WriteOnly));
        while (filler.write(QByteArray(512, 'x')) > 0 && filler.flush()) { }
    }
    t->MDIForm_Load();
    if (atStartUp) {
        QCOMPARE(t.prompter.asked.size(), 1);
        QCOMPARE(t.prompter.asked.first().style, 48);
        QVERIFY(!QFile::exists(t.settingsPath()));
    } else {
        QVERIFY(t.prompter.asked.isEmpty());
        if (vanished) {
            QVERIFY(bytesOf(t.settingsPath()) == old);
            QVERIFY(QDir(dir).removeRecursively());
        }
        t->options()->optback->setChecked(true);
        t->options()->cmdOK_Click();
        QCOMPARE(t.prompter.asked.size(), 1);
        QCOMPARE(t.prompter.asked.first().style, 48);
        QCOMPARE(bytesOf(t.settingsPath()), vanished ? QByteArray("<missing>") : old);
        QCOMPARE(QDir(dir).entryList({ "Orvane.ini?*" }, QDir::Files | QDir::Hidden), QStringList());
    }
    // The program goes on.
    t->new_Click();
    QVERIFY(lastWindow(t.frame.get()));
}

ORVANE_TEST_MAIN(tst_faults)
#include "tst_faults.moc"
