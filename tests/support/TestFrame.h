#pragma once

#include "RecordingPrompter.h"
#include "TestServer.h"
#include "TestUtil.h"
#include "browser/EngineSetup.h"
#include "dialogs/download/CurlFetch.h"

struct TestEngine : WebBrowserFactory
{
    WebBrowser *create(QWidget *parent, Prompter *prompter) override
    {
        return new WebEngineBrowser(parent, prompter);
    }
};

// A frame of its own for each test: program folder and home in temporary folders,
// a recording prompter (or the real one given) and the real web engine.
struct TestFrame
{
    explicit TestFrame(bool load = true, bool withEngine = true, Prompter *real = nullptr)
        : realPrompter(real)
    {
        create(load, withEngine);
    }
    void create(bool load = true, bool withEngine = true)
    {
        frame.reset();
        FrameEnv env;
        env.programDir = program.path();
        env.homeDir = env.currentDir = home.path();
        env.stateDir = stateDir();
        env.prompter = realPrompter ? realPrompter : &prompter;
        env.dpi = 96;
        if (withEngine)
            env.browsers = [this]() -> WebBrowserFactory * { return &engine; };
        env.downloads = [] { return &CurlFetch; };
        env.quit = [this] { ++quits; };
        frame = std::make_unique<MDIForm1>(env);
        if (load)
            frame->MDIForm_Load();
    }
    QString programDir() const { return program.path(); }
    QString homeDir() const { return home.path(); }
    QString stateDir() const { return state.isEmpty() ? home.path() + "/.local/state/Orvane" : state; }
    QString settingsPath() const { return SettingsFilePath(program.path()); }
    MDIForm1 *operator->() const { return frame.get(); }
    // Opens a browser window on the address; null if its page never loads.
    Form1 *openPage(const QString &address)
    {
        frame->OpenBrowserWindow(address, address, address);
        Form1 *w = lastWindow(frame.get());
        return w && waitForComplete(w) ? w : nullptr;
    }

    QTemporaryDir program, home;
    QString state; // the journal's folder, when not the one in home
    TestEngine engine;
    RecordingPrompter prompter;
    Prompter *realPrompter = nullptr;
    int quits = 0;
    std::unique_ptr<MDIForm1> frame; // last, so it goes first
};

// Before QApplication exists: headless, and no network on the test machines.
#define ORVANE_TEST_MAIN(TestObject)                                                               \
    int main(int argc, char *argv[])                                                               \
    {                                                                                              \
        PrepareWebEngine();                                                                        \
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-background-networking "                   \
                "--disable-component-update --no-proxy-server");                                   \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))                                        \
            qputenv("QT_QPA_PLATFORM", "offscreen");                                               \
        QApplication app(argc, argv);                                                              \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                   \
        TestObject tc;                                                                             \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }
