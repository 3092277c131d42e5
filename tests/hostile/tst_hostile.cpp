// Hostile input: malformed files, misbehaving pages, a killed renderer; each bounded in time.
#include "TestFrame.h"

#include <csignal>

namespace {
// Lines as read with CR LF, LF or CR ends; a final break starts no empty line.
QList<QByteArray> linesOf(QByteArray data)
{
    data.replace("\r\n", "\n");
    data.replace('\r', '\n');
    QList<QByteArray> lines = data.split('\n');
    if (data.isEmpty() || data.endsWith('\n'))
        lines.removeLast();
    return lines;
}

// Settings files: line ends, blanks, case; NUL-laden, overlong, badly encoded; mutated.
QList<QByteArray> fuzzCases()
{
    static const char interesting[] = { '\0', '\r', '\n', '[', ']', char(0xC3), char(0xFF) };
    const QByteArray valid("[New Window]\r\nFocus\r\n");
    QRandomGenerator rng(0x0A11CE);
    QList<QByteArray> cases = { QByteArray(), valid, valid.left(valid.size() - 2), "\r\n\r\n", "\r",
        "Focus\r\n", "[New Window]\nFocus\n", "[New Window]\rFocus\r", valid + "Background\r\n",
        "[New Window]\r\n Focus\r\n", "[New Window]\r\nFocus \r\n", "[New Window]\r\n" + valid,
        "[New Window]\r\n\r\n", "[New Window]", QByteArray("\0", 1),
        valid.left(9) + "\xC3\x28\xFF\xFE" + valid, QByteArray(200000, 'x'),
        QByteArray(70000, '\0'), QByteArray(100000, 'b') + "\r\n" + valid,
        "[New Window]" + QByteArray(70000, 'c') + "\n" + valid, QByteArray(5000, '\r') + valid };
    for (int i = 0; i < 100; ++i) {
        QByteArray data = valid, noise;
        for (int edits = 1 + rng.bounded(6); edits > 0; --edits) {
            const char c = rng.bounded(2) ? interesting[rng.bounded(int(sizeof interesting))]
                                          : char(rng.bounded(256));
            const int op = rng.bounded(3); // replace, insert or remove a byte
            data.replace(rng.bounded(int(data.size())), op != 1, QByteArray(op != 2, c));
        }
        for (int n = rng.bounded(400); n > 0; --n)
            noise += char(rng.bounded(256));
        cases << data << noise;
    }
    return cases;
}

// Timers tick, New Window works, and every registered window is whole and listed.
bool stillResponsive(TestFrame &t)
{
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(20);
    QTest::qWait(400);
    const int before = int(t->forms().size());
    t->new_Click();
    bool whole = t->mdiArea()->subWindowList().size() == t->forms().size();
    for (ChildForm *f : t->forms())
        whole = whole && t->mdiArea()->subWindowList().contains(f->subWindow());
    return whole && ticks >= 5 && t->forms().size() == before + 1;
}
} // namespace

class tst_hostile : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase() { m_stop = true; }
    void settingsFileFuzz();
    void pagesThatMisbehave();
    void deadRendererIsSaidQuietlyAndReloads();

private:
    QString url(const char *path) const { return m_server.url(QLatin1String(path)); }
    TestServer m_server;
    std::atomic<bool> m_stop { false };
};

void tst_hostile::initTestCase()
{
    m_server.page(QStringLiteral("/page"), "<title>Plain</title>");
    m_server.page(QStringLiteral("/child"), "<title>Child</title>");
    m_server.page(QStringLiteral("/unload"),
        "<title>Unload</title><script>for (const e of ['unload', 'pagehide', 'beforeunload'])"
        "  addEventListener(e, function () { window.open('/child'); });</script>");
    httplib::Server &s = m_server.server();
    // Sends a start, then holds the response open for a bounded time.
    s.Get("/stall", [this](const auto &, auto &res) {
        res.set_chunked_content_provider("text/html", [this](size_t, httplib::DataSink &sink) {
            sink.write("<title>Slow</title>", 19);
            for (int i = 0; i < 80 && !m_stop; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            sink.done();
            return true;
        });
    });
    QVERIFY(m_server.start());
}

void tst_hostile::settingsFileFuzz()
{
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("Orvane.ini"));
    int focus = 0, i = 0;
    for (const QByteArray &data : fuzzCases()) {
        writeFile(ini, data);
        const QList<QByteArray> lines = linesOf(data);
        const bool header = !lines.isEmpty() && lines.first() == "[New Window]";
        const bool complete = !lines.isEmpty() && (!header || lines.size() > 1);
        const SettingsRead r = ReadSettingsFile(ini);
        const bool isFocus = r.mode == NewWindowMode::Focus;
        QVERIFY2(r.ok ? complete && isFocus == (lines.at(header ? 1 : 0) == "Focus")
                      : !complete && r.code == FileError::PastEnd && !r.description.isEmpty(),
            qPrintable(QString::number(i++)));
        focus += r.ok && isFocus;
    }
    QVERIFY(focus > 0); // the mutations keep some files valid
}

void tst_hostile::pagesThatMisbehave()
{
    TestFrame t;
    t->new_Click();
    Form1 *w = lastWindow(t.frame.get());
    QVERIFY2(w, "no browser window is open");
    // A page that never finishes: the program goes on; the window stops and closes.
    m_stop = false;
    go(w, url("/stall"));
    QTRY_COMPARE_WITH_TIMEOUT(w->Caption(), QStringLiteral("Slow"), 20000);
    QVERIFY(stillResponsive(t));
    w->wb->Stop();
    w->subWindow()->close();
    flushDeletes();
    m_stop = true;
    // Windows asked for by unload handlers, accepted, as the page is left or closed.
    t.prompter.defaultAnswer = MsgBox::Yes;
    w = lastWindow(t.frame.get());
    for (const char *page : { "/unload", "/page", "/unload" }) {
        go(w, url(page));
        QVERIFY(waitForComplete(w));
    }
    w->subWindow()->close();
    flushDeletes();
    QTest::qWait(1000);
    flushDeletes();
    QVERIFY(stillResponsive(t));
}

// A killed renderer is said in its window's status bar, never in a box; Refresh and
// Go Net load the page again; the other window keeps its page and renderer.
void tst_hostile::deadRendererIsSaidQuietlyAndReloads()
{
    TestFrame t;
    Form1 *a = t.openPage(url("/page"));
    // Another site, so another renderer.
    Form1 *b = t.openPage(url("/child").replace("127.0.0.1", "localhost"));
    QVERIFY(a && b);
    auto renderer = [](Form1 *w) {
        return pageOf(w)->renderProcessPid();
    };
    const qint64 other = renderer(b);
    QVERIFY(renderer(a) > 0 && other > 0 && renderer(a) != other);
    for (int round = 0; round < 2; ++round) {
        QVERIFY(::kill(pid_t(renderer(a)), SIGKILL) == 0);
        QTRY_COMPARE_WITH_TIMEOUT(a->Stbar1Panel1->text(),
            "The page's renderer was killed. Refresh to load it again.", 20000);
        QVERIFY(a->pos == 0 && !t->Timer1->isActive());
        const int hits = m_server.hits(QStringLiteral("/page"));
        if (round == 0)
            a->Toolbar1_ButtonClick(5); // Refresh
        else
            a->gnet_ButtonClick(1); // Go Net
        QVERIFY(waitForComplete(a));
        QCOMPARE(m_server.hits(QStringLiteral("/page")), hits + 1);
    }
    QTRY_COMPARE(a->Caption(), "Plain");
    QVERIFY(t.prompter.asked.isEmpty() && renderer(b) == other);
    QCOMPARE(b->Stbar1Panel1->text(), "Done");
}

ORVANE_TEST_MAIN(tst_hostile)
#include "tst_hostile.moc"
