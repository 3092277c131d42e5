// What a page may ask of the user, on the real engine: its dialogs, devices and
// features, printing, links for other programs.
#include "TestFrame.h"

#include "browser/webengine/PageDialogs.h"
#include "forms/PageDialogBox.h"

#include <QDesktopServices>
#include <QPrinter>

namespace {

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
    QString site() const { return m_server.site(); }
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
    QTest::addColumn<QString>("results"); // what the page gets from six calls in a row
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

void tst_pagecontrol::windowGoesWhileDialogIsOpen_data()
{
    // Not by a script: the opener's renderer, which the page shares, waits for the answer.
    QTest::addColumn<QString>("how");
    QTest::newRow("cascade") << "cascade";
    QTest::newRow("frame") << "frame";
    QTest::newRow("frame deleted, as at the end") << "destroyed";
}

void tst_pagecontrol::windowGoesWhileDialogIsOpen()
{
    QFETCH(QString, how);
    MessageBoxPrompter real;
    TestFrame t(true, true, &real);
    Form1 *top = t.openPage(url("/opener"));
    QVERIFY(top);
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
    QVERIFY(waitForScript(w, "location.pathname == '/blank' && document.readyState == 'complete'"));
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

void tst_pagecontrol::permissions_data()
{
    QTest::addColumn<QString>("request");
    QTest::addColumn<int>("answer"); // -1: its window closed while asked
    QTest::addColumn<QString>("received"); // a pattern, for this window and the next
    const QString location = "navigator.geolocation.getCurrentPosition("
        "function () { done('position'); }, function (e) { done('error ' + e.code); }, { timeout: 3000 });";
    const QString notify = "Notification.requestPermission().then(done);";
    QTest::newRow("location, No") << location << 7 << "error 1";
    QTest::newRow("location, Yes") << location << 6 << "(?!error 1$).+";
    QTest::newRow("notifications, No") << notify << 7 << "denied";
    QTest::newRow("notifications, Yes") << notify << 6 << "granted";
    QTest::newRow("window closed while asked") << notify << -1 << "denied";
}

void tst_pagecontrol::permissions()
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
    QPointer<Form1> w = t.openPage(site.url("/p"));
    QVERIFY(w);
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
    Form1 *again = t.openPage(site.url("/p"));
    QVERIFY(again);
    pageOf(again)->runJavaScript(request);
    got = titleOnceSet(again);
    QVERIFY2(expected.match(got).hasMatch(), qPrintable(got));
    QCOMPARE(t.prompter.asked.size(), answer < 0 ? 2 : 1);
    // Another feature of the same site is a question of its own.
    const int before = t.prompter.asked.size();
    pageOf(again)->runJavaScript(asks.contains("location") ? "Notification.requestPermission()"
                                                           : "navigator.geolocation.getCurrentPosition(() => 0)");
    QTRY_COMPARE_WITH_TIMEOUT(t.prompter.asked.size(), before + 1, 20000);
    QVERIFY(!t.prompter.box(before).contains(asks));
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

ORVANE_TEST_MAIN(tst_pagecontrol)
#include "tst_pagecontrol.moc"
