#include "browser/Form1.h"

#include "browser/History.h"
#include "browser/LeaveInTurn.h"
#include "browser/ToolbarPictures.h"
#include "browser/WebBrowser.h"
#include "forms/Controls.h"
#include "forms/TabStrip.h"
#include "forms/TreeView.h"
#include "forms/WindowKey.h"

#include <QAction>
#include <QApplication>
#include <QAbstractItemView>
#include <QComboBox>
#include <QCompleter>
#include <QEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPointer>
#include <QStatusBar>
#include <QStringListModel>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace {

class NullBrowser : public WebBrowser
{
public:
    using WebBrowser::WebBrowser;
    void Navigate(const QString &) override { }
    void GoBack() override { }
    void GoForward() override { }
    void Stop() override { }
    void GoHome() override { }
    void Refresh() override { }
    double zoomFactor() const override { return 1; }
    void setZoomFactor(double) override { }
    void ExecWB(int, int) override { }
    QString LocationURL() const override { return QString(); }
    QString documentUrl() const override { return QString(); }
    QObject *object() override { return nullptr; }
    QByteArray saveHistory() const override { return QByteArray(); }
    bool restoreHistory(const QByteArray &) override { return false; }
    void setSeen(bool) override { }
    void loadWhenSeen(const QString &, const QByteArray &) override { }
};

} // namespace

Form1::Form1(BrowserHost *frame) : ChildForm(frame), m_frame(frame)
{
    setObjectName(QStringLiteral("Form1"));
    createControls();
    setCaption(QStringLiteral(" "));
    subWindow()->resize(frame->twips().toPx(8220 + 120), frame->twips().toPx(3255 + 400));
    Form_Load();
}

Form1::~Form1() = default;

void Form1::createControls()
{
    const Twips *t = &frame()->twips();
    CoolBar1 = named(new QFrame(this), QStringLiteral("CoolBar1"));
    CoolBar1->setFrameShape(QFrame::StyledPanel);
    Toolbar1 = named(new QToolBar(CoolBar1), QStringLiteral("Toolbar1"));
    CoolBar2 = named(new QFrame(this), QStringLiteral("CoolBar2"));
    CoolBar2->setFrameShape(QFrame::StyledPanel);
    Picture2 = named(new QFrame(CoolBar2), QStringLiteral("Picture2"));
    Label1 = named(new QLabel(QStringLiteral("Address :"), Picture2), QStringLiteral("Label1"),
                   QStringLiteral("Address :"));
    cmbadress = named(new QComboBox(Picture2), QStringLiteral("cmbadress"),
                      QStringLiteral("Address"));
    gnet = named(new QToolBar(Picture2), QStringLiteral("gnet"));
    QFont small = Label1->font();
    small.setPointSizeF(8);
    Label1->setFont(small);

    WebBrowserFactory *factory = frame()->browserFactory();
    if (factory)
        wb = factory->create(this, frame()->prompter());
    else
        wb = new NullBrowser(this);
    wb->setObjectName(QStringLiteral("wb"));
    Stbar1 = named(new QStatusBar(this), QStringLiteral("Stbar1"));
    Stbar1->setSizeGripEnabled(false);
    Stbar1Panel1 = named(new QLabel(Stbar1), QStringLiteral("Panel1"));
    Stbar1Panel1->setTextFormat(Qt::PlainText);
    Stbar1->addWidget(Stbar1Panel1, 1);
    rtimer = new QTimer(this);
    rtimer->setObjectName(QStringLiteral("rtimer"));

    pCoolBar1 = std::make_unique<Placement>(CoolBar1, t, 0, 0, 8220, 840);
    pToolbar1 = std::make_unique<Placement>(Toolbar1, t, 30, 30, 8160, LargeToolbarHeight);
    pCoolBar2 = std::make_unique<Placement>(CoolBar2, t, 0, 840, 8220, 555);
    pPicture2 = std::make_unique<Placement>(Picture2, t, 30, 30, 8160, 495);
    pLabel1 = std::make_unique<Placement>(Label1, t, 120, 120, 735, 255);
    pcmbadress = std::make_unique<Placement>(cmbadress, t, 840, 120, 3975, 315);
    pgnet = std::make_unique<Placement>(gnet, t, 4920, 120, 2565, 330);
    pwb = std::make_unique<Placement>(wb, t, 0, 1440, 8175, 1455);
    pStbar1 = std::make_unique<Placement>(Stbar1, t, 0, 3000, 8220, 255);

    // The main toolbar: nine commands, large pictures.
    Toolbar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
    Toolbar1->setMovable(false);
    const QStringList captions = { QStringLiteral("Back.."),   QStringLiteral("Forward.."),
                                   QStringLiteral("Stop"),     QStringLiteral("Home"),
                                   QStringLiteral("Refresh"),  QStringLiteral("Save.."),
                                   QStringLiteral("Print.."),  QStringLiteral("Find File"),
                                   QStringLiteral("Properties") };
    for (int i = 0; i < captions.size(); ++i) {
        QAction *button = Toolbar1->addAction(captions.at(i));
        button->setToolTip(captions.at(i));
        const int index = i + 1;
        connect(button, &QAction::triggered, this, [this, index] { Toolbar1_ButtonClick(index); });
        Buttons.append(button);
        if (QWidget *w = Toolbar1->widgetForAction(button)) {
            w->setObjectName(QStringLiteral("Toolbar1Button%1").arg(index));
            w->setAccessibleName(captions.at(i));
            w->installEventFilter(this);
        }
    }
    Toolbar1->installEventFilter(this);
    setToolbarIcons(IconSize::Large, LargeButtonPictures); // large, as designed

    // The address row.
    cmbadress->setEditable(true);
    // Long addresses (data: ones above all) must not be cut at the edit line's default.
    cmbadress->lineEdit()->setMaxLength(2 * 1024 * 1024);
    cmbadress->setInsertPolicy(QComboBox::NoInsert);
    cmbadress->setCompleter(nullptr);
    // Keys reach the combo box first, which hands them to its line edit directly.
    cmbadress->installEventFilter(this);
    cmbadress->lineEdit()->installEventFilter(this);
    // Only a pick from the drop-down list counts as a click: the box would also
    // "activate" a typed text that matches an entry when Enter is pressed or the
    // box loses the keyboard, and leaving the box must never navigate (Enter has
    // its own handler).
    disconnect(cmbadress->lineEdit(), &QLineEdit::editingFinished, cmbadress, nullptr);
    disconnect(cmbadress->lineEdit(), &QLineEdit::returnPressed, cmbadress, nullptr);
    connect(cmbadress, &QComboBox::activated, this, [this](int) { cmbadress_Click(); });
    // What is typed is completed from the history, the most visited first; a pick
    // goes there, and Enter on no pick goes to what was typed.
    m_completions = new QStringListModel(this);
    auto *completer = new QCompleter(m_completions, this);
    completer->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    completer->setMaxVisibleItems(10);
    cmbadress->lineEdit()->setCompleter(completer);
    connect(completer, QOverload<const QString &>::of(&QCompleter::activated), this,
            [this](const QString &address) {
                cmbadress->setEditText(address);
                cmbadress_KeyPress(13);
            });
    connect(cmbadress->lineEdit(), &QLineEdit::textEdited, this, [this, completer](const QString &text) {
        History *history = m_frame->history();
        m_completions->setStringList(history ? history->complete(text) : QStringList());
        // Its list is made when first offered: most windows never offer one.
        if (!m_completionList && m_completions->rowCount() > 0) {
            m_completionList = completer->popup();
            m_completionList->installEventFilter(this);
        }
        if (m_completions->rowCount() > 0)
            completer->complete();
        else if (m_completionList)
            completer->popup()->hide();
    });

    const QList<QIcon> &gnetIcons = m_frame->toolbarPictures().gnet;
    gnet->setToolButtonStyle(Qt::ToolButtonTextOnly);
    gnet->setMovable(false);
    gnet->setFont(small);
    QAction *go = gnet->addAction(gnetIcons.at(0), QStringLiteral("Go Net"));
    QAction *separator = gnet->addSeparator();
    QAction *edit = gnet->addAction(gnetIcons.at(1), QStringLiteral("Edit Page"));
    edit->setEnabled(false);
    gnetButtons = { go, separator, edit };
    for (int i = 0; i < gnetButtons.size(); ++i) {
        const int index = i + 1;
        connect(gnetButtons.at(i), &QAction::triggered, this,
                [this, index] { gnet_ButtonClick(index); });
        if (QWidget *w = gnet->widgetForAction(gnetButtons.at(i)))
            w->setAccessibleName(gnetButtons.at(i)->text());
    }
    Picture2->installEventFilter(this);
    Picture2->setMouseTracking(true);
    Toolbar1->setMouseTracking(true);

    // The page's events.
    connect(wb, &WebBrowser::StatusTextChange, this, &Form1::wb_StatusTextChange);
    connect(wb, &WebBrowser::ProgressChange, this, &Form1::wb_ProgressChange);
    connect(wb, &WebBrowser::TitleChange, this, &Form1::wb_TitleChange);
    connect(wb, &WebBrowser::DocumentComplete, this, [this] { wb_DocumentComplete(); });
    connect(wb, &WebBrowser::RendererGone, this, &Form1::wb_RendererGone);
    connect(wb, &WebBrowser::NewWindow2, this, &Form1::wb_NewWindow2, Qt::DirectConnection);
    Stbar1->installEventFilter(this);
    Stbar1Panel1->installEventFilter(this);

    createKeys();

    connect(rtimer, &QTimer::timeout, this, &Form1::rtimer_Timer);
    rtimer->start(1000);
    // A window waiting behind (waitBehind) takes input again once it comes forward, and
    // its page is there before the keyboard comes back to it.
    connect(subWindow(), &QMdiSubWindow::aboutToActivate, wb, [this] {
        wb->setEnabled(true);
        wb->setVisible(true);
    });
}

void Form1::setCaption(const QString &text)
{
    setWindowTitle(text);
    setAccessibleName(text);
}

QTreeWidgetItem *Form1::treeNode() const
{
    return m_frame->openWebsTree()->FindKey(WindowKeyFor(hWnd()));
}

QList<Form1 *> Form1::family() const
{
    QList<Form1 *> family { const_cast<Form1 *>(this) };
    QList<QTreeWidgetItem *> nodes;
    if (QTreeWidgetItem *node = treeNode())
        nodes.append(node);
    while (!nodes.isEmpty()) {
        QTreeWidgetItem *node = nodes.takeFirst();
        for (int c = 0; c < node->childCount(); ++c) {
            nodes.append(node->child(c));
            bool ok = false;
            const int handle = WindowHandleFromKey(TreeView::Key(node->child(c)), &ok);
            for (ChildForm *form : m_frame->forms())
                if (auto *window = qobject_cast<Form1 *>(form); ok && window && window->hWnd() == handle)
                    family.append(window);
        }
    }
    return family;
}

bool Form1::mayClose()
{
    if (m_leaving)
        return false;
    // Those opened from it go too: each page that may ask is asked first.
    const QList<Form1 *> family = LeaveInTurn::deepestFirst(this->family());
    if (LeaveInTurn::noneAsks(family))
        return true;
    m_leaving = true;
    QPointer<Form1> self(this);
    LeaveInTurn::ask(
            family, [](Form1 *window) { window->Unload(); },
            [self](bool) {
                if (self)
                    self->m_leaving = false;
            });
    return false;
}

void Form1::seenChanged()
{
    // A page out of sight stops drawing and its timers slow down.
    wb->setSeen(isSeen());
}

void Form1::takeFocus()
{
    // Ready for an address to be typed over the one shown.
    cmbadress->setFocus();
    cmbadress->lineEdit()->selectAll();
}

void Form1::setToolbarIcons(IconSize size, const QList<int> &pictures)
{
    m_iconSize = size;
    const ToolbarPictures &drawn = m_frame->toolbarPictures();
    const QList<QIcon> &icons = size == IconSize::Large ? drawn.large : drawn.small;
    Toolbar1->setIconSize(size == IconSize::Large ? QSize(32, 32) : QSize(16, 16));
    m_buttonImage = pictures;
    for (int i = 0; i < Buttons.size() && i < pictures.size(); ++i) {
        const int n = pictures.at(i);
        if (n >= 1 && n <= icons.size())
            Buttons.at(i)->setIcon(icons.at(n - 1));
    }
    Toolbar1->update();
}

void Form1::Form_Load()
{
    pStbar1->setTop(pwb->Top() + pwb->Height() + 50);
}

void Form1::resizeEvent(QResizeEvent *event)
{
    ChildForm::resizeEvent(event);
    Form_Resize();
}

void Form1::Form_Resize()
{
    if (isUnloaded())
        return;
    // When minimised there is nothing of ours to do first.
    // The two bars are docked along the top: they span the window's width.
    pCoolBar1->setWidth(ScaleWidth());
    pToolbar1->setWidth(ScaleWidth() - 60);
    pCoolBar2->setWidth(ScaleWidth());
    pPicture2->setWidth(ScaleWidth() - 60);
    pcmbadress->setWidth(pCoolBar2->Left() + Width() - pcmbadress->Left() - pgnet->Width() - 400);
    pgnet->setLeft(pcmbadress->Left() + pcmbadress->Width() + 50);
    pwb->setLeft(0);
    pwb->setHeight(ScaleHeight() - pwb->Top() - pStbar1->Height() - 80);
    pwb->setWidth(ScaleWidth() - 80);
    pStbar1->setTop(pwb->Top() + pwb->Height() + 50);
    yieldOnce();
}

void Form1::rtimer_Timer()
{
    pwb->setLeft(0);
    pwb->setHeight(ScaleHeight() - pwb->Top() - pStbar1->Height() - 80);
    pwb->setWidth(ScaleWidth() - 80);
}

void Form1::Picture2_MouseMove()
{
    Toolbar1_MouseMove();
}

void Form1::Form_Unload()
{
    rtimer->stop();
    BrowserHost *f = frame();
    f->windowClosed({ wb->LocationURL(), wb->saveHistory(), Caption() });
    wb->Stop();
    wb->Close();

    // Close, depth first, every window opened from this one, then our node.
    if (QTreeWidgetItem *node = treeNode()) {
        const int children = node->childCount();
        for (int c = 0; c < children; ++c) {
            QTreeWidgetItem *first = node->child(0);
            if (!first)
                break;
            bool ok = false;
            const int handle = WindowHandleFromKey(TreeView::Key(first), &ok);
            if (!ok)
                continue;
            for (ChildForm *form : f->forms())
                if (form->hWnd() == handle)
                    form->Unload();
        }
        f->openWebsTree()->RemoveItem(node);
    }

    for (int i = f->windowTabs()->Count(); i >= 1; --i)
        if (IsOwnKey(f->windowTabs()->Key(i), hWnd()))
            f->windowTabs()->Remove(i);
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress
        && (watched == cmbadress || watched == cmbadress->lineEdit())) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            cmbadress_KeyPress(13);
        else if (!key->text().isEmpty())
            cmbadress_KeyPress(key->text().at(0).unicode());
        return false; // the key is not swallowed
    }
    if (event->type() == QEvent::MouseButtonPress && watched == m_completionList) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        auto *list = static_cast<QWidget *>(watched);
        if (!list->rect().contains(mouse->position().toPoint())) {
            // A press beside the list closes it and clicks what is under it: Go Net
            // is one click away, not two.
            const QPointF global = mouse->globalPosition();
            list->hide();
            if (QWidget *under = QApplication::widgetAt(global.toPoint())) {
                // The release would reach the closing list: the click is made whole here.
                QPointer<QWidget> target(under);
                for (QEvent::Type type : { QEvent::MouseButtonPress, QEvent::MouseButtonRelease }) {
                    QMouseEvent click(type, target->mapFromGlobal(global), global, mouse->button(),
                                      type == QEvent::MouseButtonPress ? mouse->buttons() : Qt::NoButton,
                                      mouse->modifiers());
                    QCoreApplication::sendEvent(target, &click);
                    if (!target)
                        break;
                }
            }
            return true;
        }
    }
    if (event->type() == QEvent::KeyPress && watched == m_completionList) {
        auto *key = static_cast<QKeyEvent *>(event);
        auto *popup = static_cast<QAbstractItemView *>(watched);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && !popup->currentIndex().isValid()) {
            popup->hide();
            cmbadress_KeyPress(13);
            return true;
        }
    }
    if (event->type() == QEvent::MouseButtonPress
        && (watched == Toolbar1 || watched->parent() == Toolbar1)) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::RightButton) {
            Toolbar1_MouseDown(2);
            return true;
        }
        Toolbar1_MouseDown(mouse->button() == Qt::LeftButton ? 1 : 4);
    }
    if (event->type() == QEvent::MouseMove) {
        if (watched == Toolbar1 || watched->parent() == Toolbar1)
            Toolbar1_MouseMove();
        else if (watched == Picture2)
            Picture2_MouseMove();
    }
    if (event->type() == QEvent::MouseButtonPress
        && (watched == Stbar1 || watched == Stbar1Panel1))
        Stbar1_PanelClick();
    return ChildForm::eventFilter(watched, event);
}
