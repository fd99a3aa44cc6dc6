#include "tests/ui/support/LoopbackTcpServer.h"

#include <QFile>
#include <QHostAddress>
#include <QSslCertificate>
#include <QSslKey>

#include <gtest/gtest.h>

namespace tarnwick::test {
namespace {

QByteArray ReadTestFile(const char* name)
{
    QFile file(QStringLiteral(TARNWICK_TEST_TLS_DIR "/") + QLatin1String(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll();
}

}  // namespace

void TrustTestCertificate()
{
    static const bool trusted = [] {
        QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
        configuration.addCaCertificates(QSslCertificate::fromData(ReadTestFile("trusted.crt")));
        QSslConfiguration::setDefaultConfiguration(configuration);
        return true;
    }();
    (void)trusted;
}

LoopbackTcpServer::LoopbackTcpServer(Transport transport) : m_transport(transport)
{
    if (m_transport != Transport::Plain) {
        const char* name = m_transport == Transport::TlsTrusted ? "trusted" : "untrusted";
        m_tls = QSslConfiguration::defaultConfiguration();
        m_tls.setLocalCertificate(QSslCertificate(ReadTestFile((std::string(name) + ".crt").c_str())));
        m_tls.setPrivateKey(QSslKey(ReadTestFile((std::string(name) + ".key").c_str()), QSsl::Rsa));
        m_tls.setPeerVerifyMode(QSslSocket::VerifyNone);
    }
    EXPECT_TRUE(listen(QHostAddress::LocalHost, 0));
}

QString LoopbackTcpServer::baseUrl() const
{
    const QString scheme = m_transport == Transport::Plain ? QStringLiteral("http") : QStringLiteral("https");
    return QStringLiteral("%1://127.0.0.1:%2").arg(scheme).arg(serverPort());
}

void LoopbackTcpServer::incomingConnection(qintptr descriptor)
{
    if (m_transport == Transport::Plain) {
        QTcpServer::incomingConnection(descriptor);
        return;
    }
    auto* socket = new QSslSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        return;
    }
    socket->setSslConfiguration(m_tls);
    socket->startServerEncryption();
    addPendingConnection(socket);
}

}  // namespace tarnwick::test
