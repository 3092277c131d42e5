// The web view over the real engine: operations and the five events.
#include "TestFrame.h"
#include "TestServer.h"
#include "browser/WebBrowser.h"
#include "browser/webengine/WebEngineBrowser.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWebEngineFindTextResult>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QtTest>
#include <httplib.h>

class tst_webview : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void navigationEventsAndHistory();
    void newWindowRefusedOrHandedOn();
    void commandsAskThroughThePrompter();

private:
    TestServer m_server;
    RecordingPrompter m_prompter;
};

void tst_webview::initTestCase()
{
    m_server.page(QStringLiteral("/a"),
                  "<html><head><title>Page A</title></head><body>"
                  "<a id=l href='/b'>to b</a></body></html>");
    m_server.page(QStringLiteral("/b"), "<html><head><title>Page B</title></head></html>");
    m_server.page(QStringLiteral("/opener"),
                  "<html><head><title>Opener</title></head><body>"
                  "<script>function go(){ window.open('/b'); }</script></body></html>");
    QVERIFY(m_server.start());
}

void tst_webview::navigationEventsAndHistory()
{
    QWidget host;
    WebBrowser *wb = TestEngine()->create(&host, &m_prompter);
    host.resize(400, 300);
    wb->resize(400, 300);
    host.show();
    QSignalSpy progress(wb, &WebBrowser::ProgressChange);
    QSignalSpy title(wb, &WebBrowser::TitleChange);
    QSignalSpy status(wb, &WebBrowser::StatusTextChange);
    QSignalSpy done(wb, &WebBrowser::DocumentComplete);

    wb->Navigate(m_server.url(QStringLiteral("/a")));
    QTRY_COMPARE_WITH_TIMEOUT(done.size(), 1, 20000);
    QVERIFY(!progress.isEmpty());
    for (const auto &args : progress)
        QCOMPARE(args.at(1).toInt(), 100);
    QCOMPARE(progress.last().at(0).toInt(), 100);
    QTRY_VERIFY(!title.isEmpty() && title.last().at(0).toString() == QLatin1String("Page A"));
    QVERIFY(!status.isEmpty());
    QCOMPARE(wb->LocationURL(), m_server.url(QStringLiteral("/a")));
    QCOMPARE(wb->documentUrl(), m_server.url(QStringLiteral("/a")));

    // Back, forward and home are the engine's.
    wb->Navigate(m_server.url(QStringLiteral("/b")));
    QTRY_COMPARE_WITH_TIMEOUT(done.size(), 2, 20000);
    wb->GoBack();
    QTRY_COMPARE_WITH_TIMEOUT(wb->LocationURL(), m_server.url(QStringLiteral("/a")), 20000);
    wb->GoForward();
    QTRY_COMPARE_WITH_TIMEOUT(wb->LocationURL(), m_server.url(QStringLiteral("/b")), 20000);
    wb->GoHome();
    QTRY_COMPARE_WITH_TIMEOUT(wb->LocationURL(), QStringLiteral("about:blank"), 20000);
}

void tst_webview::newWindowRefusedOrHandedOn()
{
    QWidget host;
    auto *wb = static_cast<WebEngineBrowser *>(TestEngine()->create(&host, &m_prompter));
    WebBrowser *other = TestEngine()->create(&host, &m_prompter);
    host.show();
    bool refuse = true;
    connect(wb, &WebBrowser::NewWindow2, this, [&](QObject **ppDisp, bool *cancel) {
        if (refuse)
            *cancel = true;
        else
            *ppDisp = other->object();
    });
    QSignalSpy done(wb, &WebBrowser::DocumentComplete);
    wb->Navigate(m_server.url(QStringLiteral("/opener")));
    QTRY_COMPARE_WITH_TIMEOUT(done.size(), 1, 20000);

    // Refused: the script sees its window closed (or none) at once.
    wb->page()->runJavaScript(QStringLiteral("window.w = window.open('/b'); 0"));
    bool gone = false;
    QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                wb->page()->runJavaScript(QStringLiteral("!window.w || window.w.closed"),
                                          [&](const QVariant &v) { gone = v.toBool(); });
                QTest::qWait(50);
                return gone;
            }(),
            10000);

    // Handed to another view: the page loads there, the asker keeps its own.
    refuse = false;
    QSignalSpy otherTitle(other, &WebBrowser::TitleChange);
    wb->page()->runJavaScript(QStringLiteral("go()"));
    QTRY_COMPARE_WITH_TIMEOUT(other->LocationURL(), m_server.url(QStringLiteral("/b")), 20000);
    QTRY_VERIFY(!otherTitle.isEmpty()
                && otherTitle.last().at(0).toString() == QLatin1String("Page B"));
    QCOMPARE(wb->LocationURL(), m_server.url(QStringLiteral("/opener")));
}

void tst_webview::commandsAskThroughThePrompter()
{
    QTemporaryDir dir;
    RecordingPrompter prompter;
    QWidget host;
    WebBrowser *wb = TestEngine()->create(&host, &prompter);
    host.show();
    QSignalSpy done(wb, &WebBrowser::DocumentComplete);
    wb->Navigate(m_server.url(QStringLiteral("/a")));
    QTRY_COMPARE_WITH_TIMEOUT(done.size(), 1, 20000);

    // Save as: the chosen file receives the page.
    const QString saved = dir.filePath(QStringLiteral("saved.html"));
    prompter.fileNames = { saved };
    wb->ExecWB(WebBrowser::SaveAs, 1);
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(saved).size() > 0, 20000);
    QFile file(saved);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().contains("to b"));
    // Cancelled, nothing is written.
    wb->ExecWB(WebBrowser::SaveAs, 1);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 1);

    // Print: the printer dialog is asked; cancelled, nothing prints.
    wb->ExecWB(WebBrowser::Print, 1);
    QCOMPARE(prompter.printersAsked, 1);

    // Find: asks for the text, then searches the page.
    prompter.textOk = true;
    prompter.textAnswer = QStringLiteral("to b");
    QSignalSpy found(static_cast<WebEngineBrowser *>(wb)->page(),
                     &QWebEnginePage::findTextFinished);
    wb->ExecWB(WebBrowser::Find, 0);
    QTRY_COMPARE_WITH_TIMEOUT(found.size(), 1, 10000);

    // Properties: title, address, protocol and type, as plain text.
    wb->ExecWB(WebBrowser::Properties, 1);
    QTRY_COMPARE_WITH_TIMEOUT(prompter.asked.size(), 1, 10000);
    const auto shown = prompter.asked.first();
    QCOMPARE(shown.title, QStringLiteral("Properties"));
    QVERIFY(shown.text.contains(QLatin1String("Page A")));
    QVERIFY(shown.text.contains(m_server.url(QStringLiteral("/a"))));
    QVERIFY(shown.text.contains(QLatin1String("Protocol: http")));
    QVERIFY(shown.text.contains(QLatin1String("text/html")));
}

ORVANE_TEST_MAIN(tst_webview)
#include "tst_webview.moc"
