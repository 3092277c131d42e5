// What a person sees on a real X server: which window is active and in front once
// the page has loaded, geometry after maximising, dialogs and side-bar resizes, and
// real clicks and keys through the server.
#include "BrowserTestUtil.h"
#include "RealInput.h"
#include "TestFrame.h"
#include "TestServer.h"
#include "dialogs/frmEdit.h"
#include "dialogs/frmOptions.h"
#include "forms/MessageBoxPrompter.h"
#include "forms/SettingsFile.h"
#include "forms/TabStrip.h"
#include "forms/TreeView.h"
#include "forms/WindowKey.h"
#include "sidebar/SideBar.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QtTest>

namespace {

// The real message boxes and dialogs, answered by a click through the X server
// on the button a person would press.
class ClickingPrompter : public MessageBoxPrompter
{
public:
    int msgBox(QWidget *parent, const QString &text, int style, const QString &title) override
    {
        ++asked;
        QTimer::singleShot(300, [this] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            QAbstractButton *button = box->button(answer);
            RealInput::click(button ? button : box->buttons().value(0));
        });
        return MessageBoxPrompter::msgBox(parent, text, style, title);
    }
    QMessageBox::StandardButton answer = QMessageBox::Yes;
    int asked = 0;
};

// The sub-window whose contents a person sees at a point of the area.
QMdiSubWindow *topmostAt(QMdiArea *area, QPoint at)
{
    QWidget *w = area->viewport()->childAt(at);
    while (w && !qobject_cast<QMdiSubWindow *>(w))
        w = w->parentWidget();
    return static_cast<QMdiSubWindow *>(w);
}

QWidget *pageView(Form1 *w)
{
    return w->wb->focusProxy() ? w->wb->focusProxy() : w->wb;
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
    void maximisedWindowShowsNoTitleBar();
    void editorOpensMaximisedAndFilled();

private:
    void showFrame(TestFrame &t);
    Form1 *openPage(TestFrame &t, const QString &path);
    TestServer m_server;
};

void tst_display::initTestCase()
{
    QVERIFY2(QGuiApplication::platformName() == QLatin1String("xcb"),
             "this group needs a real X server (./test.sh starts Xvfb)");
    QVERIFY(RealInput::available());
    m_server.page(QStringLiteral("/opener"),
                  "<html><head><title>Opener</title></head><body style='margin:0'>"
                  "<a href='/child' target='_blank' style='display:block;height:2000px'>"
                  "open</a></body></html>");
    m_server.page(QStringLiteral("/child"),
                  "<html><head><title>Child</title></head><body>child</body></html>");
    m_server.page(QStringLiteral("/a"), "<html><head><title>A</title></head></html>");
    m_server.page(QStringLiteral("/b"), "<html><head><title>B</title></head></html>");
    QVERIFY(m_server.start());
}

void tst_display::showFrame(TestFrame &t)
{
    t->resize(1000, 760);
    t->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(t.frame.get()));
}

Form1 *tst_display::openPage(TestFrame &t, const QString &path)
{
    t->OpenBrowserWindow(m_server.url(path), path, path);
    Form1 *w = lastWindow(t.frame.get());
    if (!waitForComplete(w))
        return nullptr;
    RealInput::settle();
    return w;
}

void tst_display::newWindowWaitsBehindOrComesForward_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("inFront");
    QTest::newRow("In Background chosen in Options") << "background" << false;
    QTest::newRow("first run, no settings file") << "first run" << false;
    QTest::newRow("With Focus chosen in Options") << "focus" << true;
}

void tst_display::newWindowWaitsBehindOrComesForward()
{
    QFETCH(QString, how);
    QFETCH(bool, inFront);
    ClickingPrompter prompter;
    TestFrame t(false);
    t.realPrompter = &prompter;
    t.create();
    showFrame(t);
    if (how != QLatin1String("first run")) {
        // Options, a click on the choice, OK: all in the real dialog.
        QTimer::singleShot(300, [&] {
            frmOptions *o = t->options();
            RealInput::click(how == QLatin1String("focus") ? o->optfocus : o->optback);
            RealInput::click(o->cmdOK);
        });
        t->options_Click();
        QCOMPARE(ReadSettingsFile(t.settingsPath()).mode,
                 how == QLatin1String("focus") ? NewWindowMode::Focus
                                               : NewWindowMode::Background);
    }

    Form1 *opener = openPage(t, QStringLiteral("/opener"));
    QVERIFY(opener);
    RealInput::click(pageView(opener), QPoint(40, 40));
    QTRY_COMPARE_WITH_TIMEOUT(t->forms().size(), 2, 10000);
    Form1 *child = lastWindow(t.frame.get());
    QVERIFY(waitForComplete(child));
    QTRY_COMPARE_WITH_TIMEOUT(child->Caption(), QStringLiteral("Child"), 10000);
    RealInput::settle();
    QCOMPARE(prompter.asked, 1);

    Form1 *front = inFront ? child : opener;
    Form1 *behind = inFront ? opener : child;
    QMdiArea *area = t->mdiArea();
    QCOMPARE(area->activeSubWindow(), front->subWindow());
    QCOMPARE(topmostAt(area, area->viewport()->rect().center()), front->subWindow());
    QVERIFY(QApplication::focusWidget());
    QVERIFY2(front->isAncestorOf(QApplication::focusWidget()),
             qPrintable(QApplication::focusWidget()->objectName()));
    QCOMPARE(QApplication::activeWindow(), t.frame.get());
    QVERIFY(behind->subWindow()->isVisible());

    // Brought forward by a click on its node, the window behind fills the area.
    t->mybar_Click();
    RealInput::settle(300);
    RealInput::click(t->Picture3->Image5);
    RealInput::settle(300);
    QTreeWidgetItem *node = t->webtree->FindKey(WindowKeyFor(behind->hWnd()));
    QVERIFY(node);
    RealInput::click(t->webtree->viewport(), t->webtree->visualItemRect(node).center());
    RealInput::settle(500);
    QCOMPARE(area->activeSubWindow(), behind->subWindow());
    QCOMPARE(topmostAt(area, area->viewport()->rect().center()), behind->subWindow());
    QVERIFY(behind->subWindow()->isMaximized());
    QVERIFY(behind->isAncestorOf(QApplication::focusWidget()));
}

void tst_display::addressBoxNavigatesOnlyWhenAsked_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("loads");
    QTest::newRow("typed, then a click into the page") << "leave" << 0;
    QTest::newRow("typed, then Enter") << "enter" << 1;
    QTest::newRow("typed, then Go Net") << "go net" << 1;
    QTest::newRow("picked from the drop-down list") << "pick" << 1;
}

void tst_display::addressBoxNavigatesOnlyWhenAsked()
{
    QFETCH(QString, how);
    QFETCH(int, loads);
    TestFrame t;
    showFrame(t);
    Form1 *w = openPage(t, QStringLiteral("/a"));
    QVERIFY(w);
    // Both addresses in the list: /b by Go Net, then back on /a.
    const QString b = m_server.url(QStringLiteral("/b"));
    w->cmbadress->setEditText(b);
    w->gnet_ButtonClick(1);
    QVERIFY(waitForComplete(w));
    w->cmbadress->setEditText(m_server.url(QStringLiteral("/a")));
    w->gnet_ButtonClick(1);
    QVERIFY(waitForComplete(w));
    RealInput::settle(500);
    QVERIFY(w->IsInHistory(b));
    // The entry that is not the box's current item, as a person would type it.
    const QString target = w->cmbadress->itemText(w->cmbadress->currentIndex() == 0 ? 1 : 0);
    const QString path = QUrl(target).path();
    const int before = m_server.hits(path);

    QLineEdit *edit = w->cmbadress->lineEdit();
    if (how == QLatin1String("pick")) {
        RealInput::click(w->cmbadress, QPoint(w->cmbadress->width() - 8, w->cmbadress->height() / 2));
        QAbstractItemView *list = w->cmbadress->view();
        QTRY_VERIFY(list->isVisible());
        RealInput::settle(300);
        const int row = w->cmbadress->findText(target);
        RealInput::click(list->viewport(), list->visualRect(list->model()->index(row, 0)).center());
    } else {
        RealInput::click(edit);
        edit->selectAll();
        RealInput::type(target);
        QCOMPARE(edit->text(), target);
        if (how == QLatin1String("leave"))
            RealInput::click(pageView(w), QPoint(20, 20));
        else if (how == QLatin1String("enter"))
            RealInput::key("Return");
        else
            RealInput::click(w->gnet->widgetForAction(w->gnetButtons.at(0)));
    }
    RealInput::settle(1500);
    QCOMPARE(m_server.hits(path) - before, loads);
}

// Share of the pixels of a widget's strip that differ between the screen and the
// widget's own rendering of itself.
double differingShare(QWidget *w, QRect strip)
{
    const QPoint at = w->mapToGlobal(strip.topLeft());
    const QImage screen = QGuiApplication::primaryScreen()
                                  ->grabWindow(0, at.x(), at.y(), strip.width(), strip.height())
                                  .toImage()
                                  .convertToFormat(QImage::Format_RGB32);
    const QImage own = w->grab(strip).toImage().convertToFormat(QImage::Format_RGB32);
    if (screen.size() != own.size())
        return 1;
    int differing = 0;
    for (int y = 0; y < own.height(); ++y)
        for (int x = 0; x < own.width(); ++x) {
            const QRgb a = screen.pixel(x, y), b = own.pixel(x, y);
            // Smoothing may differ a little; a title bar differs a lot.
            if (qAbs(qRed(a) - qRed(b)) + qAbs(qGreen(a) - qGreen(b))
                        + qAbs(qBlue(a) - qBlue(b))
                > 96)
                ++differing;
        }
    return double(differing) / (own.width() * own.height());
}

void tst_display::maximisedWindowShowsNoTitleBar()
{
    ClickingPrompter prompter;
    prompter.answer = QMessageBox::Ok;
    TestFrame t(false);
    t.realPrompter = &prompter;
    t.create();
    showFrame(t);
    Form1 *w = openPage(t, QStringLiteral("/a"));
    QVERIFY(w);
    const int title = w->subWindow()->style()->pixelMetric(QStyle::PM_TitleBarHeight);
    const QRect strip(0, 0, w->width(), title);
    for (int round = 0; round < 2; ++round) {
        // A modal question (a tab click asks one), Options, then the side bar
        // shows or hides and so resizes the area.
        RealInput::click(t->mytab, t->mytab->tabRect(0).center());
        QTRY_COMPARE(prompter.asked, round + 1);
        QTimer::singleShot(300, [&] { RealInput::click(t->options()->cmdOK); });
        t->options_Click();
        t->mybar_Click();
        RealInput::settle(500);
        QVERIFY(w->subWindow()->isMaximized());
        QCOMPARE(w->subWindow()->size(), t->mdiArea()->viewport()->size());
        QCOMPARE(w->mapTo(w->subWindow(), QPoint(0, 0)), QPoint(0, 0));
        // On the screen, the top of the window is the window's own toolbar.
        // (A title bar left there differs in nearly all of the strip.)
        QVERIFY2(differingShare(w, strip) < 0.5, "a title bar shows over the toolbar");
    }
}

void tst_display::editorOpensMaximisedAndFilled()
{
    TestFrame t;
    showFrame(t);
    Form1 *w = openPage(t, QStringLiteral("/a"));
    QVERIFY(w);
    // Every state the editor's window shows on its way to the screen: the filter
    // follows each sub-window added to the area.
    struct Watch : QObject
    {
        QList<bool> maximisedWhenShown;
        bool eventFilter(QObject *o, QEvent *e) override
        {
            if (e->type() == QEvent::ChildAdded)
                static_cast<QChildEvent *>(e)->child()->installEventFilter(this);
            else if (e->type() == QEvent::Show || e->type() == QEvent::Resize)
                if (auto *sub = qobject_cast<QMdiSubWindow *>(o); sub && sub->isVisible())
                    if (qobject_cast<frmEdit *>(sub->widget()))
                        maximisedWhenShown.append(sub->isMaximized());
            return false;
        }
    } watch;
    t->mdiArea()->viewport()->installEventFilter(&watch);
    const QList<bool> &maximisedWhenShown = watch.maximisedWhenShown;

    w->cmbadress->setEditText(m_server.url(QStringLiteral("/a")));
    RealInput::click(w->gnet->widgetForAction(w->gnetButtons.at(2)));
    QTRY_VERIFY(qobject_cast<frmEdit *>(t->activeChild()));
    auto *editor = static_cast<frmEdit *>(t->activeChild());
    RealInput::settle(500);
    QVERIFY(!maximisedWhenShown.isEmpty());
    QVERIFY2(!maximisedWhenShown.contains(false), "the editor showed at normal size first");
    QVERIFY(editor->subWindow()->isMaximized());
    QCOMPARE(editor->Text1->geometry(), editor->rect());
}

ORVANE_TEST_MAIN(tst_display)
#include "tst_display.moc"
