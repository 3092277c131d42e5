#pragma once

#include "RecordingPrompter.h"
#include "TestUtil.h"

#include <memory>

class WebBrowserFactory;

// A frame of its own for each test: its own program folder and home in
// temporary folders, a recording prompter and the real web engine.
struct TestFrame
{
    // With real, the real dialogs ask in place of the recorder.
    explicit TestFrame(bool load = true, bool withEngine = true, Prompter *real = nullptr);
    ~TestFrame() { frame.reset(); }

    QString programDir() const { return program.path(); }
    QString homeDir() const { return home.path(); }
    QString settingsPath() const;

    QTemporaryDir program, home;
    RecordingPrompter prompter;
    Prompter *realPrompter = nullptr;
    int quits = 0;
    std::unique_ptr<MDIForm1> frame;

    MDIForm1 *operator->() const { return frame.get(); }
    void create(bool load = true, bool withEngine = true);
    // Opens a browser window on the address and waits for its page (null if it never loads).
    Form1 *openPage(const QString &address);
};

// The web engine linked into the test itself.
WebBrowserFactory *TestEngine();

// Headless set-up every test program needs before QApplication exists.
void PrepareTestEnvironment();

#define ORVANE_TEST_MAIN(TestObject)                                                               \
    int main(int argc, char *argv[])                                                               \
    {                                                                                              \
        PrepareTestEnvironment();                                                                  \
        QApplication app(argc, argv);                                                              \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                   \
        TestObject tc;                                                                             \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }
