#pragma once

#include "client/IrcTransport.h"

#include <QPointer>
#include <QSslSocket>
#include <QString>

namespace tavu {

// The link to an IRC server over a QSslSocket: plain TCP, or TLS with the certificate checked
// against the server's name (a self-signed certificate only where the settings allow it). TLS
// problems are told in plain words: a refused certificate, and a port that answers no TLS (a plain
// port says nothing to a TLS greeting, or something that is no TLS), found within handshakeMs.
class QtIrcTransport : public IrcTransport {
public:
    explicit QtIrcTransport(int handshakeMs = 10'000) : m_handshakeMs(handshakeMs) {}
    ~QtIrcTransport() override;
    QtIrcTransport(const QtIrcTransport&) = delete;
    QtIrcTransport& operator=(const QtIrcTransport&) = delete;

    // A client certificate and its private key (PEM files; the key may be in the certificate's
    // file) shown to the server on TLS links.
    void setClientCertificate(const std::string& certificatePath, const std::string& keyPath);

    void open(const std::string& host, int port, TlsMode tls) override;
    void write(std::string_view bytes) override;
    void close() override;
    void finish() override;

private:
    void lost(const QString& reason);
    QString errorText(QAbstractSocket::SocketError error) const;
    void checkCertificate(const QList<QSslError>& errors);
    void release(bool graceful);
    QString loadCertificate(QSslSocket& socket) const;

    QPointer<QTcpSocket> m_socket; // a QSslSocket for TLS
    TlsMode m_tls = TlsMode::Off;
    int m_handshakeMs;
    QString m_where; // host:port
    QString m_certificateProblem;
    QString m_clientCertificate, m_clientKey;
};

} // namespace tavu
