// The frame's construction and its start-up.
#include "frame/MDIForm1.h"

#include "browser/History.h"
#include "browser/ToolbarPictures.h"
#include "browser/TypedAddress.h"
#include "dialogs/Dialog.h"
#include "dialogs/Module2.h"
#include "dialogs/frmOptions.h"
#include "forms/ChildForm.h"
#include "forms/CoverWatch.h"
#include "forms/Prompter.h"
#include "forms/SettingsFile.h"
#include "forms/TabStrip.h"
#include "forms/TreeView.h"
#include "sidebar/Favorites.h"
#include "sidebar/SideBar.h"

#include <QApplication>
#include <QBoxLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>

namespace {

// Tree colours as COLORREF values (low byte red).
constexpr unsigned TreeBackColor = 16244694;
constexpr unsigned TreeTextColor = 10841401;

QColor colorRef(unsigned value)
{
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

void colourTree(QWidget *tree, QPalette::ColorRole role, unsigned value)
{
    QPalette pal = tree->palette();
    pal.setColor(role, colorRef(value));
    tree->setPalette(pal);
}

double screenDpi(double given)
{
    if (given > 0)
        return given;
    QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchX() : 96.0;
}

} // namespace

MDIForm1::MDIForm1(FrameEnv env, QWidget *parent)
    : QMainWindow(parent),
      ChildWindows(screenDpi(env.dpi)),
      m_env(std::move(env)),
      m_settingsPath(SettingsFileLocation(m_env.programDir, m_env.configDir))
{
    setObjectName(QStringLiteral("MDIForm1"));
    setWindowTitle(QStringLiteral("Orvane"));
    setAccessibleName(QStringLiteral("Orvane"));
    createBars();
    createMenus();
    createTimers();
    createJournal();
    m_options = new frmOptions(m_twips, settingsPath(), m_env.prompter, this);
}

MDIForm1::~MDIForm1()
{
    // Child windows (and their web views) go first, while the frame is whole.
    Timer1->stop();
    Timer2->stop();
    Timer3->stop();
    deleteAllChildren();
}

void MDIForm1::createBars()
{
    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("client"));
    auto *column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    mypic = new QFrame(central);
    mypic->setObjectName(QStringLiteral("mypic"));
    mypic->hide();
    column->addWidget(mypic);

    auto *row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    Picture3 = new SideBar(&m_twips, central);
    Picture3->hide();
    webtree = Picture3->webtree;
    TreeFavor = Picture3->TreeFavor;
    row->addWidget(Picture3);
    auto *area = new QMdiArea(central);
    setMdiArea(area);
    m_cover = new CoverWatch(area);
    area->setObjectName(QStringLiteral("MDIClient"));
    area->setBackground(QColor(239, 235, 222));
    // A closing window hands the front back to the one that was there before it.
    area->setActivationOrder(QMdiArea::ActivationHistoryOrder);
    // The window leaving the front is restored by ChildWindows::subWindowActivated.
    area->setOption(QMdiArea::DontMaximizeSubWindowOnActivation);
    row->addWidget(area, 1);
    column->addLayout(row, 1);

    CoolBar1 = new QFrame(central);
    CoolBar1->setObjectName(QStringLiteral("CoolBar1"));
    CoolBar1->setFrameShape(QFrame::StyledPanel);
    CoolBar1->setMinimumHeight(m_twips.toPx(375));
    auto *band = new QHBoxLayout(CoolBar1);
    band->setContentsMargins(2, 0, 2, 0);
    mytab = new TabStrip(CoolBar1);
    band->addWidget(mytab, 1);
    column->addWidget(CoolBar1);
    setCentralWidget(central);

    connect(mytab, &QTabBar::tabBarClicked, this, [this](int index) {
        // The clicked tab is the selected one when the handler runs.
        mytab->setCurrentIndex(index);
        if (index >= 0)
            mytab_Click();
    });
    connect(area, &QMdiArea::subWindowActivated, this,
            [this](QMdiSubWindow *sub) { subWindowActivated(sub); });
    connect(webtree, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem *item) { webtree_NodeClick(item); });
    connect(TreeFavor, &QTreeWidget::itemDoubleClicked, this, [this] { TreeFavor_DblClick(); });
    webtree->setMouseTracking(true);
    webtree->viewport()->setMouseTracking(true);
    webtree->viewport()->installEventFilter(this);
    area->viewport()->setMouseTracking(true);
    area->viewport()->installEventFilter(this);
}

void MDIForm1::createTimers()
{
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1);
    connect(Timer1, &QTimer::timeout, this, &MDIForm1::Timer1_Timer);
    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(100);
    connect(Timer2, &QTimer::timeout, this, &MDIForm1::Timer2_Timer);
    Timer3 = new QTimer(this);
    Timer3->setObjectName(QStringLiteral("Timer3"));
    Timer3->setInterval(200);
    connect(Timer3, &QTimer::timeout, this, &MDIForm1::Timer3_Timer);
}

WebBrowserFactory *MDIForm1::browserFactory() const
{
    m_browsersLoaded = m_browsersLoaded || m_env.browsers;
    return m_env.browsers ? m_env.browsers() : nullptr;
}

PageFetch MDIForm1::pageFetch() const
{
    return m_env.downloads ? m_env.downloads() : nullptr;
}

void MDIForm1::reportSettingsFailure(int code, const QString &description)
{
    frmOptions::reportFailure(m_env.prompter, this, code, description);
}

void MDIForm1::MDIForm_Load()
{
    QTreeWidgetItem *root = webtree->Add(nullptr, TreeView::Child, QStringLiteral("OpenWeb"),
                                         QStringLiteral("Open Web's"));
    root->setExpanded(true);

    const SettingsRead read = ReadSettingsFile(settingsPath());
    if (read.ok) {
        m_options->select(read.mode);
    } else if (read.missing) {
        // Created for the next start; this run keeps the dialog's default.
        const SettingsWrite w = WriteSettingsFile(settingsPath(), NewWindowMode::Focus);
        if (!w.ok)
            reportSettingsFailure(w.code, w.description);
    } else {
        reportSettingsFailure(read.code, read.description);
    }

    LoadFavorites(true);

    colourTree(webtree, QPalette::Base, TreeBackColor);
    colourTree(webtree, QPalette::Text, TreeTextColor);
    colourTree(TreeFavor, QPalette::Base, TreeBackColor);
    colourTree(TreeFavor, QPalette::Text, TreeTextColor);
    webtree->update();
    TreeFavor->update();

    Picture3->setPicture(Picture3->Image1, 0);
    Picture3->setPicture(Picture3->Image2, 0);
    Picture3->setTag(Picture3->Image1, QStringLiteral("down"));
    Picture3->setTag(Picture3->Image2, QStringLiteral("down"));

    Picture3->pPicture1.setHeight(Picture3->pPicture4.Height());
    Picture3->pPicture2.setHeight(Picture3->pPicture4.Height());
    Picture3->pPicture2.setTop(Picture3->pPicture1.Top() + Picture3->pPicture1.Height());

    // The frame's timers tick only once the start-up is over.
    QTimer::singleShot(0, this, [this] {
        Timer2->start();
        Timer3->start();
    });
}

void MDIForm1::LoadFavorites(bool startUp)
{
    const QString folder = Module1::GetSpecialFolder(6, m_env.homeDir);
    // One repaint when the tree is full, not one per node.
    TreeFavor->setUpdatesEnabled(false);
    LoadFavoritesTree(TreeFavor, folder, startUp, [this] { showMaximized(); });
    TreeFavor->setUpdatesEnabled(true);
}

void MDIForm1::refresg_favorites_Click()
{
    LoadFavorites(false);
}

QString MDIForm1::searchAddress() const
{
    // Orvane's own configuration, never Orvane.ini.
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return SearchAddressIn(config + QStringLiteral("/Orvane/Orvane.conf"));
}

bool MDIForm1::optfocus() const
{
    return m_options->mode() == NewWindowMode::Focus;
}

Dialog *MDIForm1::dialog()
{
    if (!m_dialog)
        m_dialog = new Dialog(this, this);
    return m_dialog;
}

void MDIForm1::popupIconSizeMenu(const QPoint &at)
{
    dialog()->file->popup(at);
}

void MDIForm1::EditPageSource(const QString &address)
{
    Module2::EditPageSource(this, address);
}

void MDIForm1::drawimages(QLabel *image)
{
    Picture3->drawimages(image);
}

void MDIForm1::resetSectionButtons()
{
    drawimages(Picture3->Image2);
    drawimages(Picture3->Image1);
}

void MDIForm1::yield()
{
    if (!windowChanging())
        QCoreApplication::processEvents();
}
