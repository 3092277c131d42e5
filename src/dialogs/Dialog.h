#pragma once

#include <QList>
#include <QObject>

class ChildHost;
class Form1;
class QAction;
class QMenu;
class QWidget;

// Carries the toolbar icon-size menu; never shown as a window.
class Dialog : public QObject
{
    Q_OBJECT
public:
    // The menu pops up over parent; the items act on host's active child.
    Dialog(ChildHost *host, QWidget *parent);
    ~Dialog() override;

    void large_Click();
    void small_Click();

    QMenu *file;
    QAction *large;
    QAction *small;

private:
    // Lets the toolbar's band take the toolbar's new height and moves the page
    // area to lie under the two bars.
    static void refit(Form1 *window);

    ChildHost *m_host;
};
