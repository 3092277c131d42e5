#include "TestServer.h"

TestServer::~TestServer()
{
    m_server.stop();
    if (m_thread.joinable())
        m_thread.join();
}

bool TestServer::start()
{
    m_port = m_server.bind_to_any_port("127.0.0.1");
    if (m_port <= 0)
        return false;
    m_thread = std::thread([this] { m_server.listen_after_bind(); });
    while (!m_server.is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return true;
}

void TestServer::page(const QString &path, const QByteArray &html)
{
    std::atomic<int> *hits
        = (m_hits[path.toStdString()] = std::make_unique<std::atomic<int>>(0)).get();
    m_server.Get(
        path.toStdString(), [hits, html](const httplib::Request &, httplib::Response &res) {
            ++*hits;
            res.set_content(html.toStdString(), "text/html");
        });
}
