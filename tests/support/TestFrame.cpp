#include "TestFrame.h"

#include "browser/EngineSetup.h"
#include "browser/webengine/WebEngineBrowser.h"
#include "dialogs/download/CurlFetch.h"

namespace {
class Factory : public WebBrowserFactory
{
public:
    WebBrowser *create(QWidget *parent, Prompter *prompter) override
    {
        return new WebEngineBrowser(parent, prompter);
    }
};
} // namespace

WebBrowserFactory *TestEngine()
{
    static Factory factory;
    return &factory;
}

void PrepareTestEnvironment()
{
    PrepareWebEngine();
    // The test machines have no network.
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS",
        "--disable-background-networking --disable-component-update --no-proxy-server");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

TestFrame::TestFrame(bool load, bool withEngine, Prompter *real)
    : realPrompter(real)
{
    create(load, withEngine);
}

QString TestFrame::settingsPath() const { return SettingsFilePath(program.path()); }

void TestFrame::create(bool load, bool withEngine)
{
    frame.reset();
    FrameEnv env;
    env.programDir = program.path();
    env.homeDir = home.path();
    env.currentDir = home.path();
    env.prompter = realPrompter ? realPrompter : &prompter;
    env.dpi = 96;
    if (withEngine)
        env.browsers = [] { return TestEngine(); };
    env.downloads = [] { return &CurlFetch; };
    env.quit = [this] { ++quits; };
    frame = std::make_unique<MDIForm1>(env);
    if (load)
        frame->MDIForm_Load();
}

Form1 *TestFrame::openPage(const QString &address)
{
    frame->OpenBrowserWindow(address, address, address);
    Form1 *w = lastWindow(frame.get());
    return w && waitForComplete(w) ? w : nullptr;
}
