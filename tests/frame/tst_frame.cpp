// The frame's menus, timers, resizing and shutdown, and the program as a whole.
#include "BrowserTestUtil.h"
#include "TestFrame.h"
#include "TestServer.h"
#include "dialogs/PageDownload.h"
#include "forms/ModuleLoader.h"
#include "forms/TabStrip.h"
#include "forms/TreeView.h"
#include "sidebar/SideBar.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QProgressBar>
#include <QToolBar>
#include <QtTest>

namespace {

QStringList captions(QMenu *menu, bool visibleOnly = false)
{
    QStringList list;
    for (QAction *a : menu->actions())
        if (!visibleOnly || a->isVisible())
            list << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return list;
}

// Child processes of pid, by name.
QStringList childNames(qint64 pid)
{
    QStringList names;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString &e : entries) {
        QFile stat(QStringLiteral("/proc/") + e + QStringLiteral("/stat"));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QString line = QString::fromLocal8Bit(stat.readAll());
        const int close = line.lastIndexOf(QLatin1Char(')'));
        const QStringList rest = line.mid(close + 2).split(QLatin1Char(' '));
        if (rest.size() > 1 && rest.at(1).toLongLong() == pid)
            names << line.mid(line.indexOf(QLatin1Char('(')) + 1,
                              close - line.indexOf(QLatin1Char('(')) - 1);
    }
    return names;
}

} // namespace

class tst_frame : public QObject
{
    Q_OBJECT
private slots:
    void menusAsDesigned();
    void sideBarAndProgressBarToggle();
    void progressFollowsTheActiveWindow();
    void treeHeightsFollowTheSideBar();
    void closingTheFrameUnloadsWindowsThenAsks();
    void exitAsksWithoutUnloading();
    void wholeProgramStartsWithoutTheEngine();
    void modulesLoadOnFirstUse();
};

void tst_frame::menusAsDesigned()
{
    TestFrame t;
    QStringList bar;
    for (QAction *a : t->menuBar()->actions())
        bar << a->text();
    QCOMPARE(bar, (QStringList{ "File", "Tools", "Help" }));
    QCOMPARE(captions(t->file),
             (QStringList{ "New Window", "-", "Open File", "-", "Exit" }));
    QCOMPARE(captions(t->mnutools), (QStringList{ "View", "-", "Options..", "-", "Refresh" }));
    QCOMPARE(captions(t->view), (QStringList{ "Mybar", "-", "MyButtons", "Progress Bar.." }));
    QCOMPARE(captions(t->reneter), QStringList{ "Favorites" });
    QCOMPARE(captions(t->help, true), QStringList{ "About" });
    t->butoon->trigger(); // keeps its check mark
    QVERIFY(t->butoon->isChecked());

    // The window list names the open child windows when the menu opens.
    t->new_Click();
    t->new_Click();
    emit t->file->aboutToShow();
    QCOMPARE(captions(t->file).size(), 5 + 1 + 2);
    QVERIFY(captions(t->file).last().endsWith(QLatin1String(" ")));
}

void tst_frame::sideBarAndProgressBarToggle()
{
    TestFrame t;
    SideBar *bar = t->Picture3;
    QVERIFY(!bar->isVisible());
    t->mybar->trigger();
    QVERIFY(bar->isVisible());
    QVERIFY(t->mybar->isChecked());
    // The header button hides it again.
    bar->Toolbar1->actions().first()->trigger();
    QVERIFY(!bar->isVisible());
    QVERIFY(!t->mybar->isChecked());

    t->mybar->trigger();
    t->prog->trigger();
    QVERIFY(!bar->pbar->isVisible());
    QVERIFY(!t->prog->isChecked());
    t->prog->trigger();
    QVERIFY(bar->pbar->isVisible());
    QVERIFY(t->prog->isChecked());
}

void tst_frame::progressFollowsTheActiveWindow()
{
    TestFrame t;
    t->Timer1_Timer(); // no window: nothing happens
    t->new_Click();
    Form1 *w = lastWindow(t.frame.get());
    QVERIFY(waitForComplete(w));
    w->pos = 37;
    w->max = 200;
    t->Timer1_Timer();
    QCOMPARE(t->Picture3->pbar->maximum(), 200);
    QCOMPARE(t->Picture3->pbar->value(), 37);
}

void tst_frame::treeHeightsFollowTheSideBar()
{
    TestFrame t;
    t->mybar->trigger();
    t->showNormal();
    t->resize(800, 600);
    QCoreApplication::processEvents();
    SideBar *s = t->Picture3;
    t->Timer3_Timer();
    const float h = float(s->ScaleHeight());
    QCOMPARE(s->pTreeFavor.Height(), double(h - 495.f - 480.f - 410.f - 0.f - 285.f - 100.f));
    QCOMPARE(s->pwebtree.Height(), double(h - 495.f - 480.f - 410.f - 0.f - 495.f));
    QCOMPARE(s->pImage3.Height(), s->Height());

    // Minimised, the resize leaves them alone.
    const double favor = s->pTreeFavor.Height();
    t->showMinimized();
    t->MDIForm_Resize();
    QCOMPARE(s->pTreeFavor.Height(), favor);

    // Too low for the formulas: the old heights stay.
    t->showNormal();
    t->resize(800, 150);
    QCoreApplication::processEvents();
    QVERIFY(s->ScaleHeight() < 1770);
    t->Timer3_Timer();
    t->MDIForm_Resize();
    QCOMPARE(s->pTreeFavor.Height(), favor);
    QVERIFY(s->pwebtree.Height() > 0);
}

void tst_frame::closingTheFrameUnloadsWindowsThenAsks()
{
    TestFrame t;
    for (int i = 0; i < 3; ++i)
        t->new_Click();
    int windowsWhileAsked = -1;
    t.prompter.whileOpen = [&](const RecordingPrompter::Asked &) {
        windowsWhileAsked = t->forms().size();
    };
    t.prompter.answers = { 7 };
    QVERIFY(!t->close());
    QCOMPARE(windowsWhileAsked, 0);
    QCOMPARE(t.prompter.asked.size(), 1);
    QCOMPARE(t.prompter.asked.at(0).text, QStringLiteral(" Quit from Orvane?"));
    QCOMPARE(t.prompter.asked.at(0).title, QStringLiteral("End Program..."));
    QCOMPARE(t.prompter.asked.at(0).style, 36);
    QCOMPARE(t.quits, 0);
    flushDeletes();
    QCOMPARE(t->mytab->Count(), 0);
    QCOMPARE(t->webtree->Count(), 1);

    t.prompter.answers = { 6 };
    t->close();
    QCOMPARE(t.quits, 1);
}

void tst_frame::exitAsksWithoutUnloading()
{
    TestFrame t;
    for (int i = 0; i < 3; ++i)
        t->new_Click();
    t.prompter.answers = { 7, 6 };
    t->exit->trigger();
    QCOMPARE(t.quits, 0);
    QCOMPARE(t->forms().size(), 3);
    t->exit->trigger();
    QCOMPARE(t.quits, 1);
    QCOMPARE(t->forms().size(), 3);
    QCOMPARE(t->mytab->Count(), 3);
}

void tst_frame::wholeProgramStartsWithoutTheEngine()
{
    const QString build = qEnvironmentVariable("ORVANE_BUILD_DIR");
    if (build.isEmpty() || !QFile::exists(build + QStringLiteral("/orvane")))
        QSKIP("the program is not built beside the tests");
    QTemporaryDir dir;
    for (const char *name : { "orvane", "liborvane_webengine.so", "liborvane_download.so" })
        QVERIFY(QFile::copy(build + QLatin1Char('/') + QLatin1String(name),
                            dir.filePath(QLatin1String(name))));
    QFile::setPermissions(dir.filePath(QStringLiteral("orvane")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("HOME"), dir.path());
    program.setProcessEnvironment(env);
    program.start(dir.filePath(QStringLiteral("orvane")), {});
    QVERIFY(program.waitForStarted());
    const QString ini = dir.filePath(QStringLiteral("Orvane.ini"));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(ini), 20000);
    QTest::qWait(500);
    QCOMPARE(program.state(), QProcess::Running);
    // The engine starts with the first browser window, not before.
    QVERIFY(!childNames(program.processId()).contains(QStringLiteral("QtWebEngineProc")));
    QFile file(ini);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("[New Window]\r\nFocus\r\n"));
    program.terminate();
    QVERIFY(program.waitForFinished(10000));
}

void tst_frame::modulesLoadOnFirstUse()
{
    const QString build = qEnvironmentVariable("ORVANE_BUILD_DIR");
    if (build.isEmpty())
        QSKIP("the program is not built beside the tests");
    // The download module's entry fetches from a loopback server.
    TestServer server;
    server.page(QStringLiteral("/x"), "source text");
    QVERIFY(server.start());
    ModuleLoader download(build + QStringLiteral("/liborvane_download.so"),
                          "orvane_download_fetch");
    auto entry = reinterpret_cast<PageFetch (*)()>(download.entry());
    QVERIFY2(entry, qPrintable(download.errorString()));
    const DownloadResult r = entry()(server.url(QStringLiteral("/x")), DownloadOptions());
    QVERIFY(r.ok);
    QCOMPARE(r.body, QByteArray("source text"));
    // A missing module says why.
    ModuleLoader missing(build + QStringLiteral("/nothing.so"), "x");
    QVERIFY(!missing.entry());
}

ORVANE_TEST_MAIN(tst_frame)
#include "tst_frame.moc"
