#include "windows/LocalHttpServer.h"

#include <QTcpSocket>

namespace tavu::test {

LocalHttpServer::LocalHttpServer()
{
    m_server.listen(QHostAddress::LocalHost, 0);
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { serve(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

void LocalHttpServer::answer(int status, QByteArray body)
{
    m_status = status;
    m_body = std::move(body);
    m_quiet = false;
}

QString LocalHttpServer::url(const QString& path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path);
}

QString LocalHttpServer::deadUrl()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return QStringLiteral("http://127.0.0.1:%1/update.html").arg(port);
}

// Answers once the request's head has come in.
void LocalHttpServer::serve(QTcpSocket* socket)
{
    QByteArray head = socket->property("head").toByteArray() + socket->readAll();
    socket->setProperty("head", head);
    if (!head.contains("\r\n\r\n") || socket->property("answered").toBool())
        return;
    socket->setProperty("answered", true);
    ++m_requests;
    m_lastPath = QString::fromLatin1(head.split(' ').value(1));
    if (m_quiet)
        return;
    const QByteArray reason = m_status == 200 ? "OK" : "Not Found";
    socket->write("HTTP/1.1 " + QByteArray::number(m_status) + " " + reason + "\r\n" +
                  "Content-Type: text/html\r\nContent-Length: " + QByteArray::number(m_body.size()) +
                  "\r\nConnection: close\r\n\r\n" + m_body);
    socket->disconnectFromHost();
}

} // namespace tavu::test
