#pragma once

#include <QWidget>

class ChildHost;
class QMdiSubWindow;

// A child window of the frame (a browser window or an editor): its handle, its
// sub-window, its place in the frame's list of loaded windows, and closing.
class ChildForm : public QWidget
{
    Q_OBJECT
public:
    explicit ChildForm(ChildHost *host);
    ~ChildForm() override;

    ChildHost *host() const { return m_host; }
    int hWnd() const { return m_handle; }
    QMdiSubWindow *subWindow() const { return m_sub; }
    bool isUnloaded() const { return m_unloaded; }

    QString Caption() const { return windowTitle(); }
    // 0 normal, 1 minimised, 2 maximised.
    int WindowState() const;
    // Outer size (frame and caption included) and inner size, in twips.
    double Width() const;
    double Height() const;
    double ScaleWidth() const;
    double ScaleHeight() const;

    // Whether the user can see any of the window; told by the frame's watch.
    bool isSeen() const { return m_seen; }
    void setSeen(bool seen);

    // Shows the window maximised inside the frame and makes it the active one.
    void Show();
    // Fills the area; its restored size and place stay inside the area.
    void showMaximizedInside();

    // Holds the window's deletion while a handler of its own waits on a nested
    // event loop (a prompt, a yield); the window is deleted when the last hold ends.
    class Hold
    {
    public:
        explicit Hold(ChildForm *form);
        ~Hold();
        Hold(const Hold &) = delete;
        Hold &operator=(const Hold &) = delete;

    private:
        ChildForm *m_form;
    };

public slots:
    // Runs Form_Unload once, then the window goes.
    void Unload();

protected:
    virtual void Form_Unload() { }
    // Lets pending events run once, holding the window meanwhile; never nests, so a
    // resize inside the yield lays out on its own.
    void yieldOnce();
    // Where the keyboard goes when the window comes to the front.
    virtual void takeFocus() { setFocus(); }
    // The window has come into sight, or gone out of it.
    virtual void seenChanged() { }
    // Asked on the close box or Ctrl+W: true to close at once; false when the window
    // will close itself later, if at all.
    virtual bool mayClose() { return true; }
    void closeEvent(QCloseEvent *event) override;

private:
    void release();

    ChildHost *m_host;
    QMdiSubWindow *m_sub;
    int m_handle;
    bool m_unloaded = false;
    bool m_seen = true;
    bool m_seenKnown = false; // the first word on it always goes through
    int m_holds = 0;
    bool m_yielding = false;
    bool m_deletePending = false;
};
