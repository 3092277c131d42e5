// Hostile input: malformed files, pages that misbehave, servers that fail, and a
// crowded shutdown. Every case is bounded in time; servers listen on 127.0.0.1 only.
#include "BrowserTestUtil.h"
#include "TestFrame.h"
#include "TestServer.h"
#include "browser/webengine/WebEngineBrowser.h"
#include "dialogs/Module2.h"
#include "dialogs/frmEdit.h"
#include "forms/SettingsFile.h"
#include "forms/TreeView.h"
#include "sidebar/Favorites.h"
#include "sidebar/Shortcut.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QWebEnginePage>
#include <QtTest>
#include <httplib.h>

#include <atomic>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

// ---- file oracles, written independently of the readers ----

// Lines as a reader accepting CR LF, LF or CR sees them; a final line break ends
// the last line rather than starting an empty one.
QList<QByteArray> linesOf(QByteArray data)
{
    data.replace("\r\n", "\n");
    data.replace('\r', '\n');
    QList<QByteArray> lines = data.split('\n');
    if (data.isEmpty() || data.endsWith('\n'))
        lines.removeLast();
    return lines;
}

QByteArray randomBytes(QRandomGenerator &rng, int size)
{
    QByteArray b(size, '\0');
    for (char &c : b)
        c = char(rng.bounded(256));
    return b;
}

// Random, mutated (flips, insertions and deletions favouring the bytes readers care
// about), NUL-laden, overlong and badly encoded contents around a valid file.
QList<QByteArray> fuzzCases(quint32 seed, const QByteArray &valid, const QByteArray &marker)
{
    static const char interesting[] = { '\0', '\r', '\n', '[', ']', '=', char(0xC3), char(0xFF) };
    QRandomGenerator rng(seed);
    QList<QByteArray> cases = { QByteArray(), valid, valid.left(valid.size() - 2),
                                QByteArray("\r\n\r\n"), QByteArray("\r"), QByteArray("\0", 1) };
    for (int i = 0; i < 100; ++i) {
        QByteArray data = valid;
        for (int edits = 1 + rng.bounded(6); edits > 0; --edits) {
            const int pos = rng.bounded(int(data.size()) + 1);
            const char c = rng.bounded(2) ? interesting[rng.bounded(int(sizeof interesting))]
                                          : char(rng.bounded(256));
            const int op = rng.bounded(3);
            if (op == 1 || pos == data.size())
                data.insert(pos, c);
            else if (op == 0)
                data[pos] = c;
            else
                data.remove(pos, 1);
        }
        cases << data << randomBytes(rng, rng.bounded(400));
    }
    QByteArray bad = valid;
    bad.insert(valid.size() / 2, QByteArray("\xC3\x28\xF0\x28\x8C\x28\xFF\0\xFE", 9));
    cases << bad << QByteArray(200000, 'x') << QByteArray(70000, '\0')
          << marker + QByteArray(100000, 'a') << QByteArray(100000, 'b') + "\r\n" + valid
          << marker + QByteArray(70000, 'c') + "\n" + valid << QByteArray(5000, '\r') + valid
          << QByteArray(5000, '\n') + valid;
    return cases;
}

void runScript(Form1 *w, const QString &script)
{
    static_cast<WebEngineBrowser *>(w->wb)->page()->runJavaScript(script);
}

// Types an address and clicks Go, as a user would.
void go(Form1 *w, const QString &address)
{
    w->cmbadress->setEditText(address);
    w->gnet_ButtonClick(1);
}

// Timers still tick and the frame still opens a New Window.
bool stillResponsive(TestFrame &t)
{
    int ticks = 0;
    QTimer timer;
    timer.setInterval(20);
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start();
    QTest::qWait(400);
    if (ticks < 5) {
        qWarning("timer ticked %d times in 400 ms", ticks);
        return false;
    }
    const int before = int(t->forms().size());
    t->new_Click();
    return t->forms().size() == before + 1 && lastWindow(t.frame.get())->subWindow();
}

} // namespace

class tst_hostile : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();

    // Settings file and shortcut files.
    void settingsFileFuzz();
    void shortcutFileFuzz();
    void specialFilesDoNotBlock();
    void countPastSixteenBits();

    // Pages.
    void pageThatNeverFinishes();
    void windowRequestsRefusedInALoop();
    void windowFromUnloadHandler();
    void oddAddresses();

    // Edit Page against a faulty server.
    void editPageFailuresAreBounded_data();
    void editPageFailuresAreBounded();
    void editPageBinaryBody();

private:
    TestServer m_server;
    std::atomic<bool> m_stop{ false };
    std::atomic<int> m_redirects{ 0 };
};

void tst_hostile::initTestCase()
{
    m_server.page(QStringLiteral("/markup"),
                  "<html><head><title><b>bold</b> <i onmouseover=\"x()\">it</i></title></head>"
                  "<body><a href=\"<b>\">x</a></body></html>");
    m_server.page(QStringLiteral("/page"), "<html><head><title>Plain</title></head></html>");
    m_server.page(QStringLiteral("/child"), "<html><head><title>Child</title></head></html>");
    m_server.page(QStringLiteral("/many"),
                  "<html><head><title>Many</title></head><body><script>"
                  "for (var i = 0; i < 20; ++i) window.open('/child');</script></body></html>");
    m_server.page(QStringLiteral("/unload"),
                  "<html><head><title>Unload</title></head><body><script>"
                  "addEventListener('unload', function () { window.open('/child'); });"
                  "addEventListener('pagehide', function () { window.open('/child'); });"
                  "addEventListener('beforeunload', function () { window.open('/child'); });"
                  "</script></body></html>");
    QByteArray nul("<html>\0\0\0after-nul\0tail", 24);
    m_server.page(QStringLiteral("/nul"), nul);
    // Promises 100,000 bytes, sends 3,000 and drops the connection.
    m_server.server().Get("/cut", [](const httplib::Request &, httplib::Response &res) {
        res.set_content_provider(100000, "text/html",
                                 [](size_t, size_t, httplib::DataSink &sink) {
                                     const std::string part(3000, 'r');
                                     sink.write(part.data(), part.size());
                                     return false;
                                 });
    });
    m_server.server().Get("/loop", [this](const httplib::Request &, httplib::Response &res) {
        ++m_redirects;
        res.set_redirect("/loop");
    });
    // Sends a start, then holds the response open for a bounded time.
    m_server.server().Get("/stall", [this](const httplib::Request &, httplib::Response &res) {
        res.set_chunked_content_provider("text/html", [this](size_t, httplib::DataSink &sink) {
            const std::string start = "<html><head><title>Slow</title></head><body>";
            sink.write(start.data(), start.size());
            for (int i = 0; i < 80 && !m_stop; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            sink.done();
            return true;
        });
    });
    QVERIFY(m_server.start());
}

void tst_hostile::cleanupTestCase()
{
    m_stop = true;
}

void tst_hostile::settingsFileFuzz()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Orvane.ini"));
    const QList<QByteArray> cases =
            fuzzCases(0x0A11CE, "[New Window]\r\nFocus\r\n", "[New Window]");
    int focus = 0;
    for (int i = 0; i < cases.size(); ++i) {
        const QByteArray &data = cases.at(i);
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(data);
        f.close();

        const QList<QByteArray> lines = linesOf(data);
        const bool header = !lines.isEmpty() && lines.first() == "[New Window]";
        const bool complete = !lines.isEmpty() && (!header || lines.size() > 1);
        const QByteArray held = complete ? lines.at(header ? 1 : 0) : QByteArray();

        const SettingsRead r = ReadSettingsFile(path);
        const QByteArray name = "case " + QByteArray::number(i);
        QVERIFY2(r.ok == complete, name.constData());
        if (r.ok) {
            QVERIFY2((r.mode == NewWindowMode::Focus) == (held == "Focus"), name.constData());
            focus += r.mode == NewWindowMode::Focus;
        } else {
            QVERIFY2(r.code == FileError::PastEnd && !r.description.isEmpty(), name.constData());
        }
    }
    QVERIFY(focus > 0); // the mutations keep some files valid
}

void tst_hostile::shortcutFileFuzz()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("site.url"));
    const QList<QByteArray> cases = fuzzCases(
            0xB0B, "[InternetShortcut]\r\nURL=http://127.0.0.1/a\r\nBASEURL=http://127.0.0.1/b\r\n",
            "BASEURL=");
    int found = 0;
    for (int i = 0; i < cases.size(); ++i) {
        const QByteArray &data = cases.at(i);
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(data);
        f.close();

        // Every line that could be the address, in order; overlong ones may be passed over.
        QList<QByteArray> candidates;
        bool overlongFirst = false;
        for (const QByteArray &line : linesOf(data)) {
            if (!line.startsWith("BASEURL="))
                continue;
            candidates << line.mid(8);
            if (line.size() <= 60000)
                break;
            if (candidates.size() == 1)
                overlongFirst = true;
        }
        const std::optional<QString> r = ReadShortcutAddress(path);
        const QByteArray name = "case " + QByteArray::number(i);
        if (candidates.isEmpty()) {
            QVERIFY2(!r, name.constData());
            continue;
        }
        if (!overlongFirst) {
            QVERIFY2(r && *r == QString::fromLocal8Bit(candidates.first()), name.constData());
            ++found;
            continue;
        }
        // Behind an overlong line: the next address, or none, but never garbage.
        bool matches = !r;
        for (const QByteArray &c : candidates)
            matches = matches || (r && *r == QString::fromLocal8Bit(c));
        QVERIFY2(matches, name.constData());
    }
    QVERIFY(found > 0);
}

void tst_hostile::countPastSixteenBits()
{
    QTemporaryDir dir;
    const int files = 32800;
    for (int i = 0; i < files; ++i) {
        QFile f(dir.filePath(QStringLiteral("s%1.url").arg(i, 5, 10, QLatin1Char('0'))));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    TreeView tree(QStringLiteral("TreeFavor"));
    LoadFavoritesTree(&tree, dir.path(), true, nullptr);
    QCOMPARE(tree.Item(1)->text(0), QStringLiteral("Favorites2 (32801)"));
    QCOMPARE(tree.Item(32801)->text(0), QStringLiteral("s32799"));
}

void tst_hostile::specialFilesDoNotBlock()
{
    // A pipe with no writer, or a folder, in place of either file must not hold the program.
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("pipe"));
    QCOMPARE(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    QCOMPARE(ReadShortcutAddress(fifo), std::nullopt);
    QCOMPARE(ReadShortcutAddress(dir.path()), std::nullopt);
    QVERIFY(!ReadSettingsFile(dir.path()).ok);

    std::atomic<bool> done{ false };
    SettingsRead result;
    std::thread reader([&] {
        result = ReadSettingsFile(fifo);
        done = true;
    });
    QElapsedTimer clock;
    clock.start();
    while (!done && clock.elapsed() < 3000)
        QThread::msleep(10);
    const bool blocked = !done;
    if (blocked) {
        // Release the reader: a writer that goes away at once gives it end of file.
        const int w = ::open(fifo.toLocal8Bit().constData(), O_WRONLY | O_NONBLOCK);
        if (w >= 0)
            ::close(w);
    }
    reader.join();
    QVERIFY(!blocked);
    QVERIFY(!result.ok || result.mode == NewWindowMode::Background);
}

void tst_hostile::pageThatNeverFinishes()
{
    TestFrame t;
    t->new_Click();
    Form1 *w = lastWindow(t.frame.get());
    QSignalSpy complete(w->wb, &WebBrowser::DocumentComplete);
    m_stop = false;
    go(w, m_server.url(QStringLiteral("/stall")));
    QTRY_COMPARE_WITH_TIMEOUT(w->Caption(), QStringLiteral("Slow"), 10000);
    QVERIFY(stillResponsive(t));
    // The window can be stopped and closed while the server still holds it.
    w->wb->Stop();
    w->subWindow()->close();
    flushDeletes();
    m_stop = true;
    QVERIFY(stillResponsive(t));
}

void tst_hostile::windowRequestsRefusedInALoop()
{
    TestFrame t;
    t.prompter.defaultAnswer = 7;
    t->new_Click();
    Form1 *w = lastWindow(t.frame.get());
    go(w, m_server.url(QStringLiteral("/many")));
    QTRY_COMPARE_WITH_TIMEOUT(t.prompter.asked.size(), 20, 60000);
    QTest::qWait(500);
    QCOMPARE(t.prompter.asked.size(), 20);
    QCOMPARE(t->forms().size(), 1);
    QCOMPARE(t->webtree->Count(), 2);
    QCOMPARE(t->mdiArea()->subWindowList().size(), 1);
    QVERIFY(stillResponsive(t));
}

void tst_hostile::windowFromUnloadHandler()
{
    TestFrame t;
    t.prompter.defaultAnswer = 6;
    t->new_Click();
    Form1 *w = lastWindow(t.frame.get());
    go(w, m_server.url(QStringLiteral("/unload")));
    QTRY_COMPARE_WITH_TIMEOUT(w->Caption(), QStringLiteral("Unload"), 20000);

    // Leaving the page, then closing a window whose page asks while it goes.
    go(w, m_server.url(QStringLiteral("/page")));
    QTRY_COMPARE_WITH_TIMEOUT(w->Caption(), QStringLiteral("Plain"), 20000);
    go(w, m_server.url(QStringLiteral("/unload")));
    QTRY_COMPARE_WITH_TIMEOUT(w->Caption(), QStringLiteral("Unload"), 20000);
    w->subWindow()->close();
    flushDeletes();
    QTest::qWait(1000);
    flushDeletes();
    // Whatever opened, every registered window is whole and listed.
    for (ChildForm *f : t->forms()) {
        QVERIFY(f->subWindow());
        QVERIFY(t->mdiArea()->subWindowList().contains(f->subWindow()));
    }
    QCOMPARE(t->mdiArea()->subWindowList().size(), t->forms().size());
    QVERIFY(stillResponsive(t));
}

void tst_hostile::oddAddresses()
{
    TestFrame t;
    t->new_Click();
    Form1 *w = lastWindow(t.frame.get());
    const QStringList addresses = {
        QStringLiteral("javascript:document.title='from script'"),
        QStringLiteral("javascript:window.open('about:blank')"),
        QStringLiteral("data:text/html,<title>data</title><script>document.write('x')</script>"),
        QStringLiteral("view-source:") + m_server.url(QStringLiteral("/markup")),
        m_server.url(QStringLiteral("/")) + QString(64 * 1024, QLatin1Char('a')),
        QStringLiteral("data:,") + QString(64 * 1024, QLatin1Char('%')),
        QStringLiteral("nosuchscheme://x"),
        QString(64 * 1024, QLatin1Char('<')),
        m_server.url(QStringLiteral("/page?<script>alert(1)</script>&<b>")),
    };
    t.prompter.defaultAnswer = 7;
    for (const QString &address : addresses) {
        go(w, address);
        QTest::qWait(400);
        QVERIFY(t->forms().contains(w));
        // Nothing typed is cut: the history holds the whole address.
        QVERIFY2(w->IsInHistory(address), qPrintable(address.left(40)));
    }
    QTest::qWait(500);
    QVERIFY(stillResponsive(t));
}

void tst_hostile::editPageFailuresAreBounded_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<int>("boundMs");
    QTest::newRow("refused") << QStringLiteral("http://127.0.0.1:1/") << 3000;
    QTest::newRow("cut off mid-body") << m_server.url(QStringLiteral("/cut")) << 5000;
    QTest::newRow("stall") << m_server.url(QStringLiteral("/stall")) << 6000;
    QTest::newRow("redirect loop") << m_server.url(QStringLiteral("/loop")) << 6000;
}

void tst_hostile::editPageFailuresAreBounded()
{
    QFETCH(QString, address);
    QFETCH(int, boundMs);
    TestFrame t(true, false);
    DownloadOptions options;
    options.connectTimeoutMs = 1000;
    options.stallTimeoutMs = 1000;
    options.totalTimeoutMs = 4000;
    m_stop = false;
    m_redirects = 0;
    int ticks = 0;
    QTimer ticker;
    connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
    ticker.start(50);
    QElapsedTimer clock;
    clock.start();
    frmEdit *editor = Module2::EditPageSource(t.frame.get(), address, options);
    const qint64 elapsed = clock.elapsed();
    m_stop = true;
    // The program was not frozen while it waited.
    QVERIFY2(ticks >= elapsed / 50 / 4, qPrintable(QString::number(ticks)));
    QVERIFY(!editor);
    QCOMPARE(t.prompter.asked.size(), 1);
    QCOMPARE(t.prompter.asked.first().text, QStringLiteral("Error to Read File..."));
    QVERIFY2(elapsed < boundMs, QByteArray::number(elapsed).constData());
    QCOMPARE(t->forms().size(), 0);
    QVERIFY(m_redirects <= 11);
}

void tst_hostile::editPageBinaryBody()
{
    // NUL bytes do not cut the text short.
    TestFrame t(true, false);
    frmEdit *editor = Module2::EditPageSource(t.frame.get(), m_server.url(QStringLiteral("/nul")));
    QVERIFY(editor);
    const QString text = editor->Text1->toPlainText();
    QCOMPARE(text.size(), PageDownload::MaxBytes);
    QVERIFY(text.contains(QStringLiteral("after-nul")) && text.contains(QStringLiteral("tail")));
    QCOMPARE(t.prompter.asked.size(), 0);
}

ORVANE_TEST_MAIN(tst_hostile)

#include "tst_hostile.moc"
