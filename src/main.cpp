// Orvane: engine set-up, then the frame.
#include "browser/EngineSetup.h"
#include "browser/WebBrowser.h"
#include "dialogs/PageDownload.h"
#include "frame/MDIForm1.h"
#include "frame/RunningCopy.h"
#include "forms/MessageBoxPrompter.h"
#include "forms/ModuleLoader.h"
#include "forms/Prompter.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QStandardPaths>
#include <QUrl>
#include <cstdio>
#include <QTimer>
#include <memory>

namespace {

// Drawn rather than loaded: an SVG would bring in the SVG module at start-up.
QIcon OrvaneIcon()
{
    QPixmap pixmap(48, 48);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(57, 109, 165), 3));
    p.setBrush(QColor(214, 223, 247));
    p.drawEllipse(QRectF(3, 3, 42, 42));
    p.setPen(QPen(QColor(57, 109, 165), 2.5));
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(10, 24), QPointF(38, 24));
    p.drawEllipse(QRectF(16, 4, 16, 40));
    return QIcon(pixmap);
}

void describe(QCommandLineParser &parser)
{
    parser.setApplicationDescription(QStringLiteral("A web browser: one window per page."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("address"),
                                 QStringLiteral("Addresses or files to open, each in a window "
                                                "of its own."),
                                 QStringLiteral("[ADDRESS|FILE]..."));
}

// --help and --version are answered before the window system is touched, so they
// work without a display. Qt's own options are not known yet and go unnoticed here.
void answerInfoOptions(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    QCommandLineParser parser;
    describe(parser);
    parser.parse(arguments);
    if (!parser.isSet(QStringLiteral("help")) && !parser.isSet(QStringLiteral("version")))
        return;
    QCoreApplication core(argc, argv);
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(0);
    parser.showVersion();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("Orvane"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ORVANE_VERSION));
    answerInfoOptions(argc, argv);
    PrepareWebEngine();
    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral(ORVANE_APP_ID));
    app.setWindowIcon(OrvaneIcon());
    QCommandLineParser parser;
    describe(parser);
    parser.process(app);

    // A copy already running for this user and data folder opens the addresses in
    // its frame; this start ends there. Files are named in full for it.
    QStringList addresses;
    for (const QString &argument : parser.positionalArguments()) {
        const QUrl url(argument);
        const QFileInfo file(url.isLocalFile() ? url.toLocalFile() : argument);
        addresses.append(file.isFile() ? file.absoluteFilePath() : argument);
    }
    const QString dataDir = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
            + QStringLiteral("/Orvane");
    const QString socket = RunningCopy::socketFor(dataDir);
    if (RunningCopy::handOver(socket, addresses, 2000))
        return 0;
    RunningCopy copy;
    if (!copy.listen(socket))
        std::fprintf(stderr, "Orvane: another copy of Orvane is running but does not answer; "
                             "this one runs on its own, off the record.\n");

    MessageBoxPrompter prompter;
    const QString programDir = QCoreApplication::applicationDirPath();
    // The web engine and the page-source download load on first use.
    const QStringList enginePlaces =
            ModulePlaces(programDir, QStringLiteral("liborvane_webengine.so"));
    ModuleLoader engine(enginePlaces, "orvane_webengine_factory");
    ModuleLoader download(ModulePlaces(programDir, QStringLiteral("liborvane_download.so")),
                          "orvane_download_fetch");
    MDIForm1 *frame = nullptr;
    // Made with the first window; it holds the engine's profile, which must go after
    // the last view and before the application.
    std::unique_ptr<WebBrowserFactory> browsers;

    FrameEnv env;
    // An installed copy (its modules in ../lib/orvane) keeps its settings in the
    // user's folder, even when run by root, who could write into /usr/bin.
    const bool installed = QFileInfo::exists(enginePlaces.constFirst());
    env.programDir = installed ? QString() : programDir;
    env.configDir = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    env.homeDir = QDir::homePath();
    env.currentDir = QDir::currentPath();
    // The journal of open windows is the user's state, kept across runs.
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || QDir::isRelativePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    env.stateDir = state + QStringLiteral("/Orvane");
    env.historyFile = dataDir + QStringLiteral("/history.sqlite");
    env.prompter = &prompter;
    env.browsers = [&engine, &prompter, &frame, &browsers]() -> WebBrowserFactory * {
        if (!browsers)
            browsers.reset(engine.call<WebBrowserFactory *>());
        WebBrowserFactory *factory = browsers.get();
        if (!factory && frame) {
            static bool told = false;
            if (!told) {
                told = true;
                prompter.msgBox(frame, QStringLiteral("The web engine could not be loaded:\n")
                                        + engine.errorString(),
                                MsgBox::Critical, QStringLiteral("Orvane"));
            }
        }
        return factory;
    };
    env.downloads = [&download] { return download.call<PageFetch>(); };
    env.quit = [] { QCoreApplication::exit(0); };

    frame = new MDIForm1(env);
    frame->MDIForm_Load();
    engine.loadWhenIdle(frame);
    // The windows of a run that ended badly come back first, if the user wants them.
    frame->offerRestore();
    const auto open = [frame](const QStringList &addresses) { frame->OpenArguments(addresses); };
    QTimer::singleShot(0, frame, [open, addresses] { open(addresses); });
    QObject::connect(&copy, &RunningCopy::asked, frame, [frame, open](const QStringList &addresses) {
        QTimer::singleShot(0, frame, [open, addresses] { open(addresses); });
        frame->setWindowState((frame->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
        frame->show();
        frame->raise();
        frame->activateWindow();
    });
    const int code = app.exec();
    // Views go before the engine's profile does; running downloads end with it.
    delete frame;
    browsers.reset();
    return code;
}
