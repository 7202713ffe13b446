#pragma once

#include "client/IrcTransport.h"

#include <QPointer>
#include <QSslSocket>

namespace tavu {

// The link to an IRC server over a QSslSocket: plain TCP, or TLS with the certificate checked
// against the server's name (a self-signed certificate only where the settings allow it).
class QtIrcTransport : public IrcTransport {
public:
    QtIrcTransport() = default;
    ~QtIrcTransport() override;
    QtIrcTransport(const QtIrcTransport&) = delete;
    QtIrcTransport& operator=(const QtIrcTransport&) = delete;

    void open(const std::string& host, int port, TlsMode tls) override;
    void write(std::string_view bytes) override;
    void close() override;
    void finish() override;

private:
    void lost(const QString& reason);
    void checkCertificate(const QList<QSslError>& errors);
    void release(bool graceful);

    QPointer<QSslSocket> m_socket;
    TlsMode m_tls = TlsMode::Off;
    QString m_certificateProblem;
};

} // namespace tavu
