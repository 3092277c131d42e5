#pragma once

#include "TestServer.h"
#include "TestUtil.h"
#include "browser/EngineSetup.h"
#include "dialogs/download/CurlFetch.h"
#include "forms/Prompter.h"

#include <functional>

// Answers the program's questions from a script and records every one asked.
class RecordingPrompter : public Prompter
{
public:
    struct Asked
    {
        QString text;
        int style;
        QString title;
    };
    MsgBox::Answer msgBox(QWidget *, const QString &text, MsgBox::Style style,
                          const QString &title) override
    {
        record(text, int(style), title);
        return answers.isEmpty() ? defaultAnswer : answers.takeFirst();
    }
    bool pageDialog(QWidget *, PageDialog *dialog) override
    {
        pageDialogs.append(*dialog);
        return onPageDialog ? onPageDialog(dialog) : true;
    }
    QString openFileName(QWidget *, const QString &, const QString &,
        const QList<FileFilter> &) override { return {}; }
    // Cancelled, and recorded in others as "save <title> <name offered>", "ask <title>",
    // "print".
    QString saveFileName(QWidget *, const QString &title, const QString &suggested) override
    {
        return others.append("save " + title + " " + suggested), QString();
    }
    // Answered from texts ("=" keeps the text offered), else cancelled.
    QString askText(QWidget *, const QString &title, const QString &, const QString &text,
        bool *ok) override
    {
        others.append("ask " + title + (text.isEmpty() ? "" : ": " + text));
        if (!(*ok = !texts.isEmpty()))
            return QString();
        return texts.first() == "=" ? (texts.removeFirst(), text) : texts.takeFirst();
    }
    QStringList texts;
    bool choosePrinter(QWidget *, QPrinter *p) override
    {
        others.append("print");
        return onPrinter && onPrinter(p);
    }
    // Recorded in others as "upload <folder>"; answered from uploads, else cancelled.
    QStringList chooseFiles(QWidget *, const QString &folder, bool) override
    {
        others.append("upload " + folder);
        return std::exchange(uploads, {});
    }
    QStringList uploads;
    int execDialog(QDialog *dialog) override
    {
        ++dialogsRun;
        return onDialog ? onDialog(dialog) : int(QDialog::Rejected);
    }

    // Recorded in asked with a style of SaveQuestion (text: the folder and name
    // offered) or LoginQuestion; answered from saves and logins, else cancelled.
    QString saveFileIn(QWidget *, const QString &title, const QString &folder,
        const QString &suggested) override
    {
        record(folder + "/" + suggested, SaveQuestion, title);
        return saves.isEmpty() ? QString() : saves.takeFirst();
    }
    bool askLogin(QWidget *, const QString &title, const QString &text, QString *user,
        QString *password) override
    {
        record(text, LoginQuestion, title);
        if (logins.isEmpty())
            return false;
        *user = logins.first().first;
        *password = logins.takeFirst().second;
        return true;
    }
    enum { SaveQuestion = -1, LoginQuestion = -2 };
    QStringList saves;
    QList<QPair<QString, QString>> logins;

    // The n-th box asked as "text|title|style".
    QString box(int n = 0) const
    {
        if (n < 0 || n >= asked.size())
            return QStringLiteral("<question %1 was never asked>").arg(n + 1);
        const Asked &a = asked.at(n);
        return a.text + "|" + a.title + "|" + QString::number(a.style);
    }

    QList<MsgBox::Answer> answers; // taken in order, then defaultAnswer
    MsgBox::Answer defaultAnswer = MsgBox::Ok;
    std::function<void(const Asked &)> whileOpen;
    std::function<int(QDialog *)> onDialog;
    std::function<bool(PageDialog *)> onPageDialog; // OK, nothing typed, when unset
    std::function<bool(QPrinter *)> onPrinter;      // cancelled when unset
    QList<PageDialog> pageDialogs;
    QList<Asked> asked;
    QStringList others;
    int dialogsRun = 0;

private:
    void record(const QString &text, int style, const QString &title)
    {
        asked.append(Asked { text, style, title });
        if (whileOpen) // as in the nested loop a real box would run
            whileOpen(asked.last());
    }
};

// A frame of its own for each test: program folder and home in temporary folders,
// a recording prompter (or the real dialogs) and the real web engine.
struct TestFrame
{
    enum Dialogs { Recorded, Real };
    explicit TestFrame(bool load = true, bool withEngine = true, Dialogs dialogs = Recorded)
        : realDialogs(dialogs == Real)
    {
        useUserFolders(home.path());
        create(load, withEngine);
    }
    // The user's folders as the engine's profile and the downloads find them, read
    // when the first window is made: HOME and XDG_* under home.
    static void useUserFolders(const QString &home)
    {
        qputenv("HOME", QFile::encodeName(home));
        qputenv("XDG_DATA_HOME", QFile::encodeName(home + "/.local/share"));
        qputenv("XDG_CACHE_HOME", QFile::encodeName(home + "/.cache"));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home + "/.config"));
    }
    ~TestFrame()
    {
        frame.reset();
        const bool used = engine && engine->profile();
        engine.reset();
        // The engine writes its cache index and network state just after its profile
        // has gone; the temporary home is removed after that.
        if (used)
            QTest::qWait(300);
    }
    // Quit and start again: the frame, then the engine's profile, then anew.
    void restart()
    {
        frame.reset();
        engine = std::make_unique<WebEngineFactory>();
        create();
    }
    void create(bool load = true, bool withEngine = true)
    {
        frame.reset();
        FrameEnv env;
        env.programDir = program.path();
        env.homeDir = env.currentDir = home.path();
        env.stateDir = stateDir();
        env.historyFile = historyFile();
        env.prompter = realDialogs ? static_cast<Prompter *>(&real) : &prompter;
        env.dpi = 96;
        if (withEngine)
            env.browsers = [this]() -> WebBrowserFactory * { return engine.get(); };
        env.downloads = [] { return &CurlFetch; };
        env.quit = [this] { ++quits; };
        frame = std::make_unique<MDIForm1>(env);
        if (load)
            frame->MDIForm_Load();
    }
    QString programDir() const { return program.path(); }
    QString homeDir() const { return home.path(); }
    QString stateDir() const { return state.isEmpty() ? home.path() + "/.local/state/Orvane" : state; }
    QString historyFile() const { return home.path() + "/.local/share/Orvane/history.sqlite"; }
    QString settingsPath() const { return SettingsFilePath(program.path()); }
    MDIForm1 *operator->() const { return frame.get(); }
    // Opens a browser window on the address; null if its page never loads.
    Form1 *openPage(const QString &address)
    {
        frame->OpenBrowserWindow(address, address, address);
        Form1 *w = lastWindow(frame.get());
        return w && waitForComplete(w) ? w : nullptr;
    }
    // On a real display: the frame active on the screen, then a window on the address
    // (when one is given), loaded and settled; null when either fails.
    Form1 *showOnScreen(const QString &address)
    {
        frame->resize(1000, 760);
        frame->activateWindow();
        if (!QTest::qWaitForWindowActive(frame.get()) || address.isEmpty())
            return nullptr;
        Form1 *w = openPage(address);
        RealInput::settle();
        return w;
    }

    QTemporaryDir program, home;
    QString state; // the journal's folder, when not the one in home
    std::unique_ptr<WebEngineFactory> engine = std::make_unique<WebEngineFactory>();
    RecordingPrompter prompter;
    MessageBoxPrompter real;
    bool realDialogs = false;
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
