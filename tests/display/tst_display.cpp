// On a real X server, once the screen settled: front window, title bars, real input.
#include "RealInput.h"
#include "TestFrame.h"

namespace {

// The real message boxes, answered by a click through the X server.
struct ClickingPrompter : MessageBoxPrompter
{
    int msgBox(QWidget *parent, const QString &text, int style, const QString &title) override
    {
        ++asked;
        QTimer::singleShot(300, [this] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
                RealInput::click(box->button(answer) ? box->button(answer) : box->buttons()[0]);
        });
        return MessageBoxPrompter::msgBox(parent, text, style, title);
    }
    QMessageBox::StandardButton answer = QMessageBox::Yes;
    int asked = 0;
};

// The sub-window a person sees in the middle of the area.
QMdiSubWindow *topmost(QMdiArea *area)
{
    QWidget *w = area->viewport()->childAt(area->viewport()->rect().center());
    while (w && !qobject_cast<QMdiSubWindow *>(w))
        w = w->parentWidget();
    return static_cast<QMdiSubWindow *>(w);
}

QWidget *pageView(Form1 *w) { return w->wb->focusProxy() ? w->wb->focusProxy() : w->wb; }

// Share of a strip's pixels that differ between screen and widget (a title bar: many).
double differingShare(QWidget *w, QRect strip)
{
    const QPoint at = w->mapToGlobal(strip.topLeft());
    const QImage screen = QGuiApplication::primaryScreen()
        ->grabWindow(0, at.x(), at.y(), strip.width(), strip.height()).toImage();
    const QImage own = w->grab(strip).toImage();
    if (screen.size() != own.size())
        return 1;
    int differing = 0;
    for (int y = 0; y < own.height(); ++y)
        for (int x = 0; x < own.width(); ++x) {
            const QRgb a = screen.pixel(x, y), b = own.pixel(x, y);
            differing += qAbs(qRed(a) - qRed(b)) + qAbs(qGreen(a) - qGreen(b))
                + qAbs(qBlue(a) - qBlue(b)) > 96;
        }
    return double(differing) / (own.width() * own.height());
}

} // namespace

class tst_display : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void newWindowWaitsBehindOrComesForward_data();
    void newWindowWaitsBehindOrComesForward();
    void addressBoxNavigatesOnlyWhenAsked_data();
    void addressBoxNavigatesOnlyWhenAsked();
    void maximisedWindowsShowNoTitleBar();

private:
    Form1 *show(TestFrame &t, const char *path);
    QString url(const char *path) const { return m_server.url(QLatin1String(path)); }
    TestServer m_server;
};

void tst_display::initTestCase()
{
    QVERIFY2(QGuiApplication::platformName() == QLatin1String("xcb") && RealInput::available(),
        "this group needs a real X server (./test.sh starts Xvfb)");
    m_server.page(QStringLiteral("/opener"), "<title>Opener</title><body style='margin:0'>"
        "<a href='/child' target='_blank' style='display:block;height:2000px'>open</a></body>");
    m_server.page(QStringLiteral("/child"), "<title>Child</title>child");
    m_server.page(QStringLiteral("/a"), "<title>A</title>");
    m_server.page(QStringLiteral("/b"), "<title>B</title>");
    QVERIFY(m_server.start());
}

// The frame active on the screen; then a window on the page, loaded and settled.
Form1 *tst_display::show(TestFrame &t, const char *path)
{
    t->resize(1000, 760);
    t->activateWindow();
    if (!QTest::qWaitForWindowActive(t.frame.get()) || !path)
        return nullptr;
    Form1 *w = t.openPage(url(path));
    RealInput::settle();
    return w;
}

void tst_display::newWindowWaitsBehindOrComesForward_data()
{
    QTest::addColumn<QString>("how");
    for (const char *how : { "background", "first run", "focus" })
        QTest::newRow(how) << QString::fromLatin1(how);
}

void tst_display::newWindowWaitsBehindOrComesForward()
{
    QFETCH(QString, how);
    ClickingPrompter prompter;
    TestFrame t(true, true, &prompter);
    show(t, nullptr);
    if (how != "first run") { // Options, a click on the choice, OK: all in the real dialog
        QTimer::singleShot(300, [&] {
            RealInput::click(how == "focus" ? t->options()->optfocus : t->options()->optback);
            RealInput::click(t->options()->cmdOK);
        });
        t->options_Click();
        QCOMPARE(ReadSettingsFile(t.settingsPath()).mode == NewWindowMode::Focus, how == "focus");
    }
    Form1 *opener = show(t, "/opener");
    QVERIFY(opener);
    RealInput::click(pageView(opener), QPoint(40, 40));
    QTRY_COMPARE_WITH_TIMEOUT(t->forms().size(), 2, 20000);
    Form1 *child = lastWindow(t.frame.get());
    QTRY_COMPARE_WITH_TIMEOUT(child->Caption(), QStringLiteral("Child"), 30000);
    RealInput::settle();
    QCOMPARE(prompter.asked, 1);
    Form1 *front = how == "focus" ? child : opener, *behind = how == "focus" ? opener : child;
    QMdiArea *area = t->mdiArea();
    QCOMPARE(area->activeSubWindow(), front->subWindow());
    QCOMPARE(topmost(area), front->subWindow());
    QVERIFY(front->isAncestorOf(QApplication::focusWidget()) && behind->subWindow()->isVisible());
    QCOMPARE(QApplication::activeWindow(), t.frame.get());
    // Brought forward by a click on its node, the window behind fills the area.
    t->mybar_Click();
    RealInput::settle(300);
    RealInput::click(t->Picture3->Image5);
    RealInput::settle(300);
    RealInput::click(
        t->webtree->viewport(), t->webtree->visualItemRect(nodeOf(t.frame.get(), behind)).center());
    RealInput::settle(500);
    QCOMPARE(area->activeSubWindow(), behind->subWindow());
    QCOMPARE(topmost(area), behind->subWindow());
    QVERIFY(behind->subWindow()->isMaximized() && behind->isAncestorOf(qApp->focusWidget()));
}

void tst_display::addressBoxNavigatesOnlyWhenAsked_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("loads");
    QTest::newRow("typed, then a click into the page") << "leave" << 0;
    for (const char *how : { "enter", "go net", "pick" }) // Enter, Go Net, or from the list
        QTest::newRow(how) << QString::fromLatin1(how) << 1;
}

void tst_display::addressBoxNavigatesOnlyWhenAsked()
{
    QFETCH(QString, how);
    QFETCH(int, loads);
    TestFrame t;
    Form1 *w = show(t, "/a");
    QVERIFY(w);
    // Both addresses in the list, /a shown: the other is typed or picked.
    const QString target = url("/b");
    for (const QString &address : { target, url("/a") }) {
        go(w, address);
        QVERIFY(waitForComplete(w));
    }
    RealInput::settle(500);
    const int before = m_server.hits(QStringLiteral("/b"));
    QLineEdit *edit = w->cmbadress->lineEdit();
    if (how == "pick") {
        QComboBox *box = w->cmbadress;
        RealInput::click(box, QPoint(box->width() - 8, box->height() / 2)); // its arrow
        QAbstractItemView *list = w->cmbadress->view();
        QTRY_VERIFY(list->isVisible());
        RealInput::settle(300);
        const QModelIndex row = list->model()->index(w->cmbadress->findText(target), 0);
        RealInput::click(list->viewport(), list->visualRect(row).center());
    } else {
        RealInput::click(edit);
        edit->selectAll();
        RealInput::type(target);
        QCOMPARE(edit->text(), target);
        if (how == "leave")
            RealInput::click(pageView(w), QPoint(20, 20));
        else if (how == "enter")
            RealInput::key("Return");
        else
            RealInput::click(w->gnet->widgetForAction(w->gnetButtons.at(0)));
    }
    RealInput::settle(1500);
    QCOMPARE(m_server.hits(QStringLiteral("/b")) - before, loads);
}

void tst_display::maximisedWindowsShowNoTitleBar()
{
    ClickingPrompter prompter;
    prompter.answer = QMessageBox::Ok;
    TestFrame t(true, true, &prompter);
    Form1 *w = show(t, "/a");
    QVERIFY(w);
    const QRect strip(0, 0, w->width(), w->style()->pixelMetric(QStyle::PM_TitleBarHeight));
    for (int round = 0; round < 2; ++round) {
        // A modal question (a tab click asks one), Options, the side bar resizing the area.
        RealInput::click(t->mytab, t->mytab->tabRect(0).center());
        QTRY_COMPARE(prompter.asked, round + 1);
        QTimer::singleShot(300, [&] { RealInput::click(t->options()->cmdOK); });
        t->options_Click();
        t->mybar_Click();
        RealInput::settle(500);
        QVERIFY(w->subWindow()->isMaximized());
        QCOMPARE(w->subWindow()->size(), t->mdiArea()->viewport()->size());
        QCOMPARE(w->mapTo(w->subWindow(), QPoint(0, 0)), QPoint(0, 0));
        // On the screen, the top of the window is its own toolbar, not a title bar.
        QVERIFY2(differingShare(w, strip) < 0.5, "a title bar shows over the toolbar");
    }
    // An editor opens maximised, in every state it shows on the way to the screen.
    struct Watch : QObject
    {
        QList<bool> maximisedWhenShown;
        bool eventFilter(QObject *o, QEvent *e) override
        {
            auto *sub = qobject_cast<QMdiSubWindow *>(o);
            if (e->type() == QEvent::ChildAdded)
                static_cast<QChildEvent *>(e)->child()->installEventFilter(this);
            else if ((e->type() == QEvent::Show || e->type() == QEvent::Resize) && sub
                && sub->isVisible() && qobject_cast<frmEdit *>(sub->widget()))
                maximisedWhenShown.append(sub->isMaximized());
            return false;
        }
    } watch;
    t->mdiArea()->viewport()->installEventFilter(&watch);
    w->cmbadress->setEditText(url("/a"));
    RealInput::click(w->gnet->widgetForAction(w->gnetButtons.at(2)));
    QTRY_VERIFY(qobject_cast<frmEdit *>(t->activeChild()));
    auto *editor = static_cast<frmEdit *>(t->activeChild());
    RealInput::settle(500);
    QVERIFY(!watch.maximisedWhenShown.isEmpty());
    QVERIFY2(!watch.maximisedWhenShown.contains(false), "the editor showed at normal size first");
    QVERIFY(editor->subWindow()->isMaximized() && editor->Text1->geometry() == editor->rect());
}

ORVANE_TEST_MAIN(tst_display)
#include "tst_display.moc"
