#pragma once
// A web server on 127.0.0.1 for the update check's tests: it answers every
// request with a response prepared by the test, or stays silent.
#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QString>
#include <QTcpServer>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include <utility>

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
    explicit CannedServer(QByteArray response = {}) : m_response(std::move(response))
    {
        EXPECT_TRUE(m_server.listen(QHostAddress::LocalHost, 0));
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

    QString url() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort()); }
    // Writes the rest of an answer and ends the connection.
    void finish(const QByteArray& rest)
    {
        m_socket->write(rest);
        m_socket->disconnectFromHost();
    }

    QByteArray request;

private:
    QTcpServer m_server;
    QByteArray m_response;
    QTcpSocket* m_socket = nullptr;
};

}  // namespace tarnwick::test
