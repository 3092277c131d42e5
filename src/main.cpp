// Orvane: engine set-up, then the frame.
#include "browser/EngineLoader.h"
#include "frame/MDIForm1.h"
#include "frame/MessageBoxPrompter.h"
#include "frame/Prompter.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QTimer>
#include <unistd.h>

int main(int argc, char *argv[])
{
    // Chromium refuses to run as root with its sandbox on; for everybody else it stays on.
    if (geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    // Without this the engine cannot start once the application exists.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Orvane"));
    app.setWindowIcon(QIcon(QStringLiteral(":/orvane/orvane.svg")));

    MessageBoxPrompter prompter;
    const QString programDir = QCoreApplication::applicationDirPath();
    EngineLoader engine(programDir + QStringLiteral("/liborvane_webengine.so"));
    MDIForm1 *frame = nullptr;

    FrameEnv env;
    env.programDir = programDir;
    env.homeDir = QDir::homePath();
    env.currentDir = QDir::currentPath();
    env.prompter = &prompter;
    env.browsers = [&engine, &prompter, &frame]() -> WebBrowserFactory * {
        WebBrowserFactory *factory = engine.factory();
        if (!factory && frame) {
            static bool told = false;
            if (!told) {
                told = true;
                prompter.msgBox(frame, QStringLiteral("The web engine could not be loaded:\n")
                                        + engine.errorString(), 16, QStringLiteral("Orvane"));
            }
        }
        return factory;
    };
    env.quit = [] { QCoreApplication::exit(0); };

    frame = new MDIForm1(env);
    frame->MDIForm_Load();
    const int code = app.exec();
    // Views go before the engine's profile does.
    delete frame;
    return code;
}
