#include "TestServer.h"

#include <httplib.h>
#include <chrono>
#include <thread>

struct TestServer::Impl
{
    httplib::Server server;
    std::thread thread;
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
    d->server.Get(path.toStdString(), [html](const httplib::Request &, httplib::Response &res) {
        res.set_content(html.toStdString(), "text/html");
    });
}
