#include "frame/RunningCopy.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>
#include <unistd.h>

namespace {
// A start's message: this line, the addresses one per line, then an empty line.
const QByteArray Greeting = "orvane open 1\n";
const QByteArray Taken = "taken\n";
} // namespace

QString RunningCopy::socketFor(const QString &dataDir)
{
    const QByteArray key = QCryptographicHash::hash(QDir::cleanPath(dataDir).toUtf8(),
                                                    QCryptographicHash::Sha1).toHex().left(16);
    // The user's runtime folder is theirs alone; without one, the shared temporary
    // folder, the user's number in the name.
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty() || !QFileInfo(folder).isDir() || QDir::isRelativePath(folder))
        folder = QDir::tempPath();
    return QStringLiteral("%1/orvane-%2-%3").arg(folder).arg(getuid()).arg(QString::fromLatin1(key));
}

bool RunningCopy::handOver(const QString &socket, const QStringList &addresses, int waitMs)
{
    QLocalSocket out;
    QDeadlineTimer deadline(waitMs);
    out.connectToServer(socket);
    if (!out.waitForConnected(int(deadline.remainingTime())))
        return false;
    QByteArray message = Greeting;
    for (const QString &address : addresses)
        message += address.simplified().toUtf8() + '\n';
    out.write(message + '\n');
    QByteArray reply;
    while (!reply.contains('\n') && !deadline.hasExpired()
           && out.waitForReadyRead(int(deadline.remainingTime())))
        reply += out.readAll();
    // A copy that is stopped takes the connection but never answers.
    return reply == Taken;
}

RunningCopy::RunningCopy(QObject *parent) : QObject(parent), m_server(new QLocalServer(this))
{
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = m_server->nextPendingConnection()) {
            // A sender that is slow, silent or sends too much is dropped.
            QTimer::singleShot(ReadLimitMs, socket, &QLocalSocket::abort);
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] { read(socket); });
        }
    });
}

bool RunningCopy::listen(const QString &socket)
{
    // A copy listening there, even one that does not answer, keeps the socket; one
    // left by a copy that ended badly answers no one and is taken over.
    QLocalSocket probe;
    probe.connectToServer(socket);
    if (probe.waitForConnected(1000))
        return false;
    QLocalServer::removeServer(socket);
    return m_server->listen(socket);
}

void RunningCopy::read(QLocalSocket *socket)
{
    if (socket->bytesAvailable() > MaxMessage)
        return socket->abort();
    const QByteArray message = socket->peek(MaxMessage);
    if (!message.startsWith(Greeting.left(qMin(message.size(), Greeting.size()))))
        return socket->abort();
    if (!message.endsWith("\n\n") || message.size() <= Greeting.size())
        return; // more to come
    socket->readAll();
    QStringList addresses;
    for (const QByteArray &line : message.mid(Greeting.size()).split('\n'))
        if (!line.trimmed().isEmpty())
            addresses.append(QString::fromUtf8(line).trimmed());
    socket->write(Taken);
    socket->flush();
    socket->disconnectFromServer();
    emit asked(addresses);
}
