// What a page may ask of the user, on the real engine: its dialogs, devices and
// features, printing, links for other programs.
#include "TestFrame.h"

#include "browser/webengine/PageDialogs.h"
#include "forms/PageDialogBox.h"

#include <QDesktopServices>
#include <QPrinter>
#include <QWebEngineView>

namespace {

// Stands in for the desktop's handler of a scheme.
struct Handler : QObject
{
    Q_OBJECT
public slots:
    void open(const QUrl &url) { opened.append(url.toString()); }

public:
    QStringList opened;
};

// The title a page's script leaves when done; "" when it never does.
QString titleOnceSet(Form1 *w, int timeoutMs = 30000)
{
    if (!QTest::qWaitFor([&] { return pageOf(w)->title().startsWith("="); }, timeoutMs))
        return QString();
    return pageOf(w)->title().mid(1);
}

} // namespace

class tst_pagecontrol : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void dialogsInARow_data();
    void dialogsInARow();
    void windowGoesWhileDialogIsOpen_data();
    void windowGoesWhileDialogIsOpen();
    void permissions_data();
    void permissions();
    void printsToPdf_data();
    void printsToPdf();
    void linksForOtherPrograms_data();
    void linksForOtherPrograms();

private:
    QString url(const char *path) const { return m_server.url(QLatin1String(path)); }
    TestServer m_server;
};

void tst_pagecontrol::initTestCase()
{
    m_server.page(QStringLiteral("/blank"), "<title>Blank</title>");
    m_server.page(QStringLiteral("/opener"), "<title>Opener</title>");
    QByteArray text = "<title>Text</title><body>";
    for (int i = 0; i < 400; ++i) // eleven pages or so of plain text
        text += "<p>Paragraph " + QByteArray::number(i) + " of plain words to print.</p>";
    m_server.page(QStringLiteral("/text"), text);
    m_server.page(QStringLiteral("/links"), "<title>Links</title><body style='margin:0'>"
        "<a id=a href='#' style='display:block;width:400px;height:300px'>link</a></body>");
    QVERIFY(m_server.start());
}

void tst_pagecontrol::dialogsInARow_data()
{
    QTest::addColumn<QString>("call");
    QTest::addColumn<int>("declined"); // offers passed over before the user takes one
    QTest::addColumn<QString>("results");
    // Six calls in a row; the results the page sees, one per call.
    QTest::newRow("alert") << "alert('a' + i)" << 0 << "[null,null,null,null,null,null]";
    QTest::newRow("confirm, offer declined twice")
        << "confirm('c' + i)" << 2 << "[true,true,true,true,true,false]";
    QTest::newRow("prompt") << "prompt('p' + i, 'd')" << 0
                            << "[\"typed\",\"typed\",\"typed\",null,null,null]";
}

void tst_pagecontrol::dialogsInARow()
{
    QFETCH(QString, call);
    QFETCH(int, declined);
    QFETCH(QString, results);
    TestFrame t;
    Form1 *w = t.openPage(url("/blank"));
    QVERIFY(w);
    int offers = 0;
    t.prompter.onPageDialog = [&](PageDialog *d) {
        d->value = "typed";
        d->stop = d->offerStop && offers++ == declined;
        return true;
    };
    const QString script = "var r = []; for (var i = 0; i < 6; ++i) r.push(" + call
        + "); document.title = '=' + JSON.stringify(r);";
    pageOf(w)->runJavaScript(script);
    QCOMPARE(titleOnceSet(w), results);
    // Titled by the site alone; the offer from the third in a row on, until taken.
    const QList<PageDialog> &shown = t.prompter.pageDialogs;
    QCOMPARE(shown.size(), 3 + declined);
    const QString site = url("/").chopped(1);
    for (int i = 0; i < shown.size(); ++i) {
        QCOMPARE(shown.at(i).site, site);
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

void tst_pagecontrol::windowGoesWhileDialogIsOpen_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("realDialog");
    // (A script cannot close it meanwhile: the page's renderer, which its opener
    // shares, waits for the answer.)
    // "destroyed": the frame deleted outright, as at the program's end.
    for (const char *how : { "cascade", "frame", "destroyed" }) {
        QTest::newRow(how) << QString::fromLatin1(how) << false;
        QTest::newRow(qPrintable(QString::fromLatin1(how) + ", real dialog")) << QString::fromLatin1(how) << true;
    }
}

void tst_pagecontrol::windowGoesWhileDialogIsOpen()
{
    QFETCH(QString, how);
    QFETCH(bool, realDialog);
    MessageBoxPrompter real;
    TestFrame t(true, true, realDialog ? &real : nullptr);
    t.prompter.defaultAnswer = 6;
    Form1 *top = t.openPage(url("/opener"));
    QVERIFY(top);
    // The window with the dialog is one its opener's page opened.
    // The real boxes answered as they come: the new-window question with Yes; the
    // page's dialog is left open while its window goes.
    QPointer<PageDialogBox> box;
    QString boxTitle;
    std::function<void()> onBox;
    QTimer answering;
    connect(&answering, &QTimer::timeout, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *question = qobject_cast<QMessageBox *>(modal))
            question->button(QMessageBox::Yes)->click();
        else if (auto *dialog = qobject_cast<PageDialogBox *>(modal); dialog && !box && onBox) {
            box = dialog;
            boxTitle = dialog->windowTitle();
            onBox();
        }
    });
    if (realDialog)
        answering.start(50);
    pageOf(top)->runJavaScript("var w = window.open('/blank');");
    QTRY_COMPARE_WITH_TIMEOUT(t->forms().size(), 2, 20000);
    Form1 *w = lastWindow(t.frame.get());
    QVERIFY(waitForScript(w, "location.pathname == '/blank' && document.readyState == 'complete'"));
    QPointer<Form1> window(w);
    QPointer<QWebEngineView> view(static_cast<WebEngineBrowser *>(w->wb)->view());
    auto close = [&] {
        if (how == "cascade")
            top->Unload();
        else if (how == "frame")
            t->close();
        else
            t.frame.reset();
    };
    bool closedWhileOpen = false;
    t.prompter.onPageDialog = [&](PageDialog *) {
        close();
        closedWhileOpen = QTest::qWaitFor([&] { return !window || window->isUnloaded(); }, 20000);
        return true;
    };
    onBox = [&] { // the answering timer stays free for the frame's own question
        QTimer::singleShot(0, [&] {
            close();
            closedWhileOpen = true;
        });
    };
    pageOf(w)->runJavaScript("alert('open'); alert('and another');");
    QTRY_VERIFY_WITH_TIMEOUT(closedWhileOpen, 30000);
    // The dialog ended with its window; the window, its view and page are gone.
    QTRY_VERIFY_WITH_TIMEOUT(!box, 10000);
    flushDeletes();
    QTRY_VERIFY(!window);
    QTRY_VERIFY(!view);
    QCOMPARE(t.prompter.pageDialogs.size(), realDialog ? 0 : 1);
    if (realDialog)
        QCOMPARE(boxTitle, url("/").chopped(1));
    if (how == "cascade")
        QCOMPARE(t->forms().size(), 0);
}

void tst_pagecontrol::permissions_data()
{
    QTest::addColumn<QString>("request");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("received");
    QTest::addColumn<QString>("asks");
    const QString location = "navigator.geolocation.getCurrentPosition("
        "function () { done('position'); }, function (e) { done('error ' + e.code); }, { timeout: 3000 });";
    const QString notify = "Notification.requestPermission().then(done);";
    QTest::newRow("location, No") << location << 7 << "error 1" << "know your location";
    QTest::newRow("location, Yes") << location << 6 << "not 1" << "know your location";
    QTest::newRow("notifications, No") << notify << 7 << "denied" << "show notifications";
    QTest::newRow("notifications, Yes") << notify << 6 << "granted" << "show notifications";
    QTest::newRow("window closed while asked") << notify << -1 << "" << "show notifications";
}

void tst_pagecontrol::permissions()
{
    QFETCH(QString, request);
    QFETCH(int, answer);
    QFETCH(QString, received);
    QFETCH(QString, asks);
    // A site of its own (a port of its own): answers are remembered per site.
    TestServer site;
    site.page("/p", "<title>P</title><script>function done(v) { document.title = '=' + v; }"
                    "</script>");
    QVERIFY(site.start());
    TestFrame t;
    Form1 *w = t.openPage(site.url("/p"));
    QVERIFY(w);
    QPointer<Form1> window(w);
    t.prompter.answers = { answer };
    if (answer < 0)
        t.prompter.whileOpen = [&](const auto &) {
            if (window)
                window->Unload();
            flushDeletes();
        };
    pageOf(w)->runJavaScript(request);
    QTRY_COMPARE_WITH_TIMEOUT(t.prompter.asked.size(), 1, 20000);
    const QString name = site.url("/").chopped(1);
    QCOMPARE(t.prompter.box(), name + " wants to " + asks + ".\r\nAllow it?|" + name + "|36");
    if (answer < 0) {
        QTRY_VERIFY(!window);
    } else {
        const QString got = titleOnceSet(w);
        if (received.startsWith("not "))
            QVERIFY2(!got.isEmpty() && !got.endsWith(received.mid(4)), qPrintable(got));
        else
            QCOMPARE(got, received);
    }
    // Another window of the same site: no question when it was answered, the
    // same answer at once; asked again when the window went unanswered.
    Form1 *again = t.openPage(site.url("/p"));
    QVERIFY(again);
    t.prompter.answers = { answer < 0 ? 7 : answer };
    pageOf(again)->runJavaScript(request);
    const QString got = titleOnceSet(again);
    QCOMPARE(t.prompter.asked.size(), answer < 0 ? 2 : 1);
    if (answer > 0 && !received.startsWith("not "))
        QCOMPARE(got, received);
}

void tst_pagecontrol::printsToPdf_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("status");
    QTest::newRow("to a file") << "out.pdf" << "Printed to %1.";
    QTest::newRow("into a missing folder")
        << "missing/out.pdf" << "Printing to %1 failed: its folder does not exist.";
}

void tst_pagecontrol::printsToPdf()
{
    QFETCH(QString, file);
    QFETCH(QString, status);
    TestFrame t;
    Form1 *w = t.openPage(url("/text"));
    QVERIFY(w);
    const QString path = t.homeDir() + "/" + file;
    t.prompter.onPrinter = [&](QPrinter *printer) {
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(path);
        return true;
    };
    QElapsedTimer clock;
    clock.start();
    QTest::keySequence(w->cmbadress, QKeySequence(Qt::CTRL | Qt::Key_P));
    QCOMPARE(w->Stbar1Panel1->text(), QStringLiteral("Printing to %1 ...").arg(path));
    QTRY_COMPARE_WITH_TIMEOUT(w->Stbar1Panel1->text(), status.arg(path), 60000);
    if (file.contains("missing"))
        return;
    QVERIFY2(clock.elapsed() < 20000, qPrintable(QString::number(clock.elapsed())));
    // The engine's own PDF: fonts and text, no page pictures, kilobytes in size.
    const QByteArray pdf = readFile(path);
    QVERIFY2(pdf.startsWith("%PDF-") && pdf.size() < 500 * 1024, qPrintable(QString::number(pdf.size())));
    QVERIFY(pdf.contains("/FontFile") && pdf.contains("/ToUnicode"));
    QVERIFY(!pdf.contains("/Subtype /Image") && !pdf.contains("/Subtype/Image"));
    QVERIFY2(pdf.count("/Type /Page\n") + pdf.count("/Type /Page>") + pdf.count("/Type/Page/")
            >= 5 || pdf.count("/Page") > 5, "fewer pages than the text fills");
}

void tst_pagecontrol::linksForOtherPrograms_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("handler");
    QTest::addColumn<QString>("status");
    QTest::newRow("mailto, Yes") << "mailto:someone@example.com" << 6 << true
                                 << "Opened with another program: mailto:someone@example.com";
    QTest::newRow("irc, No") << "irc://irc.example.com/chan" << 7 << true << "";
    QTest::newRow("tel, Yes, no program for it")
        << "tel:+15551234" << 6 << false << "No program is set up to open tel: addresses.";
    QTest::newRow("file, never handed on") << "file:///etc/hostname" << 6 << true << "";
}

void tst_pagecontrol::linksForOtherPrograms()
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
    Form1 *w = t.openPage(url("/links"));
    QVERIFY(w);
    t.prompter.answers = { answer };
    QVERIFY(waitForScript(w, "document.getElementById('a').href = '" + address + "'; true"));
    QWidget *view = static_cast<WebEngineBrowser *>(w->wb)->view()->focusProxy();
    QVERIFY2(view && view->isVisible(), "the page shows nowhere to click");
    QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(50, 50));
    if (scheme == "file") {
        QTest::qWait(1500);
        QCOMPARE(t.prompter.asked.size(), 0);
        QVERIFY(desktop.opened.isEmpty());
        return;
    }
    QTRY_COMPARE_WITH_TIMEOUT(t.prompter.asked.size(), 1, 20000);
    QCOMPARE(t.prompter.box(),
        url("/").chopped(1) + " wants to open this address with another program:\r\n" + address
            + "\r\nOpen it?|Open another program|36");
    QTest::qWait(300);
    QCOMPARE(desktop.opened, answer == 6 && handler ? QStringList { address } : QStringList());
    if (!status.isEmpty())
        QTRY_COMPARE(w->Stbar1Panel1->text(), status);
    QCOMPARE(w->wb->LocationURL(), url("/links"));
}

ORVANE_TEST_MAIN(tst_pagecontrol)
#include "tst_pagecontrol.moc"
