#include "platform/QtIrcTransport.h"

#include <QFile>
#include <QSslKey>
#include <QTimer>

namespace tavu {
namespace {

QString plainPortHint()
{
    return QStringLiteral("is it a plain port? Set TLS=0, or use the server's TLS port (often 6697)");
}

} // namespace

QtIrcTransport::~QtIrcTransport()
{
    delete m_socket.data();
}

void QtIrcTransport::setClientCertificate(const std::string& certificatePath, const std::string& keyPath)
{
    m_clientCertificate = QString::fromStdString(certificatePath);
    m_clientKey = QString::fromStdString(keyPath.empty() ? certificatePath : keyPath);
}

// "" when the certificate and key are in place, else what is wrong with them.
QString QtIrcTransport::loadCertificate(QSslSocket& socket) const
{
    const QList<QSslCertificate> certificates = QSslCertificate::fromPath(m_clientCertificate, QSsl::Pem);
    if (certificates.isEmpty())
        return QStringLiteral("the client certificate ") + m_clientCertificate +
               QStringLiteral(" cannot be read (a PEM file is needed)");
    QFile file(m_clientKey);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("the key ") + m_clientKey + QStringLiteral(" cannot be read: ") + file.errorString();
    const QByteArray pem = file.read(1 << 20);
    for (const QSsl::KeyAlgorithm algorithm : {QSsl::Rsa, QSsl::Ec, QSsl::Dsa}) {
        const QSslKey key(pem, algorithm, QSsl::Pem);
        if (!key.isNull()) {
            socket.setLocalCertificate(certificates.front());
            socket.setPrivateKey(key);
            return {};
        }
    }
    return QStringLiteral("the key ") + m_clientKey + QStringLiteral(" holds no private key that can be used");
}

void QtIrcTransport::open(const std::string& host, int port, TlsMode tls)
{
    release(false);
    m_tls = tls;
    m_where = QString::fromStdString(host) + QLatin1Char(':') + QString::number(port);
    m_certificateProblem.clear();
    // A plain link is a plain TCP socket: a QSslSocket would load the TLS library for nothing.
    QTcpSocket* socket = tls == TlsMode::Off ? new QTcpSocket : new QSslSocket;
    m_socket = socket;
    const auto opened = [this] {
        if (m_events.opened)
            m_events.opened();
    };
    if (auto* secure = qobject_cast<QSslSocket*>(socket)) {
        // A plain IRC port waits for a line and never answers the TLS greeting.
        auto* handshake = new QTimer(secure);
        handshake->setSingleShot(true);
        QObject::connect(secure, &QSslSocket::connected, handshake,
                         [handshake, this] { handshake->start(m_handshakeMs); });
        QObject::connect(secure, &QSslSocket::encrypted, handshake, &QTimer::stop);
        QObject::connect(handshake, &QTimer::timeout, secure, [this] {
            lost(QStringLiteral("no TLS answer from ") + m_where + QStringLiteral(" within ") +
                 QString::number((m_handshakeMs + 999) / 1000) + QStringLiteral(" s: ") + plainPortHint());
        });
        QObject::connect(secure, &QSslSocket::encrypted, secure, opened);
        QObject::connect(secure, &QSslSocket::sslErrors, secure,
                         [this](const QList<QSslError>& errors) { checkCertificate(errors); });
    } else {
        QObject::connect(socket, &QTcpSocket::connected, socket, opened);
    }
    QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
        const QByteArray bytes = socket->readAll();
        if (m_events.received)
            m_events.received(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    });
    QObject::connect(socket, &QTcpSocket::disconnected, socket,
                     [this] { lost(QStringLiteral("the server closed the connection")); });
    QObject::connect(socket, &QTcpSocket::errorOccurred, socket,
                     [this](QAbstractSocket::SocketError error) { lost(errorText(error)); });
    const QString name = QString::fromStdString(host);
    const auto qport = static_cast<quint16>(port);
    if (auto* secure = qobject_cast<QSslSocket*>(socket); secure && !m_clientCertificate.isEmpty()) {
        if (const QString problem = loadCertificate(*secure); !problem.isEmpty()) {
            QTimer::singleShot(0, secure, [this, problem] { lost(problem); });
            return;
        }
    }
    if (auto* secure = qobject_cast<QSslSocket*>(socket))
        secure->connectToHostEncrypted(name, qport);
    else
        socket->connectToHost(name, qport);
}

void QtIrcTransport::checkCertificate(const QList<QSslError>& errors)
{
    bool selfSignedOnly = m_tls == TlsMode::AcceptSelfSigned;
    QStringList problems;
    for (const QSslError& error : errors) {
        problems << error.errorString();
        selfSignedOnly = selfSignedOnly && (error.error() == QSslError::SelfSignedCertificate ||
                                            error.error() == QSslError::SelfSignedCertificateInChain);
    }
    bool selfSigned = !errors.isEmpty();
    for (const QSslError& error : errors)
        selfSigned = selfSigned && (error.error() == QSslError::SelfSignedCertificate ||
                                    error.error() == QSslError::SelfSignedCertificateInChain);
    if (auto* secure = qobject_cast<QSslSocket*>(m_socket.data()); selfSignedOnly && secure)
        secure->ignoreSslErrors(errors);
    else
        m_certificateProblem =
            QStringLiteral("certificate refused (") + m_where + QStringLiteral("): ") +
            problems.join(QStringLiteral("; ")) +
            (selfSigned ? QStringLiteral(" (TLS=self-signed accepts a self-signed certificate)") : QString());
}

QString QtIrcTransport::errorText(QAbstractSocket::SocketError error) const
{
    if (!m_certificateProblem.isEmpty())
        return m_certificateProblem;
    const QString said = m_socket ? m_socket->errorString() : QString();
    if (error == QAbstractSocket::SslHandshakeFailedError)
        return QStringLiteral("the TLS handshake with ") + m_where + QStringLiteral(" failed (") + said +
               QStringLiteral("): ") + plainPortHint();
    return said;
}

void QtIrcTransport::lost(const QString& reason)
{
    release(false);
    if (m_events.closed)
        m_events.closed(reason.toStdString());
}

void QtIrcTransport::write(std::string_view bytes)
{
    if (m_socket)
        m_socket->write(bytes.data(), static_cast<qint64>(bytes.size()));
}

void QtIrcTransport::close()
{
    release(false);
}

void QtIrcTransport::finish()
{
    release(true);
}

// Lets the socket go without hearing from it again. It is deleted later, since this may run inside
// one of its own signals.
void QtIrcTransport::release(bool graceful)
{
    QTcpSocket* socket = m_socket.data();
    m_socket.clear();
    if (!socket)
        return;
    QObject::disconnect(socket, nullptr, socket, nullptr);
    if (graceful) {
        // The last lines (QUIT) go out now: the program may be about to end.
        socket->flush();
        if (socket->bytesToWrite() > 0)
            socket->waitForBytesWritten(1000);
        QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        socket->disconnectFromHost();
        if (socket->state() == QAbstractSocket::UnconnectedState)
            socket->deleteLater();
    } else {
        socket->abort();
        socket->deleteLater();
    }
}

} // namespace tavu
