// What sites need from the browser and what pages may ask of the user, on the real engine
// against servers on 127.0.0.1: cookies that last, downloads, logins and untrusted
// certificates; a page's dialogs, devices and features, printing, links for other programs.
#include "TestFrame.h"
#include "browser/webengine/DownloadJob.h"
#include "browser/webengine/DownloadWindow.h"
#include "browser/webengine/PageDialogs.h"
#include "forms/PageDialogBox.h"

#include <QDesktopServices>
#include <QPdfWriter>
#include <QPrinter>
#include <QWebEngineDownloadRequest>
#include <optional>

namespace {

QByteArray pattern(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = char((i * 131 + i / 251) & 0xFF);
    return bytes;
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

// The title of the address opened in a new window.
QString titleOf(TestFrame &t, const QString &address)
{
    Form1 *w = t.openPage(address);
    return w ? w->Caption() : QStringLiteral("<never loaded>");
}

// Stands in for the desktop's handler of a scheme.
struct Handler : QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE void open(const QUrl &url) { opened.append(url.toString()); }
    QStringList opened;
};

// The title a page's script leaves when done; "" when it never does.
QString titleOnceSet(Form1 *w)
{
    if (!QTest::qWaitFor([&] { return pageOf(w)->title().startsWith("="); }, 30000))
        return QString();
    return pageOf(w)->title().mid(1);
}

} // namespace

class tst_sites : public QObject
{
    Q_OBJECT
    QString url(const QString &path) const { return m_server.url(path); }
    QString site() const { return m_server.site(); }
    TestServer m_server;
    TestServer m_tls { true };
    QByteArray m_big = pattern(3 * 1024 * 1024 + 17), m_pdf;

private slots:
    void initTestCase()
    {
        m_server.cookies("/cookie");
        m_server.page("/blank", "<title>Blank</title>");
        m_server.page("/opener", "<title>Opener</title>");
        QByteArray text = "<title>Text</title><body>";
        for (int i = 0; i < 400; ++i) // eleven pages or so of plain text
            text += "<p>Paragraph " + QByteArray::number(i) + " of plain words to print.</p>";
        m_server.page("/text", text);
        m_server.page("/links", "<title>Links</title><body style='margin:0'><a id=a href='#' "
                                "style='display:block;width:400px;height:300px'>link</a>"
                                "<a id=one download=first.bin href=/slow1>1</a>"
                                "<a id=two download=second.bin href=/slow2>2</a>"
                                "<a id=three download=third.bin href=/slow3>3</a>");
        m_server.file("/report.zip", m_big, "report.zip");
        {
            QBuffer out(&m_pdf);
            out.open(QIODevice::WriteOnly);
            QPdfWriter writer(&out);
            QPainter painter(&writer);
            painter.drawText(QPointF(100, 100), "A page of a PDF");
        }
        m_server.file("/shown.pdf", m_pdf, {}, -1, 0, "application/pdf");
        m_server.file("/attached.pdf", m_pdf, "attached.pdf", -1, 0, "application/pdf");
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

    // A day's cookie is there after a quit and a new start, the session's is not. Beside a
    // running copy nothing is kept, and it says so; a killed copy's lock is taken over.
    void lastingCookies_data()
    {
        QTest::addColumn<QString>("other"); // another copy on the same folders
        QTest::addColumn<QString>("afterStart"); // the title after a quit and a new start
        QTest::newRow("alone") << "none" << "[kept=a]";
        QTest::newRow("lock of a killed copy") << "killed" << "[kept=a]";
        QTest::newRow("beside a running copy") << "running" << "[]";
    }
    void lastingCookies()
    {
        QFETCH(QString, other);
        QFETCH(QString, afterStart);
        std::optional<TestFrame> first;
        if (other == "running") {
            first.emplace();
            QVERIFY(first->openPage(url("/cookie?v=first")));
        }
        TestFrame t;
        const QString home = first ? first->homeDir() : t.homeDir();
        TestFrame::useUserFolders(home);
        if (other == "killed") {
            QProcess gone;
            gone.start("true");
            const qint64 deadPid = gone.processId();
            QVERIFY(deadPid > 0 && gone.waitForFinished());
            writeFile(home + "/.local/share/Orvane/Orvane.lock", QByteArray::number(deadPid) + '\n'
                    + QCoreApplication::applicationName().toUtf8() + '\n'
                    + QSysInfo::machineHostName().toUtf8() + '\n');
        }
        QCOMPARE(titleOf(t, url("/cookie?v=a")), "[]");
        const QLabel *status = lastWindow(t.frame.get())->Stbar1Panel1;
        QCOMPARE(status->text(),
            first ? "Done (off the record: another copy of Orvane keeps the saved data)" : "Done");
        QVERIFY(status->sizeHint().width() <= status->width()); // shown whole
        QCOMPARE(titleOf(t, url("/cookie?v=a")), "[kept=a; session=1]");
        t.restart();
        QCOMPARE(titleOf(t, url("/cookie?v=b")), afterStart);
        QVERIFY(QFileInfo::exists(home + "/.local/share/Orvane/Cookies"));
        QVERIFY(QFileInfo(home + "/.cache/Orvane").isDir());
        if (!first)
            return;
        // What the second copy was sent never reached the first one's store.
        t.frame.reset();
        t.engine.reset();
        first->restart();
        QCOMPARE(titleOf(*first, url("/cookie?v=x")), "[kept=first]");
    }

    // Beyond the hostile name a server sends in the downloads below.
    void safeNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("safe");
        QTest::newRow("back slashes") << "..\\a\\b.txt" << "_a_b.txt";
        QTest::newRow("control characters") << "a\x01\tb\n.txt" << "a__b_.txt";
        QTest::newRow("empty") << "" << "download";
        QTest::newRow("hidden") << ".bashrc" << "bashrc";
        QTest::newRow("a million characters")
            << QString(500000, '.') + QString(500000, 'n') + ".tar.gz" << QString(197, 'n') + ".gz";
        QTest::newRow("long, not ASCII") << QString(300, QChar(0x00E9)) + ".txt"
                                         << QString(98, QChar(0x00E9)) + ".txt";
    }
    void safeNames()
    {
        QFETCH(QString, name);
        QFETCH(QString, safe);
        QCOMPARE(SafeFileName(name), safe);
    }

    // The save question offers the Downloads folder and the server's name; the file is the
    // server's byte for byte, or nothing at all under its name and no partial file.
    void download_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("answer"); // to the save question, under Downloads
        QTest::addColumn<int>("replace"); // the answer when "mine" is already there, else 0
        QTest::addColumn<QString>("end");
        const QString done = "Done: 3.0 MiB saved in ";
        QTest::newRow("attachment") << "/report.zip" << "report.zip" << 0 << done;
        QTest::newRow("a PDF as an attachment")
            << "/attached.pdf" << "attached.pdf" << 0 << "Done: ";
        // The engine retries a cut download and then waits; it fails once nothing comes.
        QTest::newRow("cut mid-way") << "/cut.zip" << "cut.zip" << 0
                                     << "Failed: The server sent nothing for 3 seconds";
        QTest::newRow("cancelled") << "/endless.bin" << "endless.bin" << 0
                                   << "Failed: Cancelled. Nothing was saved.";
        QTest::newRow("existing kept") << "/report.zip" << "report.zip" << int(MsgBox::No) << "";
        QTest::newRow("existing replaced") << "/report.zip" << "report.zip" << int(MsgBox::Yes)
                                           << done;
        QTest::newRow("unwritable folder") << "/report.zip" << "afile/report.zip" << 0
                                           << "Failed: The file could not be written in ";
        QTest::newRow("hostile name") << "/hostile" << "" << 0 << "Done: ";
        QTest::newRow("longest name") << "/report.zip" << QString(251, 'n') + ".zip" << 0 << done;
        QTest::newRow("full disk")
            << "/report.zip" << "report.zip" << 0
            << "Failed: Insufficient space on the target drive. Nothing was saved.";
    }
    void download()
    {
        QFETCH(QString, path);
        QFETCH(QString, answer);
        QFETCH(int, replace);
        QFETCH(QString, end);
        TestFrame t;
        t.engine->timings().stallLimitMs = 3000;
        const QString folder = t.homeDir() + "/Downloads", target = folder + '/' + answer;
        const bool small = end.contains("space");
        QVERIFY(QDir().mkpath(folder));
        const SmallDisk disk(small ? folder : QString());
        if (small)
            SKIP_UNLESS_MOUNTED(disk);
        writeFile(folder + "/afile"); // a file where a folder is wanted
        if (replace) {
            writeFile(target, "mine");
            t.prompter.answers = { MsgBox::Answer(replace) };
        }
        Form1 *w = VERIFIED(t.openPage(url("/cookie")));
        QString offered;
        t.prompter.whileOpen = [&](const RecordingPrompter::Asked &a) {
            if (a.style == RecordingPrompter::SaveQuestion && offered.isEmpty()) {
                offered = a.text;
                t.prompter.saves = { answer.isEmpty() ? a.text : target };
            }
        };
        go(w, url(path));
        QTRY_VERIFY_WITH_TIMEOUT(!offered.isEmpty(), 20000);
        QTRY_VERIFY2(!t->Timer1->isActive(), "the progress timer runs on");
        QCOMPARE(offered.section('/', 0, -2), folder);
        const QString name = offered.section('/', -1);
        if (path == "/hostile")
            QVERIFY2(name.toUtf8().size() <= 200 && name.endsWith(".gz") && !name.startsWith('.')
                    && !name.contains(QChar(1)), qPrintable(name));
        else
            QCOMPARE(name, QFileInfo(path).fileName());
        const QString finalPath = answer.isEmpty() ? offered : target;
        const bool saved = end.startsWith("Done");
        if (end.isEmpty()) { // declined to replace: asked again, and nothing is fetched
            QTRY_COMPARE(t.prompter.asked.size(), 3);
            QCOMPARE(t.prompter.box(1),
                target + " already exists.\nDo you want to replace it?|Save As|308");
            QCOMPARE(t.prompter.asked.at(2).style, int(RecordingPrompter::SaveQuestion));
            QTest::qWait(500);
            QVERIFY(downloadWindows(t).isEmpty());
        } else {
            if (path == "/endless.bin") { // cancelled once under way
                QTRY_VERIFY_WITH_TIMEOUT(!downloadWindows(t).isEmpty(), 10000);
                DownloadWindow *window = downloadWindows(t).first();
                QTRY_VERIFY_WITH_TIMEOUT(window->statusText().contains(" of 100.0 MiB")
                        && !window->statusText().startsWith("0 bytes"), 10000);
                auto *cancel = VERIFIED(childOf<QPushButton>(window, "cmdCancel"));
                cancel->click();
            }
            const QString text = endOf(t);
            QVERIFY2(text.startsWith(end), qPrintable(text));
            if (saved)
                QCOMPARE(text.section(" saved in ", 1), QFileInfo(finalPath).path());
            const DownloadWindow *window = downloadWindows(t).value(0);
            QVERIFY(window && window->windowTitle().contains(QFileInfo(finalPath).fileName()));
            QTest::qWait(300); // the engine's own clean-up after a failure
        }
        const QByteArray sent
            = path == "/hostile" ? QByteArray("x") : path.endsWith(".pdf") ? m_pdf : m_big;
        QCOMPARE(readFile(finalPath), saved ? sent : replace ? "mine" : "<missing>");
        QStringList left = filesIn(folder);
        QVERIFY2(left.removeOne("afile"), "the file in the way is no longer a file");
        QCOMPARE(left, QStringList(saved || replace ? 1 : 0, QFileInfo(finalPath).fileName()));
        if (path != "/endless.bin")
            return;
        // Once it has ended, a file by its partial's name is another program's.
        QTest::qWait(1500);
        writeFile(finalPath + ".part", "theirs");
        t.frame.reset();
        t.engine.reset();
        QCOMPARE(readFile(finalPath + ".part"), "theirs");
    }

    // Three at once from one page, its window closed while they run: all arrive whole. A page
    // saved as asks nothing more. One that never ends is cancelled by quitting, leaving nothing.
    void downloadsOutliveTheirWindowAndEndAtQuit()
    {
        TestFrame t;
        const QString folder = t.homeDir() + "/Downloads";
        Form1 *w = VERIFIED(t.openPage(url("/links")));
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
        w = VERIFIED(t.openPage(url("/cookie")));
        const QString page = t.homeDir() + "/saved.html";
        pageOf(w)->save(page, QWebEngineDownloadRequest::SingleHtmlSaveFormat);
        QTRY_VERIFY_WITH_TIMEOUT(readFile(page).contains("<title>[]</title>"), 20000);
        QCOMPARE(t.prompter.asked.size(), 3);
        QCOMPARE(downloadWindows(t).size(), 3);
        w->wb->Navigate(url("/endless.bin"));
        QTRY_VERIFY_WITH_TIMEOUT(!filesIn(folder).filter("endless").isEmpty(), 20000);
        // The same name again while it runs: asked about, and No keeps the first.
        t.prompter.whileOpen = [&](const RecordingPrompter::Asked &a) {
            if (a.style == RecordingPrompter::SaveQuestion && t.prompter.asked.size() == 5)
                t.prompter.saves = { a.text };
        };
        t.prompter.answers = { MsgBox::No };
        w->wb->Navigate(url("/endless.bin"));
        QTRY_COMPARE_WITH_TIMEOUT(t.prompter.asked.size(), 7, 20000);
        QCOMPARE(t.prompter.box(5),
            folder + "/endless.bin is being downloaded.\nDo you want to replace it?|Save As|308");
        QCOMPARE(downloadWindows(t).size(), 4);
        // Quitting asks about the download still running: No keeps Orvane and the download.
        t.prompter.answers = { MsgBox::Yes, MsgBox::No };
        t->exit_Click();
        QCOMPARE(t.quits, 0);
        QCOMPARE(t.prompter.box(8),
            "1 download is still running. Quit and cancel it?|Downloads|292");
        QCOMPARE(t.engine->runningDownloads(), 1);
        t.prompter.answers = { MsgBox::Yes, MsgBox::Yes };
        t->exit_Click();
        QCOMPARE(t.quits, 1);
        QTest::qWait(300);
        t.frame.reset();
        t.engine.reset();
        QTest::qWait(500);
        QCOMPARE(filesIn(folder), QStringList({ "first.bin", "second.bin", "third.bin" }));
    }

    // A PDF shows in the window; one the server sends as an attachment is a download.
    void pdfShownUnlessAnAttachment()
    {
        TestFrame t;
        Form1 *w = VERIFIED(t.openPage(url("/cookie")));
        go(w, url("/shown.pdf"));
        QTRY_COMPARE_WITH_TIMEOUT(w->wb->LocationURL(), url("/shown.pdf"), 20000);
        QVERIFY(waitForComplete(w) || pageOf(w)->url() == QUrl(url("/shown.pdf")));
        QTest::qWait(1000);
        QVERIFY2(t.prompter.asked.isEmpty(), qPrintable(t.prompter.box()));
        QVERIFY(downloadWindows(t).isEmpty());
    }

    void pageAskingOnAndOn_data();
    void pageAskingOnAndOn();

    // One request per login answer, Cancel showing what the server sent; an untrusted site
    // is not fetched unless accepted, and never says "Done". Accepted lasts for this run only.
    // A window closed while asked takes the answer with it, and the program goes on.
    void siteQuestion_data()
    {
        QTest::addColumn<bool>("tls");
        // Passwords, or Yes or No, then Cancel; "real": the real dialogs, answered ann/right and
        // Return; "close": the window closes while asked.
        QTest::addColumn<QStringList>("replies");
        QTest::addColumn<QStringList>("asked");
        QTest::addColumn<int>("fetched"); // requests the server had
        QTest::addColumn<QString>("title"); // of the page, when it opens
        QTest::addColumn<QString>("status");
        const QString asks = "The site " + m_server.site()
            + " asks for a name and a password.\nRealm: Orvane test|Log in|";
        const QString login = asks + "-2";
        const QStringList twice { login, "That name and password were refused.\n" + login };
        const QString site = m_tls.site();
        const QString reason = "issued by an unknown authority, or by the site itself";
        const QString certText = "The certificate of " + site + " is not trusted: it was "
            + reason + ".\n\nSomeone may be posing as this site to read what you send it."
            + "\n\nGo on to " + site
            + " anyway? Orvane will trust this certificate until it is closed.|Untrusted site|";
        const QString cert = certText + "308";
        const QString refused =
            "Not opened: the certificate of " + site + " is not trusted (it was " + reason + ")";
        const QStringList real { "real" }, close { "close" };
        QTest::newRow("login: wrong, then right")
            << false << QStringList { "wrong", "right" } << twice << 3 << "Welcome" << "Done";
        QTest::newRow("login: cancelled")
            << false << QStringList() << QStringList { login } << 1 << "Refused" << "Done";
        QTest::newRow("login: wrong, then cancelled")
            << false << QStringList { "wrong" } << twice << 2 << "Refused" << "Done";
        QTest::newRow("login: the real dialog, the password hidden")
            << false << real << QStringList { asks + "hidden" } << 2 << "Welcome" << "Done";
        QTest::newRow("login: its window closed")
            << false << close << QStringList { login } << 1 << "" << "";
        QTest::newRow("certificate: refused, the default")
            << true << QStringList { "No" } << QStringList { cert } << 0 << "" << refused;
        QTest::newRow("certificate: the real box, Return means No")
            << true << real << QStringList { certText + "&No" } << 0 << "" << refused;
        QTest::newRow("certificate: accepted for this run")
            << true << QStringList { "Yes" } << QStringList { cert } << 1 << "Secure page"
            << "Done";
        QTest::newRow("certificate: its window closed")
            << true << close << QStringList { cert } << 0 << "" << "";
    }
    void siteQuestion()
    {
        QFETCH(bool, tls);
        QFETCH(QStringList, replies);
        QFETCH(QStringList, asked);
        QFETCH(int, fetched);
        QFETCH(QString, title);
        QFETCH(QString, status);
        TestServer &server = tls ? m_tls : m_server;
        const QString path = tls ? "/" : "/private";
        const bool real = replies == QStringList { "real" };
        TestFrame t(true, true, real ? TestFrame::Real : TestFrame::Recorded);
        QStringList boxes; // as asked
        DialogAnswerer answerer([&](QWidget *modal) {
            auto *password = modal->findChild<QLineEdit *>("txtPassword");
            if (auto *box = qobject_cast<QMessageBox *>(modal)) {
                boxes.append(
                    box->text() + '|' + box->windowTitle() + '|' + box->defaultButton()->text());
                QTest::keyClick(box, Qt::Key_Return);
            } else if (auto *label = modal->findChild<QLabel *>(); label && password) {
                boxes.append(label->text() + '|' + modal->windowTitle() + '|'
                    + (password->echoMode() == QLineEdit::Password ? "hidden" : "shown"));
                modal->findChild<QLineEdit *>("txtUser")->setText("ann");
                password->setText("right");
                qobject_cast<QDialog *>(modal)->accept();
            }
        });
        for (const QString &reply : replies) {
            t.prompter.logins.append({ "ann", reply });
            t.prompter.answers.append(reply == "Yes" ? MsgBox::Yes : MsgBox::No);
        }
        QPointer<Form1> w = t->new_Click();
        QVERIFY(waitForComplete(w));
        if (replies == QStringList { "close" })
            t.prompter.whileOpen = [&](const auto &) {
                w->Unload();
                flushDeletes();
            };
        QSignalSpy said(w->wb, &WebBrowser::StatusTextChange);
        const int before = server.hits(path);
        go(w, server.url(path));
        QVERIFY(status.isEmpty() ? QTest::qWaitFor([&] { return !w; }, 20000) : waitForComplete(w));
        for (int i = 0; i < t.prompter.asked.size(); ++i)
            boxes.append(t.prompter.box(i));
        QCOMPARE(boxes, asked);
        if (status.isEmpty()) { // the answer went nowhere; the next window is asked anew
            QTest::qWait(500);
            QCOMPARE(server.hits(path) - before, fetched);
            t.prompter.whileOpen = nullptr;
            t.prompter.logins = { { "ann", "right" } };
            t.prompter.answers = { MsgBox::Yes };
            QCOMPARE(titleOf(t, server.url(path)), tls ? "Secure page" : "Welcome");
            return;
        }
        if (!title.isEmpty())
            QTRY_COMPARE(w->Caption(), title);
        QCOMPARE(w->Stbar1Panel1->text(), status);
        QVERIFY(status == "Done" || !said.contains(QVariantList { "Done" }));
        QCOMPARE(server.hits(path) - before, fetched);
        if (title == "Refused")
            QVERIFY(waitForScript(
                w, "document.body.innerText.includes('Refused by the test server')"));
        if (title == "Refused" || status != "Done" || real)
            return;
        QCOMPARE(titleOf(t, server.url(path)), title);
        QCOMPARE(t.prompter.asked.size(), asked.size());
        t.restart();
        QVERIFY(t.openPage(server.url(path)));
        QCOMPARE(t.prompter.asked.size(), asked.size() + 1);
        QDirIterator it(t.homeDir(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (!tls && it.hasNext()) {
            const QString file = it.next();
            QVERIFY2(!readFile(file).contains("right"), qPrintable(file));
        }
    }

    void dialogsInARow_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<int>("declined"); // offers passed over before the user takes one
        QTest::addColumn<QString>("results"); // what the page gets from six calls in a row
        QTest::newRow("alert") << "alert('a' + i)" << 0 << "[null,null,null,null,null,null]";
        QTest::newRow("confirm, offer declined twice")
            << "confirm('c' + i)" << 2 << "[true,true,true,true,true,false]";
        QTest::newRow("prompt") << "prompt('p' + i, 'd')" << 0
                                << "[\"typed\",\"typed\",\"typed\",null,null,null]";
    }
    void dialogsInARow()
    {
        QFETCH(QString, call);
        QFETCH(int, declined);
        QFETCH(QString, results);
        TestFrame t;
        Form1 *w = VERIFIED(t.openPage(url("/blank")));
        int offers = 0;
        t.prompter.onPageDialog = [&](PageDialog *d) {
            d->value = "typed";
            d->stop = d->offerStop && offers++ == declined;
            return true;
        };
        pageOf(w)->runJavaScript("var r = []; for (var i = 0; i < 6; ++i) r.push(" + call
            + "); document.title = '=' + JSON.stringify(r);");
        QCOMPARE(titleOnceSet(w), results);
        // Titled by the site alone; the offer from the third in a row on, until taken.
        const QList<PageDialog> &shown = t.prompter.pageDialogs;
        QCOMPARE(shown.size(), 3 + declined);
        for (int i = 0; i < shown.size(); ++i) {
            QCOMPARE(shown.at(i).site, site());
            QCOMPARE(shown.at(i).offerStop, i >= 2);
        }
        QCOMPARE(shown.first().text, call.at(0) + QStringLiteral("0"));
        // Loaded again, the page may show dialogs again; the first is no offer.
        w->Toolbar1_ButtonClick(5);
        QVERIFY(waitForComplete(w));
        pageOf(w)->runJavaScript("alert('again'); document.title = '=done';");
        QCOMPARE(titleOnceSet(w), "done");
        QCOMPARE(shown.size(), 4 + declined);
        QVERIFY(shown.last().text == "again" && !shown.last().offerStop);
    }

    void windowGoesWhileDialogIsOpen_data()
    {
        // Not by a script: the opener's renderer, which the page shares, waits for the answer.
        QTest::addColumn<QString>("how");
        QTest::newRow("cascade") << "cascade";
        QTest::newRow("frame") << "frame";
        QTest::newRow("frame deleted, as at the end") << "destroyed";
    }
    void windowGoesWhileDialogIsOpen()
    {
        QFETCH(QString, how);
        TestFrame t(true, true, TestFrame::Real);
        Form1 *top = VERIFIED(t.openPage(url("/opener")));
        // The real boxes: Yes to the new window; the page's dialog left open while its
        // window goes, closed from a timer of its own so this one stays free to answer.
        QPointer<PageDialogBox> box;
        QString boxTitle;
        DialogAnswerer answerer([&](QWidget *modal) {
            if (auto *question = qobject_cast<QMessageBox *>(modal)) {
                question->button(QMessageBox::Yes)->click();
            } else if (auto *dialog = qobject_cast<PageDialogBox *>(modal); dialog && !box) {
                box = dialog;
                boxTitle = dialog->windowTitle();
                QTimer::singleShot(0, [&] {
                    if (how == "cascade")
                        top->Unload();
                    else if (how == "frame")
                        t->close();
                    else
                        t.frame.reset();
                });
            }
        });
        pageOf(top)->runJavaScript("var w = window.open('/blank');");
        QTRY_COMPARE_WITH_TIMEOUT(t->forms().size(), 2, 20000);
        Form1 *w = lastWindow(t.frame.get());
        QVERIFY(waitForScript(
            w, "location.pathname == '/blank' && document.readyState == 'complete'"));
        QPointer<Form1> window(w);
        QPointer<QWebEngineView> view(viewOf(w));
        pageOf(w)->runJavaScript("alert('open'); alert('and another');");
        QTRY_VERIFY_WITH_TIMEOUT(!boxTitle.isEmpty(), 30000);
        // The dialog ended with its window; the window, its view and page are gone.
        QTRY_VERIFY_WITH_TIMEOUT(!box, 10000);
        flushDeletes();
        QTRY_VERIFY(!window && !view);
        QCOMPARE(boxTitle, site());
        if (how == "cascade")
            QCOMPARE(t->forms().size(), 0);
    }

    void permissions_data()
    {
        QTest::addColumn<QString>("request");
        QTest::addColumn<int>("answer"); // -1: its window closed while asked
        QTest::addColumn<QString>("received"); // a pattern, for this window and the next
        const QString location = "navigator.geolocation.getCurrentPosition("
            "function () { done('position'); }, function (e) { done('error ' + e.code); },"
            " { timeout: 3000 });";
        const QString notify = "Notification.requestPermission().then(done);";
        QTest::newRow("location, No") << location << 7 << "error 1";
        QTest::newRow("location, Yes") << location << 6 << "(?!error 1$).+";
        QTest::newRow("notifications, No") << notify << 7 << "denied";
        QTest::newRow("notifications, Yes") << notify << 6 << "granted";
        QTest::newRow("window closed while asked") << notify << -1 << "denied";
    }
    void permissions()
    {
        QFETCH(QString, request);
        QFETCH(int, answer);
        QFETCH(QString, received);
        const QString asks = request.contains("geo") ? "know your location" : "show notifications";
        const QRegularExpression expected(QRegularExpression::anchoredPattern(received));
        // A site of its own (a port of its own): answers are remembered per site.
        TestServer site;
        site.page("/p", "<title>P</title><script>function done(v) { document.title = '=' + v; }"
                        "</script>");
        QVERIFY(site.start());
        TestFrame t;
        QPointer<Form1> w = VERIFIED(t.openPage(site.url("/p")));
        t.prompter.answers = { MsgBox::Answer(answer), MsgBox::No };
        if (answer < 0)
            t.prompter.whileOpen = [&](const auto &) {
                if (w)
                    w->Unload();
                flushDeletes();
            };
        pageOf(w)->runJavaScript(request);
        QTRY_COMPARE_WITH_TIMEOUT(t.prompter.asked.size(), 1, 20000);
        const QString name = site.url("/").chopped(1);
        QCOMPARE(t.prompter.box(), name + " wants to " + asks + ".\r\nAllow it?|" + name + "|36");
        QString got = answer < 0 ? QString() : titleOnceSet(w);
        QVERIFY2(answer < 0 || expected.match(got).hasMatch(), qPrintable(got));
        QTRY_VERIFY(answer >= 0 || !w);
        // Another window of the same site: the same answer at once when it was answered,
        // asked again (and No) when its window went unanswered.
        Form1 *again = VERIFIED(t.openPage(site.url("/p")));
        pageOf(again)->runJavaScript(request);
        got = titleOnceSet(again);
        QVERIFY2(expected.match(got).hasMatch(), qPrintable(got));
        QCOMPARE(t.prompter.asked.size(), answer < 0 ? 2 : 1);
        // Another feature of the same site is a question of its own.
        const int before = t.prompter.asked.size();
        pageOf(again)->runJavaScript(asks.contains("location")
                ? "Notification.requestPermission()"
                : "navigator.geolocation.getCurrentPosition(() => 0)");
        QTRY_COMPARE_WITH_TIMEOUT(t.prompter.asked.size(), before + 1, 20000);
        QVERIFY(!t.prompter.box(before).contains(asks));
    }

    void printsToPdf_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("status");
        QTest::newRow("to a file") << "out.pdf" << "Printed to %1.";
        QTest::newRow("into a missing folder")
            << "missing/out.pdf" << "Printing to %1 failed: its folder does not exist.";
    }
    void printsToPdf()
    {
        QFETCH(QString, file);
        QFETCH(QString, status);
        TestFrame t;
        Form1 *w = VERIFIED(t.openPage(url("/text")));
        const QString path = t.homeDir() + "/" + file;
        QStringList offered; // without a printer: a PDF named after the page
        t.prompter.onPrinter = [&](QPrinter *printer) {
            offered << printer->outputFileName();
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(path);
            return true;
        };
        QElapsedTimer clock;
        clock.start();
        QTest::keySequence(w->cmbadress, QKeySequence(Qt::CTRL | Qt::Key_P));
        QCOMPARE(w->Stbar1Panel1->text(), QStringLiteral("Printing to %1 ...").arg(path));
        QTRY_COMPARE_WITH_TIMEOUT(w->Stbar1Panel1->text(), status.arg(path), 60000);
        const auto downloads = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
        QCOMPARE(offered, QStringList { downloads + "/Text.pdf" });
        if (file.contains("missing"))
            return;
        // Then where the last one went, in this run; Save Page too.
        t.prompter.onPrinter = [&](QPrinter *p) { return offered << p->outputFileName(), false; };
        w->run(Form1::Command::Print);
        QCOMPARE(offered.value(1), t.homeDir() + "/Text.pdf");
        w->run(Form1::Command::Save);
        QCOMPARE(t.prompter.others.last(), "save Save.. " + t.homeDir() + "/text");
        QVERIFY2(clock.elapsed() < 20000, qPrintable(QString::number(clock.elapsed())));
        // The engine's own PDF: fonts and text, no page pictures, kilobytes in size.
        const QByteArray pdf = readFile(path);
        QVERIFY2(pdf.startsWith("%PDF-") && pdf.size() < 500 * 1024,
            qPrintable(QString::number(pdf.size())));
        QVERIFY(pdf.contains("/FontFile") && pdf.contains("/ToUnicode"));
        QVERIFY(!pdf.contains("/Subtype /Image") && !pdf.contains("/Subtype/Image"));
        QVERIFY2(pdf.count("/Type /Page\n") + pdf.count("/Type /Page>") + pdf.count("/Type/Page/")
                >= 5 || pdf.count("/Page") > 5, "fewer pages than the text fills");
    }

    void linksForOtherPrograms_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<int>("answer"); // 0: never asked
        QTest::addColumn<bool>("handler");
        QTest::addColumn<QString>("status");
        QTest::newRow("mailto, Yes") << "mailto:someone@example.com" << 6 << true
                                     << "Opened with another program: mailto:someone@example.com";
        QTest::newRow("irc, No") << "irc://irc.example.com/chan" << 7 << true << "";
        QTest::newRow("tel, Yes, no program for it")
            << "tel:+15551234" << 6 << false << "No program is set up to open tel: addresses.";
        QTest::newRow("file, never handed on") << "file:///etc/hostname" << 0 << true << "";
    }
    void linksForOtherPrograms()
    {
        QFETCH(QString, address);
        QFETCH(int, answer);
        QFETCH(bool, handler);
        QFETCH(QString, status);
        const QString scheme = QUrl(address).scheme();
        Handler desktop;
        if (handler)
            QDesktopServices::setUrlHandler(scheme, &desktop, "open");
        auto unset = qScopeGuard([&] { QDesktopServices::unsetUrlHandler(scheme); });
        TestFrame t;
        Form1 *w = VERIFIED(t.openPage(url("/links")));
        t.prompter.answers = { MsgBox::Answer(answer) };
        QVERIFY(waitForScript(w, "document.getElementById('a').href = '" + address + "'; true"));
        QWidget *view = viewOf(w)->focusProxy();
        QVERIFY2(view && view->isVisible(), "the page shows nowhere to click");
        // Clicked again while its question is open: still one question.
        t.prompter.whileOpen = [&](const auto &) {
            QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(50, 50));
            QTest::qWait(500);
        };
        QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(50, 50));
        if (answer) {
            QTRY_COMPARE_WITH_TIMEOUT(t.prompter.asked.size(), 1, 20000);
            QCOMPARE(t.prompter.box(),
                site() + " wants to open this address with another program:\r\n" + address
                    + "\r\nOpen it?|Open another program|36");
        }
        QTest::qWait(answer ? 300 : 1500);
        QCOMPARE(t.prompter.asked.size(), answer ? 1 : 0);
        QCOMPARE(desktop.opened, answer == 6 && handler ? QStringList { address } : QStringList());
        if (!status.isEmpty())
            QTRY_COMPARE(w->Stbar1Panel1->text(), status);
        QCOMPARE(w->wb->LocationURL(), url("/links"));
    }
};

void tst_sites::pageAskingOnAndOn_data()
{
    QTest::addColumn<QString>("ask"); // what the page does every 100 ms
    QTest::newRow("a download link") << "document.getElementById('one').click()";
    QTest::newRow("an attachment's address") << "location = '/report.zip'";
}

// Two No's in a row and the page is asked no more, until it is loaded again.
void tst_sites::pageAskingOnAndOn()
{
    QFETCH(QString, ask);
    TestFrame t;
    t.engine->timings().questionRowGapMs = 60000; // a busy machine may take seconds per ask
    Form1 *w = t.openPage(url("/links"));
    QVERIFY(w);
    const QString loop = "var loop = setInterval(() => " + ask + ", 100)";
    pageOf(w)->runJavaScript(loop);
    QTRY_COMPARE_WITH_TIMEOUT(t.prompter.asked.size(), 2, 20000); // a busy machine is slow to ask
    QTRY_VERIFY2_WITH_TIMEOUT(w->Stbar1Panel1->text().startsWith("Not downloaded: "),
                              qPrintable(w->Stbar1Panel1->text()), 20000);
    QCOMPARE(t.prompter.asked.size(), 2);
    QVERIFY(waitForScript(w, "clearInterval(loop); true")); // or its navigations cut the reload
    QSignalSpy loaded(pageOf(w), &QWebEnginePage::loadFinished);
    w->Toolbar1_ButtonClick(5);
    // Loaded again, not only a last refused navigation ended.
    QTRY_VERIFY_WITH_TIMEOUT(loaded.contains(QVariantList { true }), 30000);
    QVERIFY(waitForScript(w, "typeof loop == 'undefined'"));
    pageOf(w)->runJavaScript(loop);
    QTRY_COMPARE_WITH_TIMEOUT(t.prompter.asked.size(), 4, 30000);
    QTRY_VERIFY_WITH_TIMEOUT(w->Stbar1Panel1->text().startsWith("Not downloaded: "), 30000);
    QCOMPARE(t.prompter.asked.size(), 4);
    QVERIFY(downloadWindows(t).isEmpty());
    // Windows closed while their pages still ask: the program goes on.
    for (int i = 0; i < 3; ++i) {
        Form1 *other = t.openPage(url("/links"));
        QVERIFY(other);
        pageOf(other)->runJavaScript(loop);
        QTest::qWait(150 * i);
        other->Unload();
        flushDeletes();
    }
    // Past the time a request may still come from a page gone: a window that is
    // closing asks nothing for its page.
    QTest::qWait(t.engine->timings().pageGoneGraceMs + 500);
    Form1 *closing = t.openPage(url("/links"));
    QVERIFY(closing);
    const int asked = t.prompter.asked.size();
    closing->wb->Close();
    pageOf(closing)->runJavaScript("document.getElementById('one').click()");
    QTest::qWait(1500);
    QCOMPARE(t.prompter.asked.size(), asked);
}

ORVANE_TEST_MAIN(tst_sites)
#include "tst_sites.moc"
