#pragma once
// A web server on 127.0.0.1 for the update check's tests: it answers every
// request with a response prepared by the test, or stays silent. It speaks
// TLS with the test certificate the test program trusts, unless told otherwise.
#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QString>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include <utility>

#include "tests/ui/support/LoopbackTcpServer.h"

namespace tarnwick::test {

inline QByteArray HttpResponse(const QByteArray& body, const QByteArray& status = "200 OK")
{
    return "HTTP/1.1 " + status + "\r\nContent-Type: text/plain\r\nContent-Length: " + QByteArray::number(body.size()) +
        "\r\nConnection: close\r\n\r\n" + body;
}

// Accepts connections on 127.0.0.1 and answers each request with `response`;
// with an empty response it accepts and stays silent.
class CannedServer {
public:
    explicit CannedServer(QByteArray response = {}, Transport transport = Transport::TlsTrusted)
        : m_server(transport), m_response(std::move(response))
    {
        TrustTestCertificate();
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                m_socket = socket;
                QObject::connect(socket, &QTcpSocket::readyRead, [this, socket] {
                    request += socket->readAll();
                    if (!m_response.isEmpty() && request.contains("\r\n\r\n")) {
                        socket->write(m_response);
                        m_response.clear();
                    }
                });
            }
        });
    }

    QString url() const { return m_server.baseUrl(); }
    // Writes the rest of an answer and ends the connection.
    void finish(const QByteArray& rest)
    {
        m_socket->write(rest);
        m_socket->disconnectFromHost();
    }

    QByteArray request;

private:
    LoopbackTcpServer m_server;
    QByteArray m_response;
    QTcpSocket* m_socket = nullptr;
};

}  // namespace tarnwick::test
