#pragma once
// What the benchmark programs share: a frame of their own in temporary folders,
// a prompter that says Yes, and small waiting and timing helpers.
#include "forms/ModuleLoader.h"
#include "forms/Prompter.h"
#include "frame/MDIForm1.h"

#include <QCoreApplication>
#include <QList>
#include <QTemporaryDir>
#include <functional>

class Form1;

// Says Yes to every question; no dialogs.
class YesPrompter : public Prompter
{
public:
    int msgBox(QWidget *, const QString &, int, const QString &) override;
    bool pageDialog(QWidget *, PageDialog *) override { return true; }
    QString openFileName(QWidget *, const QString &, const QString &,
                         const QList<FileFilter> &) override { return QString(); }
    QString saveFileName(QWidget *, const QString &, const QString &) override { return QString(); }
    QString askText(QWidget *, const QString &, const QString &, bool *ok) override;
    bool choosePrinter(QWidget *, QPrinter *) override { return false; }
    int execDialog(QDialog *) override { return 0; }
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

    WebBrowserFactory *factory() { return engine.call<WebBrowserFactory *>(); }
    PageFetch fetch() { return download.call<PageFetch>(); }
    void create();
    ~Bench() { delete frame; }
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
Form1 *lastWindow(MDIForm1 *frame);
// New Window, then the address typed and Go clicked, as a user does it.
Form1 *openAndGo(MDIForm1 *frame, const QString &url, int *completed);
