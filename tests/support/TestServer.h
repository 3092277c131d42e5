#pragma once

#include <QByteArray>
#include <QString>
#include <atomic>
#include <httplib.h>
#include <map>
#include <memory>
#include <thread>

// An HTTP server on 127.0.0.1 with an ephemeral port, running on its own thread
// for the life of the object.
class TestServer
{
public:
    ~TestServer();
    httplib::Server &server() { return m_server; }
    // Call after routes are set.
    bool start();
    int port() const { return m_port; }
    QString url(const QString &path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(path);
    }
    // A page that answers with the given HTML; hits() counts its requests.
    void page(const QString &path, const QByteArray &html);
    int hits(const QString &path) const { return m_hits.at(path.toStdString())->load(); }

private:
    httplib::Server m_server;
    std::thread m_thread;
    std::map<std::string, std::unique_ptr<std::atomic<int>>> m_hits;
    int m_port = 0;
};
