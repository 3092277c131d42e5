#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <atomic>
#include <httplib.h>
#include <map>
#include <memory>
#include <thread>

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
