#pragma once

#include <QPointer>
#include <QWidget>

class QWebEngineView;

// A page shown full screen: the view moves into this top-level window, and goes
// back to the same place in its own window when the page leaves full screen.
// Esc, or closing this window, asks the page to leave.
class FullScreenWindow : public QWidget
{
    Q_OBJECT
public:
    explicit FullScreenWindow(QWebEngineView *view);
    ~FullScreenWindow() override;

    // Puts the view back where it came from; this window then holds nothing.
    void giveBack();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void leave();

    QPointer<QWebEngineView> m_view;
    QPointer<QWidget> m_home;
    int m_index = 0;
};
