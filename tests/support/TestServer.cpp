#include "TestServer.h"

#include <httplib.h>
#include <chrono>
#include <map>
#include <mutex>
#include <thread>

struct TestServer::Impl
{
    httplib::Server server;
    std::thread thread;
    mutable std::mutex mutex;
    std::map<std::string, int> hits;
};

TestServer::TestServer() : d(std::make_unique<Impl>()) { }

TestServer::~TestServer()
{
    d->server.stop();
    if (d->thread.joinable())
        d->thread.join();
}

httplib::Server &TestServer::server()
{
    return d->server;
}

bool TestServer::start()
{
    m_port = d->server.bind_to_any_port("127.0.0.1");
    if (m_port <= 0)
        return false;
    d->thread = std::thread([this] { d->server.listen_after_bind(); });
    while (!d->server.is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return true;
}

QString TestServer::url(const QString &path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(path);
}

void TestServer::page(const QString &path, const QByteArray &html)
{
    Impl *impl = d.get();
    const std::string key = path.toStdString();
    d->server.Get(key, [impl, key, html](const httplib::Request &, httplib::Response &res) {
        {
            std::lock_guard<std::mutex> lock(impl->mutex);
            ++impl->hits[key];
        }
        res.set_content(html.toStdString(), "text/html");
    });
}

int TestServer::hits(const QString &path) const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    const auto found = d->hits.find(path.toStdString());
    return found == d->hits.end() ? 0 : found->second;
}
