#pragma once

#include <QObject>

class MDIForm1;
class QAction;
class QMenu;

// Carries the toolbar icon-size menu; never shown as a window.
class Dialog : public QObject
{
    Q_OBJECT
public:
    explicit Dialog(MDIForm1 *frame);
    ~Dialog() override;

    void large_Click();
    void small_Click();

    QMenu *file;
    QAction *large;
    QAction *small;

private:
    MDIForm1 *m_frame;
};
