// Opening browser windows from the frame, keys, switching, layout and the address bar.
#include "BrowserTestUtil.h"
#include "Files.h"
#include "TestFrame.h"
#include "TestServer.h"
#include "forms/TabStrip.h"
#include "forms/TreeView.h"
#include "forms/MessageBoxPrompter.h"
#include "forms/WindowKey.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QKeySequence>
#include <QMdiArea>
#include <QMenu>
#include <QMdiSubWindow>
#include <QTimer>
#include <QtTest>

namespace {
const QStringList FilterNames = { QStringLiteral("Html,Htm Files (*.html,*.htm)"),
                                  QStringLiteral("Asp Files (*.asp)"),
                                  QStringLiteral("Flash Files (*.swf)"),
                                  QStringLiteral("All Files (*.*)") };
} // namespace

class tst_registry : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void keys();
    void newWindowsGoToTabsAndTree();
    void tabAndNodeClicksSwitch();
    void openFileThroughTheRealDialog();
    void layoutFollowsTheWindowSize();
    void goNetAndHistory();
    void pageEventsFollowTheLoad();
    void closingRemovesOnlyOwnEntries();

private:
    TestServer m_server;
};

void tst_registry::initTestCase()
{
    m_server.page(QStringLiteral("/t"),
                  "<html><head><title>Tom &amp; Jerry &lt;b&gt;page</title></head><body>hi</body></html>");
    m_server.page(QStringLiteral("/u"), "<html><head><title>Other</title></head></html>");
    QVERIFY(m_server.start());
}

void tst_registry::keys()
{
    QCOMPARE(WindowKeyFor(1312), QStringLiteral(" 1312web"));
    QCOMPARE(WindowKeyFor(-5), QStringLiteral("-5web"));
    bool ok = false;
    QCOMPARE(WindowHandleFromKey(QStringLiteral(" 1312web"), &ok), 1312);
    QVERIFY(ok);
    QCOMPARE(WindowHandleFromKey(QStringLiteral("-5web"), &ok), -5);
    QCOMPARE(WindowHandleFromKey(QStringLiteral("OpenWeb"), &ok), 0);
    QVERIFY(!ok);
    // The root and keys without a number belong to no window, not even window 0.
    for (const QString &key : { QStringLiteral("OpenWeb"), QString(), QStringLiteral("web") })
        QVERIFY(!IsOwnKey(key, 0));
    QVERIFY(IsOwnKey(QStringLiteral(" 7web"), 7));
    QVERIFY(!IsOwnKey(QStringLiteral(" 7web"), 8));
}

void tst_registry::newWindowsGoToTabsAndTree()
{
    TestFrame t;
    for (int i = 0; i < 3; ++i)
        t->new_Click();
    QCOMPARE(t->mytab->Count(), 3);
    QTreeWidgetItem *root = t->webtree->Item(1);
    QCOMPARE(root->childCount(), 3);
    const QList<ChildForm *> forms = t->forms();
    QCOMPARE(forms.size(), 3);
    for (int i = 0; i < 3; ++i) {
        const QString key = WindowKeyFor(forms.at(i)->hWnd());
        QCOMPARE(t->mytab->Key(i + 1), key);
        QCOMPARE(t->mytab->Caption(i + 1), QStringLiteral("about:blank"));
        QCOMPARE(TreeView::Key(root->child(i)), key);
        QCOMPARE(root->child(i)->text(0), QStringLiteral("about:blank"));
        auto *w = qobject_cast<Form1 *>(forms.at(i));
        QCOMPARE(w->cmbadress->currentText(), QStringLiteral("about:blank"));
        QCOMPARE(w->Caption(), QStringLiteral(" "));
    }
    // Handles are unique; the last window opened is in front, maximised.
    QVERIFY(forms.at(0)->hWnd() != forms.at(1)->hWnd());
    QCOMPARE(t->activeChild(), forms.at(2));
    QVERIFY(forms.at(2)->subWindow()->isMaximized());
    QVERIFY(t->new_->shortcut() == QKeySequence(Qt::Key_F2));
    // The new window is ready for an address to be typed over the one shown.
    auto *newest = qobject_cast<Form1 *>(forms.at(2));
    QVERIFY(waitForComplete(newest));
    QVERIFY(newest->cmbadress->hasFocus());
    QCOMPARE(newest->cmbadress->lineEdit()->selectedText(), QStringLiteral("about:blank"));
}

void tst_registry::tabAndNodeClicksSwitch()
{
    TestFrame t;
    t->new_Click();
    t->new_Click();
    ChildForm *first = t->forms().at(0);
    QCOMPARE(t->activeChild(), t->forms().at(1));

    // The handle first, then the switch: the switch happens after the box closes.
    ChildForm *activeWhileAsked = nullptr;
    t.prompter.whileOpen = [&](const RecordingPrompter::Asked &) {
        activeWhileAsked = t->activeChild();
    };
    emit t->mytab->tabBarClicked(0);
    t.prompter.whileOpen = nullptr;
    QCOMPARE(t.prompter.asked.size(), 1);
    QCOMPARE(t.prompter.asked.at(0).text, QString::number(first->hWnd()));
    QCOMPARE(t.prompter.asked.at(0).style, 0);
    QCOMPARE(activeWhileAsked, t->forms().at(1));
    QCOMPARE(t->activeChild(), first);
    QVERIFY(first->subWindow()->isMaximized());

    // A node click switches without a box; the root switches nothing.
    t->webtree_NodeClick(t->webtree->Item(1)->child(1));
    QCOMPARE(t->activeChild(), t->forms().at(1));
    t->webtree_NodeClick(t->webtree->Item(1));
    QCOMPARE(t->activeChild(), t->forms().at(1));
    QCOMPARE(t.prompter.asked.size(), 1);
}

void tst_registry::openFileThroughTheRealDialog()
{
    // The real dialog, three times: cancelled, a file picked, and a typed name
    // that does not exist (taken and navigated to like any other).
    MessageBoxPrompter real;
    TestFrame t(false);
    t.realPrompter = &real;
    t.create();
    const QString path = t.homeDir() + QStringLiteral("/pages/a.htm");
    writeFile(path, "<html><head><title>Local</title></head></html>");
    QStringList answers = { QString(), path, QStringLiteral("missing.htm") };
    QStringList shown;
    QTimer answering;
    connect(&answering, &QTimer::timeout, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog || answers.isEmpty())
            return;
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Our File Open Title"));
        QCOMPARE(dialog->directory().path(), t.homeDir());
        auto *types = dialog->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
        shown.clear();
        for (int i = 0; types && i < types->count(); ++i)
            shown.append(types->itemText(i));
        const QString answer = answers.takeFirst();
        if (answer.isEmpty()) {
            dialog->reject();
            return;
        }
        dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(answer);
        QMetaObject::invokeMethod(dialog, "accept");
    });
    answering.start(50);

    t->open_Click();
    QCOMPARE(shown, FilterNames);
    QCOMPARE(t->forms().size(), 0);
    QCOMPARE(t->mytab->Count(), 0);

    t->open_Click();
    Form1 *w = lastWindow(t.frame.get());
    QVERIFY(w);
    QCOMPARE(w->cmbadress->currentText(), path);
    QCOMPARE(t->webtree->Item(1)->child(0)->text(0), path);
    QCOMPARE(t->mytab->Caption(1), QStringLiteral("a.htm"));
    QTRY_COMPARE_WITH_TIMEOUT(w->Caption(), QStringLiteral("Local"), 20000);

    t->open_Click();
    w = lastWindow(t.frame.get());
    QCOMPARE(w->cmbadress->currentText(), QDir(t.homeDir()).filePath(QStringLiteral("missing.htm")));
    QCOMPARE(t->mytab->Caption(2), QStringLiteral("missing.htm"));
}

void tst_registry::layoutFollowsTheWindowSize()
{
    TestFrame t;
    t->new_Click();
    Form1 *w = lastWindow(t.frame.get());
    w->subWindow()->showNormal();
    // 8220 twips wide outside: 548 pixels at 96 dpi.
    w->subWindow()->resize(548, 400);
    QCoreApplication::processEvents();
    w->Form_Resize();
    QCOMPARE(w->pcmbadress->Width(), 4415.0);
    QCOMPARE(w->pgnet->Left(), 5305.0);
    QCOMPARE(w->pwb->Left(), 0.0);
    QCOMPARE(w->pwb->Width(), w->ScaleWidth() - 80);
    QCOMPARE(w->pwb->Height(), w->ScaleHeight() - 1440 - 255 - 80);
    QCOMPARE(w->pStbar1->Top(), w->pwb->Top() + w->pwb->Height() + 50);
    QCOMPARE(w->pwb->Top(), 1440.0);

    // Too small: rejected sizes keep their old values, the rest still applies.
    const double oldWbHeight = w->pwb->Height();
    const double oldCombo = w->pcmbadress->Width();
    w->subWindow()->resize(120, 60);
    QCoreApplication::processEvents();
    w->Form_Resize();
    QCOMPARE(w->pcmbadress->Width(), oldCombo);
    QCOMPARE(w->pwb->Height(), oldWbHeight);
    QCOMPARE(w->pStbar1->Top(), w->pwb->Top() + oldWbHeight + 50);

    // Maximised again, the timer tick re-applies the page area.
    w->subWindow()->showMaximized();
    QCoreApplication::processEvents();
    w->pwb->setWidth(10);
    w->rtimer_Timer();
    QCOMPARE(w->pwb->Width(), w->ScaleWidth() - 80);
}

void tst_registry::goNetAndHistory()
{
    TestFrame t;
    t->new_Click();
    Form1 *w = lastWindow(t.frame.get());
    QAction *edit = w->gnetButtons.at(2);
    QVERIFY(!edit->isEnabled());

    w->cmbadress->setEditText(QString());
    w->gnet_ButtonClick(1);
    QVERIFY(w->history().isEmpty());
    QVERIFY(!t->Timer1->isActive());

    const QString url = m_server.url(QStringLiteral("/t"));
    w->cmbadress->setEditText(url);
    QTest::keyClick(w->cmbadress, Qt::Key_A); // other keys do nothing
    QVERIFY(w->history().isEmpty());
    w->cmbadress->setEditText(url);
    QTest::keyClick(w->cmbadress, Qt::Key_Return);
    QCOMPARE(w->history(), QStringList{ url });
    QVERIFY(edit->isEnabled());
    QVERIFY(t->Timer1->isActive());

    w->cmbadress->setEditText(url);
    w->gnet_ButtonClick(1);
    QCOMPARE(w->history().size(), 1);
    w->cmbadress->setEditText(url.toUpper());
    w->gnet_ButtonClick(1);
    QCOMPARE(w->history().size(), 2);
    w->cmbadress->setEditText(QStringLiteral(" "));
    w->gnet_ButtonClick(1);
    QCOMPARE(w->history().last(), QStringLiteral(" "));
    QVERIFY(w->IsInHistory(url));
    QVERIFY(!w->IsInHistory(QStringLiteral("nowhere")));

    // Picking an entry navigates to it and adds nothing.
    w->cmbadress->setCurrentIndex(0);
    w->cmbadress_Click();
    QCOMPARE(w->history().size(), 3);
    QTRY_COMPARE_WITH_TIMEOUT(w->wb->LocationURL(), url, 20000);

    // Indexes outside the toolbar do nothing; Stop and Home work.
    w->Toolbar1_ButtonClick(0);
    w->Toolbar1_ButtonClick(10);
    w->Toolbar1_ButtonClick(4);
    QTRY_COMPARE_WITH_TIMEOUT(w->wb->LocationURL(), QStringLiteral("about:blank"), 20000);
    QCOMPARE(w->history().size(), 3);
}

void tst_registry::pageEventsFollowTheLoad()
{
    TestFrame t;
    t->new_Click();
    Form1 *w = lastWindow(t.frame.get());
    QVERIFY(waitForComplete(w));
    const QString url = m_server.url(QStringLiteral("/t"));
    w->cmbadress->setEditText(url);
    w->gnet_ButtonClick(1);
    QVERIFY(t->Timer1->isActive());
    // The title exactly as the page gives it, markup and '&' too, everywhere: no
    // '&' makes a shortcut in the tab or the window list.
    const QString title = QStringLiteral("Tom & Jerry <b>page");
    QTRY_COMPARE_WITH_TIMEOUT(w->Caption(), title, 20000);
    QTRY_VERIFY_WITH_TIMEOUT(!t->Timer1->isActive(), 20000);
    QCOMPARE(t->mytab->Caption(1), title);
    QVERIFY(QKeySequence::mnemonic(t->mytab->tabText(0)).isEmpty());
    QCOMPARE(t->webtree->Item(1)->child(0)->text(0), title);
    emit t->file->aboutToShow();
    QAction *listed = nullptr;
    for (QAction *a : t->file->actions())
        if (a->property("orvaneWindow").toInt() == w->hWnd())
            listed = a;
    QVERIFY(listed);
    QCOMPARE(QKeySequence::mnemonic(listed->text()), QKeySequence(Qt::ALT | Qt::Key_1));
    QCOMPARE(listed->text().mid(3).replace(QLatin1String("&&"), QLatin1String("&")), title);
    // Each tab carries the strip's first picture.
    QCOMPARE(t->mytab->tabIcon(0).cacheKey(), t->mytab->ImageList2(1).cacheKey());
    QCOMPARE(t->webtree->Item(1)->text(0), QStringLiteral("Open Web's"));
    QCOMPARE(w->cmbadress->currentText(), url);
    QCOMPARE(w->pos, 100);
    QCOMPARE(w->max, 100);
    QCOMPARE(w->Stbar1Panel1->text(), QStringLiteral("Done"));
    QCOMPARE(w->Stbar1Panel1->textFormat(), Qt::PlainText);
    t->Timer1_Timer();
    QCOMPARE(t->findChild<QProgressBar *>(QStringLiteral("pbar"))->maximum(), 100);

    // A window without a node gets its address box set on a title change.
    t->webtree->RemoveItem(t->webtree->Item(1)->child(0));
    w->cmbadress->setEditText(QStringLiteral("typed"));
    w->wb_TitleChange(QStringLiteral("New title"));
    QCOMPARE(w->cmbadress->currentText(), url);
    QCOMPARE(t->mytab->Caption(1), QStringLiteral("New title"));
}

void tst_registry::closingRemovesOnlyOwnEntries()
{
    TestFrame t;
    t->new_Click();
    t->new_Click();
    auto *first = qobject_cast<Form1 *>(t->forms().at(0));
    auto *second = qobject_cast<Form1 *>(t->forms().at(1));
    const QString secondKey = WindowKeyFor(second->hWnd());
    first->subWindow()->close();
    flushDeletes();
    QCOMPARE(t->forms().size(), 1);
    QCOMPARE(t->mytab->Count(), 1);
    QCOMPARE(t->mytab->Key(1), secondKey);
    QCOMPARE(t->webtree->Count(), 2);
    QCOMPARE(TreeView::Key(t->webtree->Item(1)->child(0)), secondKey);

    // A window without a node removes only its tab.
    t->webtree->RemoveItem(t->webtree->Item(1)->child(0));
    QPointer<Form1> gone(second);
    second->Unload();
    flushDeletes();
    QVERIFY(!gone);
    QCOMPARE(t->mytab->Count(), 0);
    QCOMPARE(t->webtree->Count(), 1);
}

ORVANE_TEST_MAIN(tst_registry)
#include "tst_registry.moc"
