#pragma once
// A TCP server on 127.0.0.1 for the network tests, plain or with TLS. With
// TLS each accepted connection is a QSslSocket that has begun its handshake
// with a test certificate; it reads and writes the decrypted stream, so a
// test's request handling is the same either way.
#include <QSslConfiguration>
#include <QSslSocket>
#include <QString>
#include <QTcpServer>

namespace tarnwick::test {

enum class Transport { Plain, TlsTrusted, TlsUntrusted };

// Makes every connection of this test program trust tests/ui/support/tls/trusted.crt
// (besides the system's certificates). Idempotent.
void TrustTestCertificate();

class LoopbackTcpServer : public QTcpServer {
public:
    explicit LoopbackTcpServer(Transport transport);
    // "http://127.0.0.1:PORT" or "https://127.0.0.1:PORT".
    QString baseUrl() const;

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    Transport m_transport;
    QSslConfiguration m_tls;
};

}  // namespace tarnwick::test
