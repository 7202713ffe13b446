#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTcpServer>

namespace tavu::test {

// A tiny web server on a free loopback port, for the update checker. It answers every request
// with the page it was given, or, told to stay quiet, takes the connection and never answers.
class LocalHttpServer : public QObject {
public:
    LocalHttpServer();

    void answer(int status, QByteArray body);
    void stayQuiet() { m_quiet = true; }

    QString url(const QString& path = QStringLiteral("/update.html")) const;
    int requests() const { return m_requests; }
    const QString& lastPath() const { return m_lastPath; }

    // A loopback address where nothing listens.
    static QString deadUrl();

private:
    void serve(class QTcpSocket* socket);

    QTcpServer m_server;
    int m_status = 200;
    QByteArray m_body;
    bool m_quiet = false;
    int m_requests = 0;
    QString m_lastPath;
};

} // namespace tavu::test
