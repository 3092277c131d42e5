#pragma once
// What the benchmark programs share: a frame of their own in temporary folders,
// a prompter that says Yes, and small waiting and timing helpers.
#include "browser/WebBrowser.h"
#include "forms/ModuleLoader.h"
#include "forms/Prompter.h"
#include "frame/MDIForm1.h"

#include <QCoreApplication>
#include <QList>
#include <QTemporaryDir>
#include <functional>
#include <memory>

class Form1;

// Says Yes to every question; no dialogs.
class YesPrompter : public Prompter
{
public:
    MsgBox::Answer msgBox(QWidget *, const QString &, MsgBox::Style, const QString &) override;
    bool pageDialog(QWidget *, PageDialog *) override { return true; }
    QString openFileName(QWidget *, const QString &, const QString &,
                         const QList<FileFilter> &) override { return QString(); }
    QString saveFileName(QWidget *, const QString &, const QString &) override { return QString(); }
    QStringList chooseFiles(QWidget *, const QString &, bool) override { return {}; }
    QString askText(QWidget *, const QString &, const QString &, const QString &, bool *ok) override;
    bool choosePrinter(QWidget *, QPrinter *) override { return false; }
    int execDialog(QDialog *) override { return 0; }
    // Downloads go to the folder offered, under the name offered.
    QString saveFileIn(QWidget *, const QString &, const QString &folder,
                       const QString &suggested) override { return folder + '/' + suggested; }
    bool askLogin(QWidget *, const QString &, const QString &, QString *, QString *) override
    {
        return false;
    }
    std::function<void()> onAsk; // runs at every message box
};

// A frame with its program folder and home in temporary folders, the engine and
// the download loaded from their modules as the program loads them.
struct Bench
{
    QTemporaryDir program, home;
    YesPrompter prompter;
    // The modules beside the program in the build folder, one above the bench's.
    ModuleLoader engine{ ModulePlaces(QCoreApplication::applicationDirPath() + QStringLiteral("/.."),
                                      QStringLiteral("liborvane_webengine.so")),
                         "orvane_webengine_factory" };
    ModuleLoader download{ ModulePlaces(QCoreApplication::applicationDirPath() + QStringLiteral("/.."),
                                        QStringLiteral("liborvane_download.so")),
                           "orvane_download_fetch" };
    MDIForm1 *frame = nullptr;
    std::unique_ptr<WebBrowserFactory> browsers; // after the frame, before the application

    WebBrowserFactory *factory()
    {
        if (!browsers)
            browsers.reset(engine.call<WebBrowserFactory *>());
        return browsers.get();
    }
    PageFetch fetch() { return download.call<PageFetch>(); }
    void create();
    // The frame goes as in a crash (its journal stays) and a new one starts.
    void recreate();
    ~Bench()
    {
        delete frame;
        browsers.reset();
    }
};

// Records whether a widget has painted since the last reset.
struct PaintWatch : QObject
{
    bool painted = false;
    bool eventFilter(QObject *, QEvent *e) override;
};

double median(QList<double> v);
void flush();
bool waitFor(const std::function<bool()> &done, int timeoutMs);
// The same, sleeping between events: for waits whose cores the engine needs.
bool waitCalmly(const std::function<bool()> &done, int timeoutMs);
Form1 *lastWindow(MDIForm1 *frame);
int journalBench(const QString &url, bool resting = false);
// Windows out of sight (sight.cpp).
int sightBench(const QStringList &args);
// New Window, then the address typed and Go clicked, as a user does it.
Form1 *openAndGo(MDIForm1 *frame, const QString &url, int *completed);
// A window opened on the address as the frame opens one from a link or a journal.
Form1 *openPage(MDIForm1 *frame, const QString &url, int *completed);
// Runs the event loop for so long without polling: the engine's threads get the cores.
void idle(int ms);
// The frame shown over the whole screen, as a user keeps it.
void showFrame(MDIForm1 *frame);
// The engine's page in a window: Active 0, Frozen 1, Discarded 2; -1 when none.
int lifecycleState(Form1 *window);
