// The history: every page shown, kept in a real SQLite file, listed in the History
// window, completing what is typed in the address box; a broken or taken file.
#include "TestFrame.h"
#include "browser/History.h"
#include "dialogs/HistoryWindow.h"

namespace {
// "title @ address" of each visit, newest first.
QStringList listed(History *history, const QString &filter = QString())
{
    QStringList lines;
    for (const History::Visit &v : history->visits(filter, 100))
        lines << v.title + " @ " + v.address;
    return lines;
}
} // namespace

class tst_history : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void recordsAndCompletes();
    void historyWindow();
    void brokenOrTakenFile_data();
    void brokenOrTakenFile();

private:
    QString url(const char *path) const { return m_server.url(QLatin1String(path)); }
    TestServer m_server;
};

void tst_history::initTestCase()
{
    for (const char *page : { "one", "two", "a_b" })
        m_server.page(QString("/") + page, QByteArray("<title>") + page + "</title>");
    QVERIFY(m_server.start());
}

// Visits are kept newest first, blank pages left out; completion puts the most
// visited first, with or without the scheme; removing and clearing take effect.
void tst_history::recordsAndCompletes()
{
    TestFrame t;
    Form1 *w = t.openPage(url("/one"));
    QVERIFY(w);
    for (const char *page : { "/two", "/two", "/a_b" }) {
        go(w, url(page));
        QVERIFY(waitForComplete(w));
    }
    t->new_Click();
    History *history = t->history();
    const QStringList all { "a_b @ " + url("/a_b"), "two @ " + url("/two"), "two @ " + url("/two"),
                            "one @ " + url("/one") };
    QTRY_COMPARE(listed(history), all);
    QCOMPARE(listed(history, "_"), QStringList { all.at(0) }); // _ and % are no wildcards
    const QString site = url("/").mid(7); // no scheme
    QCOMPARE(history->complete(site), (QStringList { url("/two"), url("/a_b"), url("/one") }));
    QCOMPARE(history->complete(url("/t")), QStringList { url("/two") });
    QCOMPARE(history->complete("nothing like it"), QStringList());

    // The address box offers them as the user types; Enter on none goes where typed,
    // on a pick goes there.
    Form1 *blank = lastWindow(t.frame.get());
    QLineEdit *edit = blank->cmbadress->lineEdit();
    QTest::keyClicks(edit, site);
    QAbstractItemView *offered = edit->completer()->popup();
    QTRY_VERIFY(offered->isVisible());
    QCOMPARE(offered->model()->rowCount(), 3);
    QCOMPARE(offered->model()->index(0, 0).data().toString(), url("/two"));
    QTest::keyClick(offered, Qt::Key_Down);
    QTest::keyClick(offered, Qt::Key_Return);
    QTRY_COMPARE(pageOf(blank)->title(), "two");
    edit->clear();
    QTest::keyClicks(edit, url("/one"));
    QTRY_VERIFY(offered->isVisible());
    QTest::keyClick(offered, Qt::Key_Return);
    QTRY_COMPARE(pageOf(blank)->title(), "one");

    QSignalSpy changed(history, &History::changed);
    history->remove({ history->visits("one", 1).value(0).id });
    QVERIFY(changed.wait());
    QCOMPARE(listed(history, "one").size(), 1);
    QCOMPARE(history->complete(site).size(), 3);
    history->clear();
    QVERIFY(changed.wait());
    QCOMPARE(listed(history) + history->complete(site), QStringList());
}

// Ctrl+H's window: grouped by day, filtered as typed; Delete removes, "Clear All"
// clears after a Yes, Enter opens the page in a new window.
void tst_history::historyWindow()
{
    TestFrame t;
    Form1 *w = t.openPage(url("/one"));
    QVERIFY(w);
    go(w, url("/two"));
    QVERIFY(waitForComplete(w));
    QTRY_COMPARE(listed(t->history()).size(), 2);
    QStringList seen;
    t.prompter.onDialog = [&](QDialog *dialog) {
        auto *window = dynamic_cast<HistoryWindow *>(dialog);
        if (!window)
            return int(QDialog::Rejected);
        QTreeWidget *list = window->list();
        const auto rows = [&] {
            QStringList lines;
            for (int d = 0; d < list->topLevelItemCount(); ++d)
                for (int i = 0; i < list->topLevelItem(d)->childCount(); ++i)
                    lines << list->topLevelItem(d)->text(0) + ": " + list->topLevelItem(d)->child(i)->text(0);
            return lines.join(", ");
        };
        seen << rows();
        QTest::keyClicks(window->findChild<QLineEdit *>(), "one");
        seen << rows();
        window->findChild<QLineEdit *>()->clear();
        list->setCurrentItem(list->topLevelItem(0)->child(0)); // two
        QTest::keyClick(list, Qt::Key_Delete);
        if (QTest::qWaitFor([&] { return list->topLevelItem(0)->childCount() == 1; }))
            seen << rows();
        t.prompter.answers = { MsgBox::No, MsgBox::Yes };
        for (int i = 0; i < 2; ++i) {
            for (QPushButton *b : window->findChildren<QPushButton *>())
                if (b->text() == "Clear All")
                    b->click();
            QTest::qWait(300);
            seen << rows();
        }
        t->history()->record(url("/two"), "two");
        QTest::qWaitFor([&] { return !t->history()->visits({}, 1).isEmpty(); });
        window->findChild<QLineEdit *>()->setText("t");
        list->setCurrentItem(list->topLevelItem(0)->child(0));
        QTest::keyClick(list, Qt::Key_Return);
        return dialog->result();
    };
    t->showHistory();
    QCOMPARE(seen, (QStringList { "Today: two, Today: one", "Today: one", "Today: one", "Today: one", "" }));
    QCOMPARE(t.prompter.box(1), "Clear all history?|History|" + QString::number(int(MsgBox::YesNoQuestion | MsgBox::SecondDefault)));
    QCOMPARE(t->forms().size(), 2);
    QTRY_COMPARE(lastWindow(t.frame.get())->wb->LocationURL(), url("/two"));
}

// A file that is no database, or one another copy keeps: history is off for this
// run (told once, when it is broken), the file is left as it was, browsing goes on.
void tst_history::brokenOrTakenFile_data()
{
    QTest::addColumn<bool>("broken");
    QTest::newRow("no database") << true;
    QTest::newRow("kept by another copy") << false;
}

void tst_history::brokenOrTakenFile()
{
    QFETCH(bool, broken);
    TestFrame t;
    const QByteArray garbage(4096, 'x');
    if (broken)
        writeFile(t.historyFile(), garbage);
    History other(broken ? QString() : t.historyFile());
    Form1 *w = t.openPage(url("/one"));
    QVERIFY(w);
    QVERIFY(!t->history()->isOn());
    QCOMPARE(w->Stbar1Panel1->text().startsWith("History is off for this run: "), broken);
    go(w, url("/two"));
    QVERIFY(waitForComplete(w));
    QCOMPARE(w->Stbar1Panel1->text(), QStringLiteral("Done")); // told once
    if (broken)
        QCOMPARE(readFile(t.historyFile()), garbage);
    else
        QCOMPARE(listed(&other), QStringList());
}

ORVANE_TEST_MAIN(tst_history)
#include "tst_history.moc"
