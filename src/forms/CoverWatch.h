#pragma once

#include <QObject>

class QMdiArea;

// Tells each child window of an area whether the user can see any of it: shown,
// not minimised, not wholly covered by the windows above it, in a frame that is
// not minimised. Worked out once after whatever may change it: a window moved,
// resized, shown, hidden, restacked or changed state, the area resized, the frame
// minimised or restored.
class CoverWatch : public QObject
{
    Q_OBJECT
public:
    explicit CoverWatch(QMdiArea *area);

    // Works it out again now.
    void update();
    // Windows opened in bulk are looked at once they are all there: until the last
    // release, nothing is worked out.
    void hold() { ++m_holds; }
    void release();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void schedule();

    QMdiArea *m_area;
    bool m_scheduled = false;
    int m_holds = 0;
};
