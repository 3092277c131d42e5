#pragma once

#include <QByteArray>
#include <QString>
#include <atomic>
#include <httplib.h>
#include <map>
#include <memory>
#include <thread>

// An HTTP server on 127.0.0.1, an ephemeral port, its own thread.
class TestServer
{
public:
    ~TestServer()
    {
        m_server.stop();
        if (m_thread.joinable())
            m_thread.join();
    }
    httplib::Server &server() { return m_server; }
    bool start() // once the routes are set
    {
        if ((m_port = m_server.bind_to_any_port("127.0.0.1")) <= 0)
            return false;
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        while (!m_server.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return true;
    }
    QString url(const QString &path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(path);
    }
    // A page answering with the HTML; hits() counts its requests.
    void page(const QString &path, const QByteArray &html)
    {
        auto &hits = m_hits[path.toStdString()] = std::make_unique<std::atomic<int>>(0);
        m_server.Get(path.toStdString(), [n = hits.get(), html](const auto &, auto &res) {
            ++*n;
            res.set_content(html.toStdString(), "text/html");
        });
    }
    int hits(const QString &path) const { return m_hits.at(path.toStdString())->load(); }

private:
    httplib::Server m_server;
    std::thread m_thread;
    std::map<std::string, std::unique_ptr<std::atomic<int>>> m_hits;
    int m_port = 0;
};
