#pragma once

#include "RecordingPrompter.h"
#include "frame/MDIForm1.h"

#include <QTemporaryDir>
#include <memory>

class WebBrowserFactory;

// A frame of its own for each test: its own program folder and home in
// temporary folders, a recording prompter and the real web engine.
struct TestFrame
{
    explicit TestFrame(bool load = true, bool withEngine = true);
    ~TestFrame();

    QString programDir() const { return program.path(); }
    QString homeDir() const { return home.path(); }
    QString settingsPath() const;

    QTemporaryDir program;
    QTemporaryDir home;
    RecordingPrompter prompter;
    // Asks in place of the recorder when set before create(): the real dialogs.
    Prompter *realPrompter = nullptr;
    int quits = 0;
    std::unique_ptr<MDIForm1> frame;

    MDIForm1 *operator->() const { return frame.get(); }
    void create(bool load = true, bool withEngine = true);
};

// The web engine linked into the test itself.
WebBrowserFactory *TestEngine();

// Headless set-up every test program needs before QApplication exists.
void PrepareTestEnvironment();

#define ORVANE_TEST_MAIN(TestObject)                                                          \
    int main(int argc, char *argv[])                                                          \
    {                                                                                         \
        PrepareTestEnvironment();                                                             \
        QApplication app(argc, argv);                                                         \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                              \
        TestObject tc;                                                                        \
        QTEST_SET_MAIN_SOURCE_PATH                                                            \
        return QTest::qExec(&tc, argc, argv);                                                 \
    }
