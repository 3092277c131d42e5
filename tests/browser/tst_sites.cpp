// What sites need from the browser, on the real engine against servers on 127.0.0.1:
// cookies that last, downloads, logins and untrusted certificates.
#include "TestFrame.h"
#include "browser/webengine/DownloadJob.h"
#include "browser/webengine/DownloadWindow.h"

#include <QWebEngineDownloadRequest>
#include <sys/mount.h>

namespace {

QByteArray pattern(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = char((i * 131 + i / 251) & 0xFF);
    return bytes;
}

QString downloadsOf(const TestFrame &t)
{
    return t.homeDir() + "/Downloads";
}

// Every name in the folder, hidden ones too.
QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

QList<DownloadWindow *> downloadWindows(TestFrame &t)
{
    return t->findChildren<DownloadWindow *>(QStringLiteral("frmDownload"));
}

// The n-th download window's last word once its download has ended.
QString endOf(TestFrame &t, int n = 0)
{
    QString text;
    (void)QTest::qWaitFor([&] {
        const QList<DownloadWindow *> windows = downloadWindows(t);
        text = windows.size() > n ? windows.at(n)->statusText() : QString();
        return text.startsWith("Done") || text.startsWith("Failed");
    }, 60000);
    return text;
}

QStringList statusTexts(const QSignalSpy &spy)
{
    QStringList texts;
    for (const QList<QVariant> &args : spy)
        texts.append(args.at(0).toString());
    return texts;
}

} // namespace

class tst_sites : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cookiesLastAcrossAStart();
    void secondCopyKeepsNothing();
    void lockOfAKilledCopyIsTakenOver();
    void safeNames_data();
    void safeNames();
    void download_data();
    void download();
    void downloadOntoAFullDisk();
    void savedPageIsNotAskedAgain();
    void downloadsOutliveTheirWindowAndEndAtQuit();
    void login_data();
    void login();
    void windowClosedWhileAsked_data();
    void windowClosedWhileAsked();
    void realDialogs();
    void untrustedCertificate_data();
    void untrustedCertificate();

private:
    QString url(const QString &path) const { return m_server.url(path); }
    TestServer m_server;
    TestServer m_tls { true };
    QByteArray m_big = pattern(3 * 1024 * 1024 + 17);
};

void tst_sites::initTestCase()
{
    m_server.cookies("/cookie");
    m_server.page("/links", "<title>Links</title><a id=one download=first.bin href=/slow1>1</a>"
                            "<a id=two download=second.bin href=/slow2>2</a>"
                            "<a id=three download=third.bin href=/slow3>3</a>");
    m_server.file("/report.zip", m_big, "report.zip");
    m_server.file("/cut.zip", m_big, "cut.zip", m_big.size() / 3, 30);
    m_server.file("/hostile", "x", "../../\x01" + QByteArray(1000, 'n') + ".tar.gz");
    for (const char *slow : { "/slow1", "/slow2", "/slow3" })
        m_server.file(slow, m_big.left(1024 * 1024), "slow.bin", -1, 40);
    m_server.file("/endless.bin", pattern(100 * 1024 * 1024), "endless.bin", -1, 100);
    m_server.login("/private", "ann", "right", "<title>Welcome</title>",
                   "<title>Refused</title><p>Refused by the test server</p>");
    QVERIFY(m_server.start());
    m_tls.page("/", "<title>Secure page</title>");
    QVERIFY2(m_tls.start(), "the HTTPS server (openssl and its certificate)");
}

// A day's cookie is there after a quit and a new start; the session's is not. The
// engine's files are in the user's data and cache folders.
void tst_sites::cookiesLastAcrossAStart()
{
    TestFrame t;
    Form1 *w = t.openPage(url("/cookie?v=a"));
    QVERIFY(w);
    QCOMPARE(w->Caption(), "[]");
    QVERIFY(t.openPage(url("/cookie?v=a")));
    QCOMPARE(lastWindow(t.frame.get())->Caption(), "[kept=a; session=1]");
    t.restart();
    w = t.openPage(url("/cookie?v=b"));
    QVERIFY(w);
    QCOMPARE(w->Caption(), "[kept=a]");
    QVERIFY(QFileInfo::exists(t.homeDir() + "/.local/share/Orvane/Cookies"));
    QVERIFY(QFileInfo(t.homeDir() + "/.cache/Orvane").isDir());
}

// A second copy on the same folders runs off the record and says so; what it was sent
// never reaches the first copy's store, and once the first has quit the next start
// has the lasting profile again.
void tst_sites::secondCopyKeepsNothing()
{
    TestFrame first;
    QVERIFY(first.openPage(url("/cookie?v=first")));
    TestFrame second;
    TestFrame::useUserFolders(first.homeDir());
    second->new_Click();
    Form1 *w = lastWindow(second.frame.get());
    QSignalSpy status(w->wb, &WebBrowser::StatusTextChange);
    go(w, url("/cookie?v=second"));
    QVERIFY(waitForComplete(w));
    QCOMPARE(w->Caption(), "[]");
    QTRY_VERIFY(statusTexts(status).join('\n').contains("another copy of Orvane holds the saved"));
    QVERIFY(second.openPage(url("/cookie?v=second")));
    QCOMPARE(lastWindow(second.frame.get())->Caption(), "[kept=second; session=1]");
    second.frame.reset();
    second.engine.reset();
    first.restart();
    w = first.openPage(url("/cookie?v=x"));
    QVERIFY(w);
    QCOMPARE(w->Caption(), "[kept=first]");
    QCOMPARE(w->Stbar1Panel1->text(), "Done");
}

// A copy that was killed left its lock behind: the next start keeps cookies again.
void tst_sites::lockOfAKilledCopyIsTakenOver()
{
    TestFrame t;
    QProcess gone;
    gone.start("true");
    const qint64 deadPid = gone.processId();
    QVERIFY(deadPid > 0 && gone.waitForFinished());
    writeFile(t.homeDir() + "/.local/share/Orvane/Orvane.lock",
        QByteArray::number(deadPid) + '\n' + QCoreApplication::applicationName().toUtf8() + '\n'
            + QSysInfo::machineHostName().toUtf8() + '\n');
    Form1 *w = t.openPage(url("/cookie?v=again"));
    QVERIFY(w);
    QCOMPARE(w->Stbar1Panel1->text(), "Done");
}

void tst_sites::safeNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("safe");
    QTest::newRow("plain") << "report 2.pdf" << "report 2.pdf";
    QTest::newRow("folders") << "../../etc/passwd" << "_.._etc_passwd";
    QTest::newRow("back slashes") << "..\\a\\b.txt" << "_a_b.txt";
    QTest::newRow("control characters") << "a\x01\tb\n.txt" << "a__b_.txt";
    QTest::newRow("dots only") << ".." << "download";
    QTest::newRow("empty") << "" << "download";
    QTest::newRow("hidden") << ".bashrc" << "bashrc";
    QTest::newRow("1000 characters") << QString(1000, 'n') + ".tar.gz"
                                     << QString(197, 'n') + ".gz";
    QTest::newRow("long, not ASCII") << QString(300, QChar(0x00E9)) + ".txt"
                                     << QString(98, QChar(0x00E9)) + ".txt";
}

void tst_sites::safeNames()
{
    QFETCH(QString, name);
    QFETCH(QString, safe);
    QCOMPARE(SafeFileName(name), safe);
}

void tst_sites::download_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("answer"); // the save question's answer, under Downloads
    QTest::addColumn<QList<int>>("boxes"); // answers to the questions after it
    QTest::addColumn<QByteArray>("existing"); // already under that name
    QTest::addColumn<QString>("end");
    QTest::addColumn<bool>("saved"); // the server's bytes under the name at the end
    QTest::newRow("attachment") << "/report.zip" << "report.zip" << QList<int>() << QByteArray()
                                << "Done: 3.0 MiB saved in " << true;
    // The engine retries a cut download and then waits; it fails once nothing comes.
    QTest::newRow("cut mid-way") << "/cut.zip" << "cut.zip" << QList<int>() << QByteArray()
                                 << "Failed: The server sent nothing for 20 seconds" << false;
    QTest::newRow("cancelled") << "/endless.bin" << "endless.bin" << QList<int>() << QByteArray()
                               << "Failed: Cancelled. Nothing was saved." << false;
    QTest::newRow("existing kept") << "/report.zip" << "report.zip" << QList<int> { 7 }
                                   << QByteArray("mine") << "" << false;
    QTest::newRow("existing replaced") << "/report.zip" << "report.zip" << QList<int> { 6 }
                                       << QByteArray("mine") << "Done: 3.0 MiB saved in " << true;
    QTest::newRow("unwritable folder") << "/report.zip" << "afile/report.zip" << QList<int>()
                                       << QByteArray() << "Failed: The file could not be written in " << false;
    QTest::newRow("hostile name") << "/hostile" << "" << QList<int>() << QByteArray()
                                  << "Done: " << true;
}

// The save question in the Downloads folder with the server's name; the file is the
// server's byte for byte, or nothing at all under its name and no partial file.
void tst_sites::download()
{
    QFETCH(QString, path);
    QFETCH(QString, answer);
    QFETCH(QList<int>, boxes);
    QFETCH(QByteArray, existing);
    QFETCH(QString, end);
    QFETCH(bool, saved);
    TestFrame t;
    const QString folder = downloadsOf(t);
    writeFile(t.homeDir() + "/Downloads/afile"); // a file where a folder is wanted
    const QString target = folder + '/' + answer;
    if (!existing.isNull())
        writeFile(target, existing);
    t.prompter.answers = boxes;
    Form1 *w = t.openPage(url("/cookie"));
    QVERIFY(w);
    QString offered;
    t.prompter.whileOpen = [&](const RecordingPrompter::Asked &a) {
        if (a.style == RecordingPrompter::SaveQuestion && offered.isEmpty()) {
            offered = a.text;
            t.prompter.saves = { answer.isEmpty() ? a.text : target };
        }
    };
    w->wb->Navigate(url(path));
    QTRY_VERIFY_WITH_TIMEOUT(!offered.isEmpty(), 20000);
    QCOMPARE(offered.section('/', 0, -2), folder);
    const QString name = offered.section('/', -1);
    if (path == "/hostile") {
        QVERIFY2(name.toUtf8().size() <= 200 && name.endsWith(".gz") && !name.startsWith('.')
                         && !name.contains(QChar(1)), qPrintable(name));
    } else {
        QCOMPARE(name, QFileInfo(path).fileName());
    }
    const QString finalPath = answer.isEmpty() ? offered : target;
    if (end.isEmpty()) { // declined to replace: asked again, then no download at all
        QTRY_COMPARE(t.prompter.asked.size(), 3);
        QCOMPARE(t.prompter.asked.at(1).style, MsgBox::YesNoExclamation | MsgBox::SecondDefault);
        QCOMPARE(t.prompter.asked.at(1).text, target + " already exists.\nDo you want to replace it?");
        QCOMPARE(t.prompter.asked.at(2).style, int(RecordingPrompter::SaveQuestion));
        QTest::qWait(500);
        QVERIFY(downloadWindows(t).isEmpty());
        QCOMPARE(readFile(target), existing);
        QCOMPARE(filesIn(folder), QStringList({ "afile", "report.zip" }));
        return;
    }
    if (path == "/endless.bin") {
        QTRY_VERIFY_WITH_TIMEOUT(!downloadWindows(t).isEmpty(), 10000);
        DownloadWindow *window = downloadWindows(t).first();
        QTRY_VERIFY_WITH_TIMEOUT(window->statusText().contains(" of 100.0 MiB"), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!window->statusText().startsWith("0 bytes"), 10000);
        auto *cancel = window->findChild<QPushButton *>("cmdCancel");
        QVERIFY2(cancel, "the download window has no Cancel button");
        cancel->click();
    }
    const QString text = endOf(t);
    QVERIFY2(text.startsWith(end), qPrintable(text));
    if (saved)
        QCOMPARE(text.section(" saved in ", 1), QFileInfo(finalPath).path());
    QCOMPARE(readFile(finalPath), saved ? path == "/hostile" ? QByteArray("x") : m_big
                                        : existing.isNull() ? QByteArray("<missing>") : existing);
    QTest::qWait(300); // the engine's own clean-up after a failure
    QStringList left = filesIn(folder);
    left.removeAll("afile");
    QCOMPARE(left, saved || !existing.isNull() ? QStringList { QFileInfo(finalPath).fileName() }
                                               : QStringList());
    QVERIFY(filesIn(folder + "/afile").isEmpty());
    QVERIFY2(!downloadWindows(t).isEmpty(), "no download window");
    QVERIFY(downloadWindows(t).first()->windowTitle().contains(QFileInfo(finalPath).fileName()));
}

// A file system of 16 KiB: the download fails with the reason and leaves nothing.
void tst_sites::downloadOntoAFullDisk()
{
    TestFrame t;
    const QString folder = downloadsOf(t);
    QDir().mkpath(folder);
    if (::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0, "size=16k") != 0)
        QSKIP("no small file system can be mounted here (that needs root and mount rights)");
    const auto unmount = qScopeGuard([&] { ::umount2(QFile::encodeName(folder).constData(), MNT_DETACH); });
    Form1 *w = t.openPage(url("/cookie"));
    QVERIFY(w);
    t.prompter.saves = { folder + "/report.zip" };
    w->wb->Navigate(url("/report.zip"));
    const QString text = endOf(t);
    QCOMPARE(text, "Failed: Insufficient space on the target drive. Nothing was saved.");
    QTest::qWait(300);
    QCOMPARE(filesIn(folder), QStringList());
}

// Save As has asked already: the page is written where answered, with no second
// question and no download window.
void tst_sites::savedPageIsNotAskedAgain()
{
    TestFrame t;
    Form1 *w = t.openPage(url("/cookie?v=page"));
    QVERIFY(w);
    const QString path = t.homeDir() + "/saved.html";
    pageOf(w)->save(path, QWebEngineDownloadRequest::SingleHtmlSaveFormat);
    QTRY_VERIFY_WITH_TIMEOUT(readFile(path).contains("<title>[]</title>"), 20000);
    QVERIFY(t.prompter.asked.isEmpty());
    QVERIFY(downloadWindows(t).isEmpty());
}

// Three at once from one page, the page's window closed while they run: all three
// arrive whole. Then one that never ends is cancelled by quitting, leaving nothing.
void tst_sites::downloadsOutliveTheirWindowAndEndAtQuit()
{
    TestFrame t;
    const QString folder = downloadsOf(t);
    Form1 *w = t.openPage(url("/links"));
    QVERIFY(w);
    t.prompter.whileOpen = [&](const RecordingPrompter::Asked &a) {
        if (a.style == RecordingPrompter::SaveQuestion)
            t.prompter.saves = { a.text };
    };
    pageOf(w)->runJavaScript("for (const id of ['one', 'two', 'three']) "
                             "document.getElementById(id).click()");
    QTRY_COMPARE_WITH_TIMEOUT(downloadWindows(t).size(), 3, 20000);
    QPointer<Form1> gone(w);
    w->Unload();
    flushDeletes();
    QVERIFY(!gone);
    for (int i = 0; i < 3; ++i)
        QVERIFY2(endOf(t, i).startsWith("Done"), qPrintable(endOf(t, i)));
    for (const char *name : { "first.bin", "second.bin", "third.bin" })
        QVERIFY2(readFile(folder + '/' + name) == m_big.left(1024 * 1024), name);

    w = t.openPage(url("/cookie"));
    QVERIFY(w);
    w->wb->Navigate(url("/endless.bin"));
    QTRY_COMPARE_WITH_TIMEOUT(downloadWindows(t).size(), 4, 20000);
    QTRY_VERIFY_WITH_TIMEOUT(!filesIn(folder).filter("endless").isEmpty(), 10000);
    QTest::qWait(300);
    t.frame.reset();
    t.engine.reset();
    QTest::qWait(500);
    QCOMPARE(filesIn(folder), QStringList({ "first.bin", "second.bin", "third.bin" }));
}

void tst_sites::login_data()
{
    QTest::addColumn<QStringList>("passwords"); // one per answer; then Cancel
    QTest::addColumn<QString>("title");
    QTest::newRow("wrong, then right") << QStringList { "wrong", "right" } << "Welcome";
    QTest::newRow("cancelled") << QStringList() << "Refused";
    QTest::newRow("wrong, then cancelled") << QStringList { "wrong" } << "Refused";
}

// One request per answer; the second question says the first pair was refused;
// Cancel shows what the server sent. A login lasts for this run only.
void tst_sites::login()
{
    QFETCH(QStringList, passwords);
    QFETCH(QString, title);
    TestFrame t;
    const int before = m_server.hits("/private");
    for (const QString &password : passwords)
        t.prompter.logins.append({ "ann", password });
    Form1 *w = t.openPage(url("/private"));
    QVERIFY(w);
    QTRY_COMPARE_WITH_TIMEOUT(w->Caption(), title, 10000);
    QCOMPARE(m_server.hits("/private") - before, passwords.size() + 1);
    QCOMPARE(t.prompter.asked.size(), passwords.size() + (title == "Welcome" ? 0 : 1));
    const QString asked = "The site " + m_server.site() + " asks for a name and a password.\n"
                          "Realm: Orvane test";
    for (int i = 0; i < t.prompter.asked.size(); ++i) {
        const RecordingPrompter::Asked &a = t.prompter.asked.at(i);
        QCOMPARE(a.style, int(RecordingPrompter::LoginQuestion));
        QCOMPARE(a.text, (i ? "That name and password were refused.\n" : "") + asked);
    }
    if (title == "Refused")
        QVERIFY(waitForScript(w, "document.body.innerText.includes('Refused by the test server')"));
    if (title != "Welcome")
        return;
    // The same run knows the login; a new start asks again.
    QVERIFY(t.openPage(url("/private")));
    QCOMPARE(lastWindow(t.frame.get())->Caption(), "Welcome");
    QCOMPARE(t.prompter.asked.size(), 2);
    t.restart();
    QVERIFY(t.openPage(url("/private")));
    QCOMPARE(t.prompter.asked.size(), 3);
    QCOMPARE(lastWindow(t.frame.get())->Caption(), "Refused");
    const QDir data(t.homeDir());
    QDirIterator it(t.homeDir(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        QVERIFY2(!readFile(file).contains("right"), qPrintable(file));
    }
}

void tst_sites::windowClosedWhileAsked_data()
{
    QTest::addColumn<bool>("tls");
    QTest::newRow("login") << false;
    QTest::newRow("certificate") << true;
}

// The window closes while its login or certificate question is open: the answer goes
// nowhere, nothing is fetched for it, and the program goes on.
void tst_sites::windowClosedWhileAsked()
{
    QFETCH(bool, tls);
    TestServer &server = tls ? m_tls : m_server;
    const QString path = tls ? "/" : "/private";
    TestFrame t;
    t->new_Click();
    QPointer<Form1> w = lastWindow(t.frame.get());
    QVERIFY(waitForComplete(w));
    t.prompter.logins = { { "ann", "right" } }; // the certificate's box: its default, No
    t.prompter.whileOpen = [&](const auto &) {
        w->Unload();
        flushDeletes();
    };
    const int before = server.hits(path);
    go(w, server.url(path));
    QTRY_VERIFY_WITH_TIMEOUT(!w, 20000);
    QTest::qWait(500);
    QCOMPARE(server.hits(path) - before, tls ? 0 : 1);
    t.prompter.whileOpen = nullptr;
    t.prompter.logins = { { "ann", "right" } };
    t.prompter.answers = { MsgBox::Yes };
    Form1 *other = t.openPage(server.url(path));
    QVERIFY(other);
    QTRY_COMPARE(other->Caption(), tls ? "Secure page" : "Welcome");
}

// The real dialogs: the login with the site and realm in plain text and the password
// hidden; the certificate question, where Return means No.
void tst_sites::realDialogs()
{
    MessageBoxPrompter real;
    TestFrame t(true, true, &real);
    QString shown;
    QTimer answering;
    connect(&answering, &QTimer::timeout, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            QPushButton *preset = box->defaultButton();
            shown = box->windowTitle() + '|' + (preset ? preset->text() : "no default");
            return QTest::keyClick(box, Qt::Key_Return);
        }
        auto *user = modal ? modal->findChild<QLineEdit *>("txtUser") : nullptr;
        auto *password = modal ? modal->findChild<QLineEdit *>("txtPassword") : nullptr;
        auto *label = modal ? modal->findChild<QLabel *>() : nullptr;
        if (!user || !password || !label)
            return;
        shown = modal->windowTitle() + '|' + label->text() + '|'
            + QString::number(password->echoMode());
        user->setText("ann");
        password->setText("right");
        qobject_cast<QDialog *>(modal)->accept();
    });
    answering.start(50);
    Form1 *w = t.openPage(url("/private"));
    QVERIFY(w);
    QTRY_COMPARE(w->Caption(), "Welcome");
    QCOMPARE(shown, "Log in|The site " + m_server.site()
                 + " asks for a name and a password.\nRealm: Orvane test|"
                 + QString::number(QLineEdit::Password));
    const int before = m_tls.hits("/");
    go(w, m_tls.url("/"));
    QVERIFY(waitForComplete(w));
    QCOMPARE(shown, "Untrusted site|&No");
    QVERIFY(w->Stbar1Panel1->text().startsWith("Not opened: the certificate of "));
    QCOMPARE(m_tls.hits("/"), before);
}

void tst_sites::untrustedCertificate_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("refused, the default") << int(MsgBox::No);
    QTest::newRow("accepted for this run") << int(MsgBox::Yes);
}

// The question names the site and the reason and defaults to No; refused, the status
// bar says why and never "Done"; accepted, the site opens until the program quits.
void tst_sites::untrustedCertificate()
{
    QFETCH(int, answer);
    TestFrame t;
    t.prompter.answers = { answer };
    t->new_Click();
    Form1 *w = lastWindow(t.frame.get());
    QVERIFY(waitForComplete(w));
    QSignalSpy status(w->wb, &WebBrowser::StatusTextChange);
    const int before = m_tls.hits("/");
    go(w, m_tls.url("/"));
    QVERIFY(waitForComplete(w));
    QCOMPARE(t.prompter.asked.size(), 1);
    QCOMPARE(t.prompter.box(), "The certificate of " + m_tls.site() + " is not trusted: it was "
             "issued by an unknown authority, or by the site itself.\n\nSomeone may be posing as "
             "this site to read what you send it.\n\nGo on to " + m_tls.site() + " anyway? Orvane "
             "will trust this certificate until it is closed.|Untrusted site|308");
    if (answer == MsgBox::No) {
        const QString refusal = "Not opened: the certificate of " + m_tls.site()
            + " is not trusted (it was issued by an unknown authority, or by the site itself)";
        QVERIFY2(!statusTexts(status).contains("Done"), qPrintable(statusTexts(status).join('\n')));
        QCOMPARE(statusTexts(status).last(), refusal);
        QCOMPARE(w->Stbar1Panel1->text(), refusal);
        QCOMPARE(m_tls.hits("/"), before);
        return;
    }
    QCOMPARE(w->Caption(), "Secure page");
    QCOMPARE(statusTexts(status).last(), "Done");
    QVERIFY(t.openPage(m_tls.url("/")));
    QCOMPARE(t.prompter.asked.size(), 1);
    t.restart();
    t.prompter.answers = { MsgBox::No };
    QVERIFY(t.openPage(m_tls.url("/")));
    QCOMPARE(t.prompter.asked.size(), 2);
    QCOMPARE(m_tls.hits("/"), before + 2);
}

ORVANE_TEST_MAIN(tst_sites)
#include "tst_sites.moc"
