#pragma once

class QAction;
class QFrame;
class QMenu;
class QTimer;
class SideBar;
class TabStrip;
class TreeView;

// The frame's controls and menu items, by name, as the frame builds them.
struct FrameControls
{
    SideBar *Picture3 = nullptr; // "My Bar"
    TreeView *webtree = nullptr; // "Open Web's"
    TreeView *TreeFavor = nullptr;
    TabStrip *mytab = nullptr;
    QFrame *CoolBar1 = nullptr; // holds the tab strip
    QFrame *mypic = nullptr;
    QTimer *Timer1 = nullptr, *Timer2 = nullptr, *Timer3 = nullptr;

    // File (with the window list), Tools, and the hidden Help.
    QMenu *file = nullptr, *mnutools = nullptr, *view = nullptr, *reneter = nullptr,
          *help = nullptr, *winol = nullptr;
    QAction *new_ = nullptr, *lien1 = nullptr, *open = nullptr, *line2 = nullptr,
            *exit = nullptr, *mybar = nullptr, *line5 = nullptr, *butoon = nullptr,
            *prog = nullptr, *line6 = nullptr, *options_ = nullptr, *line7 = nullptr,
            *refresg_favorites = nullptr, *new2 = nullptr, *line10 = nullptr,
            *about = nullptr;
};
