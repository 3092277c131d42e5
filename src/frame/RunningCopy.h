#pragma once

#include <QObject>
#include <QStringList>

class QLocalServer;
class QLocalSocket;

// One Orvane per user and data folder: a later start hands its addresses to the
// copy already running, over a local socket, and ends.
class RunningCopy : public QObject
{
    Q_OBJECT
public:
    // The socket's path for the copy keeping its data in dataDir.
    static QString socketFor(const QString &dataDir);
    // Gives the addresses to the copy listening on socket. True once it said it took
    // them; false when none listens or it did not answer within waitMs.
    static bool handOver(const QString &socket, const QStringList &addresses, int waitMs);

    explicit RunningCopy(QObject *parent = nullptr);
    // Listens for later starts; false when another copy listens already or the socket
    // cannot be made.
    bool listen(const QString &socket);

    // Limits on what one start may send, and how long it may take to send it.
    static constexpr int MaxMessage = 256 * 1024;
    static constexpr int ReadLimitMs = 5000;

signals:
    // A later start asked for these (none: just show the frame).
    void asked(const QStringList &addresses);

private:
    void read(QLocalSocket *socket);

    QLocalServer *m_server;
};
