#pragma once

#include "RecordingPrompter.h"
#include "TestUtil.h"

class WebBrowserFactory;

// A frame of its own for each test: program folder and home in temporary folders,
// a recording prompter (or the real one given) and the real web engine.
struct TestFrame
{
    explicit TestFrame(bool load = true, bool withEngine = true, Prompter *real = nullptr);
    QString programDir() const { return program.path(); }
    QString homeDir() const { return home.path(); }
    QString settingsPath() const { return SettingsFilePath(program.path()); }
    MDIForm1 *operator->() const { return frame.get(); }
    void create(bool load = true, bool withEngine = true);
    // Opens a browser window on the address; null if its page never loads.
    Form1 *openPage(const QString &address);

    QTemporaryDir program, home;
    RecordingPrompter prompter;
    Prompter *realPrompter = nullptr;
    int quits = 0;
    std::unique_ptr<MDIForm1> frame; // last, so it goes first
};

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
