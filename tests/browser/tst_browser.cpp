// Browser windows on the real engine: opened by the frame or by pages, switched, closed.
#include "TestFrame.h"

class tst_browser : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void openSwitchAndClose();
    void realFileDialogAndPrompt();
    void addressBarAndTitles();
    void pageOpensWindow_data();
    void pageOpensWindow();
    void closingTheAskerWhileItsWindowOpens_data();
    void closingTheAskerWhileItsWindowOpens();
    void typedWordsSearch_data();
    void typedWordsSearch();

private:
    QString url(const char *path) const { return m_server.url(QLatin1String(path)); }
    TestServer m_server;
};

void tst_browser::initTestCase()
{
    m_server.page(QStringLiteral("/t"), "<title>Tom &amp; Jerry &lt;b&gt;page</title>");
    m_server.page(QStringLiteral("/opener"), "<title>Opener</title><script>"
        "function many(n){ for (var i = 0; i < n; ++i) window.open('/child'); }</script>");
    m_server.page(QStringLiteral("/child"), "<title>Child</title>");
    m_server.page(QStringLiteral("/link"), "<a href='/t'>on</a>");
    // The search engine: its title is the query it got.
    m_server.page(QStringLiteral("/search"),
        "<script>document.title = '=' + decodeURIComponent(location.search)</script>");
    m_server.server().Get("/moved", [](const auto &, auto &res) { res.set_redirect("/t"); });
    QVERIFY(m_server.start());
}

void tst_browser::openSwitchAndClose()
{
    // The root and keys without a number belong to no window, not even window 0.
    QVERIFY(!IsOwnKey("OpenWeb", 0) && !IsOwnKey("", 0) && IsOwnKey(" 7web", 7));
    TestFrame t;
    for (int i = 0; i < 3; ++i)
        t->new_Click();
    const QList<ChildForm *> forms = t->forms();
    QCOMPARE(t->mytab->Count(), 3);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(listing(t.frame.get(), forms.at(i)), "OpenWeb/about:blank | about:blank");
        QCOMPARE(qobject_cast<Form1 *>(forms.at(i))->Caption(), " ");
    }
    ChildForm *first = forms.at(0), *last = forms.at(2);
    QVERIFY(t->activeChild() == last && last->subWindow()->isMaximized());
    // Ready for an address to be typed over the one shown.
    auto *newest = qobject_cast<Form1 *>(last);
    QVERIFY(waitForComplete(newest));
    QCOMPARE(newest->cmbadress->lineEdit()->selectedText(), "about:blank");
    // A tab click shows the handle first, then switches once the box is closed.
    ChildForm *activeWhileAsked = nullptr;
    t.prompter.whileOpen = [&](const auto &) { activeWhileAsked = t->activeChild(); };
    emit t->mytab->tabBarClicked(0);
    QCOMPARE(t.prompter.asked.size(), 1);
    QCOMPARE(t.prompter.box(), QString::number(first->hWnd()) + "||0");
    QVERIFY(activeWhileAsked == last && t->activeChild() == first);
    QVERIFY(first->subWindow()->isMaximized());
    // A node click switches without a box; the root switches nothing.
    t->webtree_NodeClick(t->webtree->Item(1)->child(2));
    t->webtree_NodeClick(t->webtree->Item(1));
    QVERIFY(t->activeChild() == last && t.prompter.asked.size() == 1);
    // Closing removes the window's own entries only; without a node, only its tab.
    forms.at(1)->subWindow()->close();
    flushDeletes();
    QCOMPARE(t->forms(), (QList<ChildForm *> { first, last }));
    QCOMPARE(t->mytab->Count() * 10 + t->webtree->Count(), 23);
    t->webtree->RemoveItem(nodeOf(t.frame.get(), last));
    QPointer<ChildForm> gone(last);
    last->Unload();
    flushDeletes();
    QVERIFY(!gone);
    QCOMPARE(listing(t.frame.get(), first), "OpenWeb/about:blank | about:blank");
    QCOMPARE(t->mytab->Count() * 10 + t->webtree->Count(), 12);
    auto openFrom = [&](Form1 *opener) {
        QObject *pp = nullptr;
        bool cancel = false;
        if (opener)
            opener->wb_NewWindow2(&pp, &cancel);
        else
            t->new_Click();
        return lastWindow(t.frame.get());
    };
    // A family closed with its first window: descendants first, the first one's tab stays.
    t.prompter.defaultAnswer = MsgBox::Yes;
    Form1 *a = openFrom(nullptr);
    Form1 *b = openFrom(a), *c = openFrom(a), *d = openFrom(b);
    QList<QPointer<Form1>> family { a, b, c, d };
    Form1 *deepest = d; // and a long chain below d: the cascade goes all the way down
    while (family.size() < 34)
        family.append(deepest = openFrom(deepest));
    // A node whose window is gone already goes with its parent's node.
    t->webtree->Add(nodeOf(t.frame.get(), c), TreeView::Child, WindowKeyFor(99999), "stale");
    // The order windows go in: each one's descendants, first child first, before it.
    struct Watch : QObject
    {
        QList<QObject *> closed;
        bool eventFilter(QObject *o, QEvent *e) override
        {
            if (e->type() == QEvent::Hide)
                closed.append(static_cast<QMdiSubWindow *>(o)->widget());
            return false;
        }
    } watch;
    for (const auto &p : family)
        p->subWindow()->installEventFilter(&watch);
    a->subWindow()->close();
    const QList<QObject *> &closed = watch.closed;
    QCOMPARE(closed.size(), family.size());
    QVERIFY(closed.indexOf(d) < closed.indexOf(b) && closed.indexOf(b) < closed.indexOf(c));
    QVERIFY(closed.first() == deepest && closed.last() == a);
    flushDeletes();
    QCOMPARE(family.count(nullptr), family.size());
    QCOMPARE(t->forms(), QList<ChildForm *> { first });
    QCOMPARE(t->webtree->Count() * 10 + t->mdiArea()->subWindowList().size(), 21);
    QCOMPARE(listing(t.frame.get(), first), "OpenWeb/about:blank | about:blank");
}

void tst_browser::realFileDialogAndPrompt()
{
    // Open File: cancelled, a file picked, a typed name that does not exist; then markup.
    MessageBoxPrompter real;
    TestFrame t(true, true, &real);
    const QString path = t.homeDir() + "/pages/a.htm";
    writeFile(path, "<html><head><title>Local</title></head></html>");
    QStringList answers = { QString(), path, QStringLiteral("missing.htm") }, shown;
    QString asked;
    DialogAnswerer answerer([&](QWidget *modal) {
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            asked = box->text() + "|" + box->windowTitle() + "|"
                + QString::number(box->textFormat() * 10 + box->icon());
            return box->button(QMessageBox::No)->click();
        }
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        if (!dialog || answers.isEmpty())
            return;
        auto *types = dialog->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
        shown = QStringList { dialog->windowTitle(), dialog->directory().path() };
        for (int i = 0; types && i < types->count(); ++i)
            shown.append(types->itemText(i));
        const QString answer = answers.takeFirst();
        if (answer.isEmpty())
            return dialog->reject();
        if (auto *edit = childOf<QLineEdit>(dialog, QStringLiteral("fileNameEdit")))
            edit->setText(answer);
        QMetaObject::invokeMethod(dialog, "accept");
    });
    t->open_Click();
    QCOMPARE(shown,
        (QStringList { "Our File Open Title", t.homeDir(), "Html,Htm Files (*.html,*.htm)",
            "Asp Files (*.asp)", "Flash Files (*.swf)", "All Files (*.*)" }));
    QCOMPARE(t->forms().size(), 0);
    t->open_Click();
    Form1 *w = lastWindow(t.frame.get());
    QVERIFY2(w, "no browser window is open");
    QCOMPARE(listing(t.frame.get(), w), QStringLiteral("OpenWeb/%1 | a.htm").arg(path));
    QTRY_COMPARE_WITH_TIMEOUT(w->Caption(), QStringLiteral("Local"), 30000);
    t->open_Click();
    w = lastWindow(t.frame.get());
    QCOMPARE(w->cmbadress->currentText(), QDir(t.homeDir()).filePath("missing.htm"));
    QCOMPARE(t->mytab->Caption(2), QStringLiteral("missing.htm"));

    w = t.openPage(url("/opener?<b>bold</b><a href=x>link</a>"));
    QVERIFY(w);
    pageOf(w)->runJavaScript(QStringLiteral("many(1)"));
    QTRY_VERIFY_WITH_TIMEOUT(!asked.isEmpty(), 30000);
    QCOMPARE(asked,
        "Orvane 2\nNew Window Detect...\nUrl:" + w->wb->LocationURL() + "\nDo you want to open ?|"
            "Orvane|" + QString::number(Qt::PlainText * 10 + QMessageBox::Critical));
    QTest::qWait(200);
    QCOMPARE(t->forms().size(), 3);
}

void tst_browser::addressBarAndTitles()
{
    TestFrame t;
    t->new_Click();
    Form1 *w = lastWindow(t.frame.get());
    QVERIFY2(w, "no browser window is open");
    QAction *edit = w->gnetButtons.at(2);
    go(w, QString());
    QVERIFY(w->history().isEmpty() && !t->Timer1->isActive() && !edit->isEnabled());
    QVERIFY(waitForComplete(w));
    const QString u = url("/t");
    w->cmbadress->setEditText(u);
    QTest::keyClick(w->cmbadress, Qt::Key_A); // other keys do nothing
    QVERIFY(w->history().isEmpty());
    w->cmbadress->setEditText(u);
    QTest::keyClick(w->cmbadress, Qt::Key_Return);
    QVERIFY(edit->isEnabled() && t->Timer1->isActive());
    // The title as the page gives it everywhere; no '&' makes a shortcut.
    const QString title = QStringLiteral("Tom & Jerry <b>page");
    QTRY_COMPARE_WITH_TIMEOUT(w->Caption(), title, 30000);
    QTRY_VERIFY_WITH_TIMEOUT(!t->Timer1->isActive(), 30000);
    QCOMPARE(listing(t.frame.get(), w), QStringLiteral("OpenWeb/%1 | %1").arg(title));
    QVERIFY(QKeySequence::mnemonic(t->mytab->tabText(0)).isEmpty());
    emit t->file->aboutToShow();
    QAction *listed = t->file->actions().last();
    QCOMPARE(listed->property("orvaneWindow").toInt(), w->hWnd());
    QCOMPARE(listed->text(), QStringLiteral("&1 Tom && Jerry <b>page"));
    QCOMPARE(t->webtree->Item(1)->text(0), QStringLiteral("Open Web's"));
    QVERIFY(w->Stbar1Panel1->text() == "Done" && w->Stbar1Panel1->textFormat() == Qt::PlainText);
    // The history takes each address once, as typed.
    for (const QString &address : { u, u.toUpper(), QStringLiteral(" ") })
        go(w, address);
    QCOMPARE(w->history(), (QStringList { u, u.toUpper(), QStringLiteral(" ") }));
    w->Toolbar1_ButtonClick(4); // Home
    QTRY_COMPARE_WITH_TIMEOUT(w->wb->LocationURL(), QStringLiteral("about:blank"), 30000);
    // Picking an entry navigates to it and adds nothing.
    w->cmbadress->setCurrentIndex(0);
    w->cmbadress_Click();
    QTRY_COMPARE_WITH_TIMEOUT(w->wb->LocationURL(), u, 30000);
    QCOMPARE(w->history().size(), 3);
    // The box follows the page: a followed link, a server's redirect.
    for (const char *start : { "/link", "/moved" }) {
        go(w, url(start));
        QVERIFY(waitForComplete(w));
        if (QByteArray(start) == "/link") {
            pageOf(w)->runJavaScript(QStringLiteral("document.links[0].click()"));
            QVERIFY(waitForComplete(w));
        }
        QTRY_COMPARE_WITH_TIMEOUT(w->cmbadress->currentText(), u, 5000);
    }
}

void tst_browser::pageOpensWindow_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("focus");
    QTest::addColumn<bool>("openerNode");
    QTest::newRow("No") << 7 << true << true;
    QTest::newRow("Yes, with focus") << 6 << true << true;
    QTest::newRow("Yes, in background") << 6 << false << true;
    QTest::newRow("Yes, opener without node") << 6 << true << false;
}

void tst_browser::pageOpensWindow()
{
    QFETCH(int, answer);
    QFETCH(bool, focus);
    QFETCH(bool, openerNode);
    TestFrame t(false);
    QVERIFY(WriteSettingsFile(
        t.settingsPath(), focus ? NewWindowMode::Focus : NewWindowMode::Background).ok);
    t->MDIForm_Load();
    Form1 *w = t.openPage(url("/opener"));
    QVERIFY(w);
    if (!openerNode)
        t->webtree->RemoveItem(nodeOf(t.frame.get(), w));
    t.prompter.answers = { MsgBox::Answer(answer) };
    w->cmbadress->setEditText(QStringLiteral("typed"));
    pageOf(w)->runJavaScript(QStringLiteral("many(1)"));
    QTRY_COMPARE_WITH_TIMEOUT(t.prompter.asked.size(), 1, 20000);
    QCOMPARE(w->cmbadress->currentText() + "|" + t.prompter.box(), url("/opener")
            + "|Orvane 2\r\nNew Window Detect...\r\nUrl:" + url("/opener")
            + "\r\nDo you want to open ?|Orvane|20");
    QTRY_COMPARE_WITH_TIMEOUT(t->forms().size(), answer == 6 ? 2 : 1, 20000);
    if (answer == 7) {
        QTest::qWait(300);
        QCOMPARE(t->forms().size() * 100 + t->webtree->Count() * 10 + t->mytab->Count(), 121);
        return;
    }
    auto *child = qobject_cast<Form1 *>(t->forms().at(1));
    QCOMPARE(t->activeChild(), focus ? static_cast<ChildForm *>(child) : w);
    QTRY_COMPARE_WITH_TIMEOUT(child->wb->LocationURL(), url("/child"), 30000);
    QTRY_COMPARE(child->cmbadress->currentText(), url("/child")); // once its page has loaded
    // Under its opener, no tab; the page's title renames the node.
    const QString opener = openerNode ? TreeView::Key(nodeOf(t.frame.get(), w)) : QString();
    QTRY_COMPARE_WITH_TIMEOUT(
        listing(t.frame.get(), child), openerNode ? opener + "/Child | -" : "- | -", 30000);
    if (openerNode) {
        t->webtree_NodeClick(nodeOf(t.frame.get(), child));
        QCOMPARE(t->activeChild(), child);
    }
}

void tst_browser::closingTheAskerWhileItsWindowOpens_data()
{
    QTest::addColumn<QString>("mode");
    QTest::newRow("asking, its close box") << "prompt close box";
    QTest::newRow("shown, its close box") << "shown close box";
    QTest::newRow("shown, its opener's cascade") << "shown cascade";
    QTest::newRow("shown, the frame closing") << "shown frame";
}

void tst_browser::closingTheAskerWhileItsWindowOpens()
{
    QFETCH(QString, mode);
    const QString when = mode.section(' ', 0, 0), how = mode.section(' ', 1);
    TestFrame t;
    Form1 *top = t.openPage(url("/opener")), *w = top;
    QVERIFY(top);
    t.prompter.defaultAnswer = MsgBox::Yes;
    if (how == "cascade") { // the asker is itself a window that a page opened
        pageOf(top)->runJavaScript(QStringLiteral("window.open('/opener')"));
        QTRY_COMPARE_WITH_TIMEOUT(t->forms().size(), 2, 20000);
        QVERIFY(waitForScript(w = lastWindow(t.frame.get()), "typeof many == 'function'"));
    }
    QPointer<Form1> asker(w);
    auto close = [&] {
        if (how == "close box")
            asker->subWindow()->close();
        else if (how == "cascade")
            top->Unload();
        else
            t->close();
    };
    bool done = false;
    t.prompter.whileOpen = [&](const auto &) {
        if (std::exchange(done, true))
            return;
        if (when == "prompt") {
            close();
            QCoreApplication::processEvents();
        } else { // at the first yield after the prompt: the new window's resize
            QTimer::singleShot(0, t.frame.get(), close);
        }
    };
    pageOf(w)->runJavaScript(QStringLiteral("many(1)"));
    QTRY_VERIFY_WITH_TIMEOUT(done, 20000);
    QTRY_VERIFY(asker.isNull() || asker->isUnloaded());
    flushDeletes();
    QTRY_VERIFY(!asker);
    // The window it asked for went with it.
    QCOMPARE(t->forms().size() * 100 + t->webtree->Count() * 10 + t->mytab->Count(), 10);
}

void tst_browser::typedWordsSearch_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("config"); // Orvane.conf's text; %1 the search engine
    QTest::addColumn<QString>("title");  // of the page it opens
    const QString engine = "[Search]\nSearchAddress=%1\n";
    QTest::newRow("words") << "tom & jerry" << engine << "=?q=tom & jerry";
    QTest::newRow("one word") << "cartoons" << engine << "=?q=cartoons";
    QTest::newRow("localhost and a port") << "localhost:PORT/t" << engine << "Tom & Jerry <b>page";
    QTest::newRow("a blank in an address's query") << "ORIGIN/search?q=a b" << engine << "=?q=a b";
    // Broken or missing, the file gives the default search address.
    QTest::newRow("no file") << "cartoons" << "" << "duckduckgo.com";
    QTest::newRow("no %s") << "cartoons" << "[Search]\nSearchAddress=http://127.0.0.1/\n"
                           << "duckduckgo.com";
    QTest::newRow("not an ini file") << "cartoons" << QString(QChar(0)) + "\x7f[[[=" << "duckduckgo.com";
}

// Words typed in the address box are looked up with the search address of Orvane.conf;
// addresses open as ever.
void tst_browser::typedWordsSearch()
{
    QFETCH(QString, typed);
    QFETCH(QString, config);
    QFETCH(QString, title);
    TestFrame t;
    const QString origin = url("/").chopped(1);
    if (!config.isEmpty())
        writeFile(t.homeDir() + "/.config/Orvane/Orvane.conf",
                  config.arg(url("/search?q=%s")).toUtf8());
    QCOMPARE(SearchAddressIn(t.homeDir() + "/.config/Orvane/Orvane.conf").contains("duckduckgo"),
             title.contains("duckduckgo"));
    if (title.contains("duckduckgo"))
        return; // no network here to go to it
    Form1 *w = t.openPage("about:blank");
    QVERIFY(w);
    typed.replace("PORT", origin.section(':', -1)).replace("ORIGIN", origin);
    go(w, typed);
    QTRY_COMPARE_WITH_TIMEOUT(w->Caption(), title, 20000);
    QCOMPARE(w->history().last(), typed); // as typed
}

ORVANE_TEST_MAIN(tst_browser)
#include "tst_browser.moc"
