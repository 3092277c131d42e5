#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

namespace httplib {
class Server;
struct Request;
struct Response;
}

// An HTTP server on 127.0.0.1 with an ephemeral port, running on its own thread
// for the life of the object.
class TestServer
{
public:
    TestServer();
    ~TestServer();

    httplib::Server &server();
    // Call after routes are set.
    bool start();
    int port() const { return m_port; }
    QString url(const QString &path) const;

    // A page that answers with the given HTML; hits() counts its requests.
    void page(const QString &path, const QByteArray &html);
    int hits(const QString &path) const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
    int m_port = 0;
};
