#pragma once

#include "TestUtil.h"
#include "browser/EngineSetup.h"
#include "dialogs/download/CurlFetch.h"
#include "forms/Prompter.h"

#include <atomic>
#include <functional>
#include <httplib.h>
#include <map>
#include <memory>
#include <thread>

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

// An HTTP server on 127.0.0.1, an ephemeral port, its own thread. With tls, HTTPS
// with a self-signed certificate for 127.0.0.1 made when the server is.
class TestServer
{
public:
    explicit TestServer(bool tls = false)
    {
        if (!tls) {
            m_server = std::make_unique<httplib::Server>();
            return;
        }
        const QString cert = m_keys.filePath("cert.pem"), key = m_keys.filePath("key.pem");
        QProcess::execute("openssl", { "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days",
            "2", "-subj", "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1", "-keyout",
            key, "-out", cert });
        m_server = std::make_unique<httplib::SSLServer>(cert.toLocal8Bit().constData(),
            key.toLocal8Bit().constData());
        m_scheme = "https";
    }
    ~TestServer()
    {
        m_stopping = true; // slow bodies end
        m_server->stop();
        if (m_thread.joinable())
            m_thread.join();
    }
    httplib::Server &server() { return *m_server; }
    bool start() // once the routes are set
    {
        if (!m_server->is_valid() || (m_port = m_server->bind_to_any_port("127.0.0.1")) <= 0)
            return false;
        m_thread = std::thread([this] { m_server->listen_after_bind(); });
        while (!m_server->is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return true;
    }
    QString url(const QString &path) const
    {
        return QStringLiteral("%1://127.0.0.1:%2%3").arg(m_scheme).arg(m_port).arg(path);
    }
    // How the program names the site in its questions.
    QString site() const { return QStringLiteral("%1://127.0.0.1:%2").arg(m_scheme).arg(m_port); }
    // A page answering with the HTML (and the status); hits() counts its requests.
    void page(const QString &path, const QByteArray &html, int status = 200)
    {
        m_server->Get(path.toStdString(), [=, n = counter(path)](const auto &, auto &res) {
            ++*n;
            res.status = status;
            res.set_content(html.toStdString(), "text/html");
        });
    }
    int hits(const QString &path) const { return m_hits.at(path.toStdString())->load(); }

    // A file of the given bytes, as an attachment named disposition when not empty.
    // sent < size cuts the connection after that many bytes; chunkDelayMs > 0 sends
    // 64 KiB at a time with a pause between (until the server stops).
    void file(const QString &path, const QByteArray &bytes, const QByteArray &disposition = {},
        qsizetype sent = -1, int chunkDelayMs = 0, const char *type = "application/octet-stream")
    {
        const size_t upTo = sent < 0 ? size_t(bytes.size()) : size_t(sent);
        m_server->Get(path.toStdString(), [=, n = counter(path)](const auto &, auto &res) {
            ++*n;
            if (!disposition.isEmpty())
                res.set_header("Content-Disposition",
                    "attachment; filename=\"" + disposition.toStdString() + "\"");
            res.set_content_provider(size_t(bytes.size()), type,
                [=](size_t offset, size_t, httplib::DataSink &sink) {
                    if (offset >= upTo || m_stopping)
                        return false; // the connection is cut here
                    if (chunkDelayMs > 0 && offset > 0)
                        std::this_thread::sleep_for(std::chrono::milliseconds(chunkDelayMs));
                    const size_t n = std::min<size_t>(65536, upTo - offset);
                    return sink.write(bytes.constData() + offset, n);
                });
        });
    }
    // A page behind a Basic login: its HTML for the right pair, refused otherwise.
    void login(const QString &path, const QByteArray &user, const QByteArray &password,
        const QByteArray &html, const QByteArray &refused)
    {
        const std::string right = "Basic " + (user + ':' + password).toBase64().toStdString();
        m_server->Get(path.toStdString(), [=, n = counter(path)](const auto &req, auto &res) {
            ++*n;
            if (req.get_header_value("Authorization") == right)
                return res.set_content(html.toStdString(), "text/html");
            res.status = 401;
            res.set_header("WWW-Authenticate", "Basic realm=\"Orvane test\"");
            res.set_content(refused.toStdString(), "text/html");
        });
    }
    // Sets a cookie lasting a day (kept=<query v>) and one for the session; its title
    // is the Cookie header it was sent.
    void cookies(const QString &path)
    {
        m_server->Get(path.toStdString(), [n = counter(path)](const auto &req, auto &res) {
            ++*n;
            res.set_header("Set-Cookie", "kept=" + req.get_param_value("v") + "; Max-Age=86400");
            res.headers.emplace("Set-Cookie", "session=1");
            res.set_content("<title>[" + req.get_header_value("Cookie") + "]</title>", "text/html");
        });
    }

private:
    std::atomic<int> *counter(const QString &path)
    {
        return (m_hits[path.toStdString()] = std::make_unique<std::atomic<int>>(0)).get();
    }
    QTemporaryDir m_keys;
    std::unique_ptr<httplib::Server> m_server;
    QString m_scheme = "http";
    std::atomic<bool> m_stopping { false };
    std::thread m_thread;
    std::map<std::string, std::unique_ptr<std::atomic<int>>> m_hits;
    int m_port = 0;
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
