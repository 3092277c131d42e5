#include "TestFrame.h"

#include "browser/EngineSetup.h"
#include "dialogs/download/CurlFetch.h"

namespace {
struct Factory : WebBrowserFactory
{
    WebBrowser *create(QWidget *parent, Prompter *prompter) override
    {
        return new WebEngineBrowser(parent, prompter);
    }
} engine;
} // namespace

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

void TestFrame::create(bool load, bool withEngine)
{
    frame.reset();
    FrameEnv env;
    env.programDir = program.path();
    env.homeDir = env.currentDir = home.path();
    env.prompter = realPrompter ? realPrompter : &prompter;
    env.dpi = 96;
    if (withEngine)
        env.browsers = [] { return static_cast<WebBrowserFactory *>(&engine); };
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
