#include "BrowserTestUtil.h"
#include "TestFrame.h"
#include "TestServer.h"
#include "browser/Form1.h"
#include "dialogs/Module2.h"
#include "dialogs/frmEdit.h"
#include "forms/TreeView.h"
#include "forms/WindowKey.h"

#include <QComboBox>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTimer>
#include <QPlainTextEdit>
#include <QtTest>
#include <httplib.h>
#include <mutex>
#include <thread>

namespace {

const QString ErrorText = QStringLiteral("Error to Read File...");

// What the server saw of the last request to /seen.
struct Seen
{
    std::mutex mutex;
    QByteArray agent, cacheControl, pragma;
};

QByteArray pattern(int size)
{
    QByteArray bytes(size, 'a');
    for (int i = 0; i < size; ++i)
        bytes[i] = char('a' + i % 26);
    return bytes;
}

QStringList topLevelTexts(TreeView *tree)
{
    QStringList texts;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        texts.append(tree->topLevelItem(i)->text(0));
    return texts;
}

} // namespace

class tst_editor : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void sendsAgentAndNoCacheHeaders();
    void bodyShownAsItsFirst100000Bytes_data();
    void bodyShownAsItsFirst100000Bytes();
    void unreadableAddressesGiveTheErrorBox_data();
    void unreadableAddressesGiveTheErrorBox();
    void twoClicksTwoEditorsEachWithItsOwnNode();
    void resizeNeverFails();
    void askerClosedDuringTheDownload();

private:
    void expectErrorBox(int before);

    TestServer m_server;
    Seen m_seen;
    std::unique_ptr<TestFrame> m_frame;
};

void tst_editor::initTestCase()
{
    httplib::Server &s = m_server.server();
    s.Get("/ten", [](const httplib::Request &, httplib::Response &res) {
        res.set_content("0123456789", "text/plain");
    });
    s.Get("/seen", [this](const httplib::Request &req, httplib::Response &res) {
        std::lock_guard<std::mutex> lock(m_seen.mutex);
        m_seen.agent = QByteArray::fromStdString(req.get_header_value("User-Agent"));
        m_seen.cacheControl = QByteArray::fromStdString(req.get_header_value("Cache-Control"));
        m_seen.pragma = QByteArray::fromStdString(req.get_header_value("Pragma"));
        res.set_content("seen", "text/plain");
    });
    s.Get(R"(/size/(\d+))", [](const httplib::Request &req, httplib::Response &res) {
        res.set_content(pattern(std::stoi(req.matches[1])).toStdString(), "text/plain");
    });
    s.Get("/spaces", [](const httplib::Request &, httplib::Response &res) {
        res.set_content(std::string(500, ' '), "text/plain");
    });
    s.Get("/breaks", [](const httplib::Request &, httplib::Response &res) {
        res.set_content("\r\n\r\n\n", "text/plain");
    });
    s.Get("/missing", [](const httplib::Request &, httplib::Response &res) {
        res.status = 404;
        res.set_content("No such page here", "text/plain");
    });
    s.Get("/moved",
          [](const httplib::Request &, httplib::Response &res) { res.set_redirect("/ten"); });
    s.Get("/tofile", [](const httplib::Request &, httplib::Response &res) {
        res.set_redirect("file:///etc/hostname");
    });
    s.Get("/slow", [](const httplib::Request &, httplib::Response &res) {
        std::this_thread::sleep_for(std::chrono::milliseconds(600));
        res.set_content("slow page", "text/plain");
    });
    QVERIFY(m_server.start());
}

void tst_editor::init()
{
    m_frame = std::make_unique<TestFrame>(true, false);
}

void tst_editor::cleanup()
{
    m_frame.reset();
}

void tst_editor::expectErrorBox(int before)
{
    RecordingPrompter &p = m_frame->prompter;
    QCOMPARE(p.asked.size(), before + 1);
    QCOMPARE(p.asked.last().text, ErrorText);
    QCOMPARE(p.asked.last().title, QStringLiteral("Edit.."));
    QCOMPARE(p.asked.last().style, 16);
}

void tst_editor::sendsAgentAndNoCacheHeaders()
{
    QVERIFY(Module2::EditPageSource(m_frame->frame.get(), m_server.url(QStringLiteral("/seen"))));
    std::lock_guard<std::mutex> lock(m_seen.mutex);
    QCOMPARE(m_seen.agent, QByteArray("VOV-Edova test program"));
    QCOMPARE(m_seen.cacheControl, QByteArray("no-cache"));
    QCOMPARE(m_seen.pragma, QByteArray("no-cache"));
}

void tst_editor::bodyShownAsItsFirst100000Bytes_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("text"); // before the padding with blanks
    const QString ten = QStringLiteral("0123456789");
    QTest::newRow("10 bytes, padded") << "/ten" << ten;
    QTest::newRow("exactly 100,000") << "/size/100000" << QString::fromLatin1(pattern(100000));
    QTest::newRow("300,000, cut") << "/size/300000" << QString::fromLatin1(pattern(100000));
    QTest::newRow("an error page's body") << "/missing" << QStringLiteral("No such page here");
    QTest::newRow("after a redirect") << "/moved" << ten;
}

void tst_editor::bodyShownAsItsFirst100000Bytes()
{
    QFETCH(QString, path);
    QFETCH(QString, text);
    frmEdit *editor = Module2::EditPageSource(m_frame->frame.get(), m_server.url(path));
    QVERIFY(editor);
    QCOMPARE(editor->Text1->toPlainText(), text + QString(100000 - text.size(), QLatin1Char(' ')));
    QCOMPARE(editor->Caption(), QStringLiteral("Edit"));
    QCOMPARE((*m_frame)->activeChild(), editor);
    QVERIFY(m_frame->prompter.asked.isEmpty());
}

void tst_editor::unreadableAddressesGiveTheErrorBox_data()
{
    QTest::addColumn<QString>("address");
    QTest::newRow("bare host name") << QStringLiteral("127.0.0.1:%1/ten").arg(m_server.port());
    QTest::newRow("empty") << QString();
    QTest::newRow("about:blank") << QStringLiteral("about:blank");
    QTest::newRow("local file") << QStringLiteral("file:///etc/hostname");
    QTest::newRow("redirect to a local file") << m_server.url(QStringLiteral("/tofile"));
    QTest::newRow("nobody listening") << QStringLiteral("http://127.0.0.1:1/");
    QTest::newRow("only blanks") << m_server.url(QStringLiteral("/spaces"));
}

void tst_editor::unreadableAddressesGiveTheErrorBox()
{
    QFETCH(QString, address);
    const int nodes = (*m_frame)->webtree->Count();
    QVERIFY(!Module2::EditPageSource(m_frame->frame.get(), address));
    expectErrorBox(0);
    QVERIFY((*m_frame)->forms().isEmpty());
    QCOMPARE((*m_frame)->webtree->Count(), nodes);
}

void tst_editor::twoClicksTwoEditorsEachWithItsOwnNode()
{
    MDIForm1 *frame = m_frame->frame.get();
    const QString address = m_server.url(QStringLiteral("/ten"));
    frame->OpenBrowserWindow(address, address, address);
    auto *browser = qobject_cast<Form1 *>(frame->activeChild());
    QVERIFY(browser);
    browser->cmbadress->setEditText(address);
    browser->gnet_ButtonClick(3);
    browser->gnet_ButtonClick(3);

    QCOMPARE(frame->forms().size(), 3);
    auto *first = qobject_cast<frmEdit *>(frame->forms().at(1));
    auto *second = qobject_cast<frmEdit *>(frame->forms().at(2));
    QVERIFY(first && second);
    QCOMPARE(frame->activeChild(), second);
    QVERIFY(second->Text1->hasFocus());
    const QString text = QStringLiteral("Edit - ") + address;
    QCOMPARE(topLevelTexts(frame->webtree),
             (QStringList{ QStringLiteral("Open Web's"), text, text }));
    QCOMPARE(TreeView::Key(frame->webtree->topLevelItem(1)), WindowKeyFor(first->hWnd()));
    QCOMPARE(TreeView::Key(frame->webtree->topLevelItem(2)), WindowKeyFor(second->hWnd()));
    QVERIFY(first->hWnd() != second->hWnd());
    const QString browserKey = WindowKeyFor(browser->hWnd());

    // Closing one removes its own node only.
    first->subWindow()->close();
    QVERIFY(!frame->webtree->FindKey(WindowKeyFor(first->hWnd())));
    QVERIFY(frame->webtree->FindKey(QStringLiteral("OpenWeb")));
    QVERIFY(frame->webtree->FindKey(browserKey));
    QVERIFY(frame->webtree->FindKey(WindowKeyFor(second->hWnd())));

    // The editor is not the browser window's descendant: it outlives it.
    browser->Unload();
    QVERIFY(!frame->webtree->FindKey(browserKey));
    QCOMPARE(frame->forms(), (QList<ChildForm *>{ second }));
    QVERIFY(frame->webtree->FindKey(WindowKeyFor(second->hWnd())));

    // An editor whose node is already gone takes nothing else with it.
    frame->webtree->RemoveItem(frame->webtree->FindKey(WindowKeyFor(second->hWnd())));
    second->Unload();
    QCOMPARE(topLevelTexts(frame->webtree), QStringList{ QStringLiteral("Open Web's") });
    QVERIFY(frame->forms().isEmpty());

    // Line breaks are text, not nothing.
    QVERIFY(Module2::EditPageSource(frame, m_server.url(QStringLiteral("/breaks"))));
}

void tst_editor::resizeNeverFails()
{
    frmEdit *editor
            = Module2::EditPageSource(m_frame->frame.get(), m_server.url(QStringLiteral("/ten")));
    QVERIFY(editor);
    QMdiSubWindow *sub = editor->subWindow();
    // Maximised or not, the text box fills the window's inside.
    QVERIFY(sub->isMaximized());
    QCOMPARE(editor->Text1->geometry(), editor->rect());
    sub->showNormal();
    sub->resize(400, 300);
    QTRY_COMPARE(editor->Text1->geometry(), editor->rect());

    // Tiny and minimised windows do not fail; minimised keeps the last size.
    sub->resize(4, 4);
    QCoreApplication::processEvents();
    QVERIFY(editor->pText1->Width() >= 0 && editor->pText1->Height() >= 0);
    sub->resize(400, 300);
    QCoreApplication::processEvents();
    const QRect last = editor->Text1->geometry();
    sub->showMinimized();
    QCoreApplication::processEvents();
    editor->Form_Resize();
    QCOMPARE(editor->WindowState(), 1);
    QCOMPARE(editor->Text1->geometry(), last);
}

void tst_editor::askerClosedDuringTheDownload()
{
    // The browser window that asked is closed while the page downloads: it lives
    // until its handler is done, and the editor still opens.
    MDIForm1 *frame = m_frame->frame.get();
    frame->new_Click();
    auto *browser = qobject_cast<Form1 *>(frame->activeChild());
    QVERIFY(browser);
    browser->cmbadress->setEditText(m_server.url(QStringLiteral("/slow")));
    bool downloading = false;
    bool destroyedWhileDownloading = false;
    connect(browser, &QObject::destroyed, this,
            [&] { destroyedWhileDownloading = downloading; });
    QPointer<Form1> asker(browser);
    QTimer::singleShot(100, browser, [browser] { browser->subWindow()->close(); });
    downloading = true;
    browser->gnet_ButtonClick(3);
    downloading = false;
    QVERIFY(!destroyedWhileDownloading);
    flushDeletes();
    QVERIFY(!asker);
    QVERIFY(qobject_cast<frmEdit *>(frame->activeChild()));
}

ORVANE_TEST_MAIN(tst_editor)
#include "tst_editor.moc"
