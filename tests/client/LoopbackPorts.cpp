#include "LoopbackPorts.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

namespace tavu::test {

int freeLoopbackPort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    return probe.serverPort();
}

bool acceptingOnLoopback(int port)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, static_cast<quint16>(port));
    const bool up = socket.waitForConnected(200);
    socket.abort();
    return up;
}

} // namespace tavu::test
