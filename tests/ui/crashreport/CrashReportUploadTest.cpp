// The report upload against a server on the loopback interface, over TLS
// unless a test says otherwise: the exact HTTP/1.0 request, the body in
// 1024-byte pieces with progress, and every way the server can fail it
// (refusal, a certificate that does not pass, an early close, no answer, a
// status other than 2xx).
#include <gtest/gtest.h>

#include <QTcpServer>
#include <QTcpSocket>

#include <functional>
#include <memory>
#include <vector>

#include "tests/ui/support/LoopbackTcpServer.h"
#include "tests/ui/support/QtApp.h"
#include "ui/crashreport/CrashReportUpload.h"

namespace tarnwick::ui {
namespace {

// Accepts one connection, collects the request, and answers as told once
// the whole request (head and Content-Length bytes) is in, or earlier.
class LoopbackServer {
public:
    enum class Behaviour { Answer, AnswerAndStay, Silent, CloseAfterHead, CloseWithoutAnswer };

    explicit LoopbackServer(Behaviour behaviour, QByteArray answer = "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\nDanke",
                            test::Transport transport = test::Transport::TlsTrusted)
        : m_server(transport), m_behaviour(behaviour), m_answer(std::move(answer))
    {
        test::TrustTestCertificate();
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] {
            QTcpSocket* socket = m_server.nextPendingConnection();
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { receive(*socket); });
        });
    }

    QString address(const QString& path = {}) const { return m_server.baseUrl() + path; }
    quint16 port() const { return m_server.serverPort(); }
    const QByteArray& request() const { return m_request; }
    QByteArray head() const { return m_request.left(m_request.indexOf("\r\n\r\n") + 4); }
    QByteArray body() const { return m_request.mid(m_request.indexOf("\r\n\r\n") + 4); }

private:
    void receive(QTcpSocket& socket)
    {
        m_request += socket.readAll();
        const qsizetype headEnd = m_request.indexOf("\r\n\r\n");
        if (headEnd < 0) return;
        if (m_behaviour == Behaviour::CloseAfterHead) {
            socket.close();
            return;
        }
        const qsizetype lengthAt = m_request.indexOf("Content-Length: ");
        const qint64 length = m_request.mid(lengthAt + 16, m_request.indexOf("\r\n", lengthAt) - lengthAt - 16).toLongLong();
        if (m_request.size() - headEnd - 4 < length) return;
        if (m_behaviour == Behaviour::Silent) return;
        if (m_behaviour == Behaviour::Answer || m_behaviour == Behaviour::AnswerAndStay) {
            socket.write(m_answer);
            socket.flush();
        }
        if (m_behaviour != Behaviour::AnswerAndStay) socket.disconnectFromHost();
    }

    test::LoopbackTcpServer m_server;
    Behaviour m_behaviour;
    QByteArray m_answer;
    QByteArray m_request;
};

// Nothing here may wait for a real time-out: connection failures on the
// loopback interface are immediate, and a retry does not pause.
UploadTimings QuickTimings()
{
    UploadTimings timings;
    timings.retryDelayMs = 0;
    timings.connectTimeoutMs = 5'000;
    timings.answerTimeoutMs = 5'000;
    return timings;
}

QByteArray Body(qsizetype size)
{
    QByteArray body(size, '\0');
    for (qsizetype i = 0; i < size; ++i) body[i] = static_cast<char>(i * 7);
    return body;
}

class CrashReportUploadTest : public ::testing::Test {
protected:
    void SetUp() override { test::EnsureQtApp(); }
};

TEST_F(CrashReportUploadTest, PostsTheExactHttp10RequestInPiecesWithProgress)
{
    LoopbackServer server(LoopbackServer::Behaviour::Answer);
    const QByteArray body = Body(5000);
    std::vector<std::pair<qint64, qint64>> progress;
    HttpReportUploader uploader(server.address(), QuickTimings());
    const UploadResult result = uploader.upload(body, [&](qint64 sent, qint64 total) { progress.emplace_back(sent, total); });
    EXPECT_TRUE(result.ok) << result.error.toStdString();

    EXPECT_EQ(server.head().toStdString(),
              "POST /dmprep/upload.php HTTP/1.0\r\n"
              "Host: 127.0.0.1:" +
                  std::to_string(server.port()) +
                  "\r\n"
                  "Accept: */*\r\n"
                  "Content-Type: multipart/form-data; boundary=--MULTI-PARTS-FORM-DATA-BOUNDARY\r\n"
                  "Content-Length: 5000\r\n"
                  "\r\n");
    EXPECT_EQ(server.body(), body);
    const std::vector<std::pair<qint64, qint64>> expected{{1024, 5000}, {2048, 5000}, {3072, 5000}, {4096, 5000}, {5000, 5000}};
    EXPECT_EQ(progress, expected);
}

TEST_F(CrashReportUploadTest, TheServerPathComesBeforeTheUploadPath)
{
    LoopbackServer server(LoopbackServer::Behaviour::Answer, "HTTP/1.1 204 No Content\r\n\r\n");
    HttpReportUploader uploader(server.address(QStringLiteral("/berichte/")), QuickTimings());
    EXPECT_TRUE(uploader.upload("x", {}).ok);
    EXPECT_TRUE(server.request().startsWith("POST /berichte/dmprep/upload.php HTTP/1.0\r\n")) << server.request().toStdString();
}

TEST_F(CrashReportUploadTest, EveryFailureOfTheServerIsAFailedUpload)
{
    {
        LoopbackServer server(LoopbackServer::Behaviour::Answer, "HTTP/1.0 500 Internal Server Error\r\n\r\nkaputt");
        const UploadResult result = HttpReportUploader(server.address(), QuickTimings()).upload(Body(10), {});
        EXPECT_FALSE(result.ok);
        EXPECT_TRUE(result.error.contains(QStringLiteral("500 Internal Server Error"))) << result.error.toStdString();
    }
    {
        LoopbackServer server(LoopbackServer::Behaviour::Answer, "Danke, angekommen");
        const UploadResult result = HttpReportUploader(server.address(), QuickTimings()).upload(Body(10), {});
        EXPECT_FALSE(result.ok) << "an answer without a status line is no success";
    }
    {
        LoopbackServer server(LoopbackServer::Behaviour::CloseWithoutAnswer);
        const UploadResult result = HttpReportUploader(server.address(), QuickTimings()).upload(Body(10), {});
        EXPECT_FALSE(result.ok);
        EXPECT_FALSE(result.error.isEmpty());
    }
    {
        // Closed while the body is still coming.
        LoopbackServer server(LoopbackServer::Behaviour::CloseAfterHead);
        const UploadResult result = HttpReportUploader(server.address(), QuickTimings()).upload(Body(200'000), {});
        EXPECT_FALSE(result.ok);
        EXPECT_FALSE(result.error.isEmpty());
    }
}

TEST_F(CrashReportUploadTest, AServerThatStaysConnectedCountsByWhatItAnswered)
{
    // Both cases end by the silence time-out; only the answer decides.
    UploadTimings timings = QuickTimings();
    timings.answerTimeoutMs = 50;
    {
        LoopbackServer server(LoopbackServer::Behaviour::AnswerAndStay);
        EXPECT_TRUE(HttpReportUploader(server.address(), timings).upload(Body(10), {}).ok);
    }
    {
        LoopbackServer server(LoopbackServer::Behaviour::Silent);
        const UploadResult result = HttpReportUploader(server.address(), timings).upload(Body(10), {});
        EXPECT_FALSE(result.ok);
        EXPECT_TRUE(result.error.contains(QStringLiteral("antwortet nicht"))) << result.error.toStdString();
    }
}

TEST_F(CrashReportUploadTest, ARefusedConnectionIsReportedWithTheSystemsText)
{
    quint16 closedPort = 0;
    {
        QTcpServer gone;
        ASSERT_TRUE(gone.listen(QHostAddress::LocalHost, 0));
        closedPort = gone.serverPort();
    }
    bool progressed = false;
    HttpReportUploader uploader(QStringLiteral("http://127.0.0.1:%1").arg(closedPort), QuickTimings());
    const UploadResult result = uploader.upload("x", [&](qint64, qint64) { progressed = true; });
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.error.isEmpty());
    EXPECT_FALSE(progressed);
}

TEST_F(CrashReportUploadTest, APlainHttpServerGetsTheSameRequest)
{
    LoopbackServer server(LoopbackServer::Behaviour::Answer, "HTTP/1.0 200 OK\r\n\r\n", test::Transport::Plain);
    ASSERT_TRUE(server.address().startsWith(QStringLiteral("http://")));
    EXPECT_TRUE(HttpReportUploader(server.address(), QuickTimings()).upload("abc", {}).ok);
    EXPECT_TRUE(server.head().startsWith("POST /dmprep/upload.php HTTP/1.0\r\n"));
    EXPECT_EQ(server.body(), "abc");
}

TEST_F(CrashReportUploadTest, ACertificateThatDoesNotPassSendsNothingAndIsNotRetried)
{
    LoopbackServer server(LoopbackServer::Behaviour::Answer, "HTTP/1.0 200 OK\r\n\r\n", test::Transport::TlsUntrusted);
    UploadTimings timings = QuickTimings();
    timings.retryDelayMs = 60'000;  // a retry would make the test wait a minute
    bool progressed = false;
    const UploadResult result =
        HttpReportUploader(server.address(), timings).upload("geheim", [&](qint64, qint64) { progressed = true; });
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.error.isEmpty());
    EXPECT_FALSE(progressed);
    EXPECT_TRUE(server.request().isEmpty());
}

TEST_F(CrashReportUploadTest, ServerAddresses)
{
    const std::optional<ServerAddress> secure = ParseServerAddress(QStringLiteral("https://crash.korvane.de"));
    ASSERT_TRUE(secure);
    EXPECT_TRUE(secure->encrypted);
    EXPECT_EQ(secure->port, 443);
    EXPECT_EQ(secure->authority, QStringLiteral("crash.korvane.de"));

    const std::optional<ServerAddress> plain = ParseServerAddress(QStringLiteral("http://crash.korvane.de"));
    ASSERT_TRUE(plain);
    EXPECT_FALSE(plain->encrypted);
    EXPECT_EQ(plain->host, QStringLiteral("crash.korvane.de"));
    EXPECT_EQ(plain->port, 80);
    EXPECT_EQ(plain->path, QString());
    EXPECT_TRUE(BuildUploadRequestHead(*plain, 12).startsWith("POST /dmprep/upload.php HTTP/1.0\r\nHost: crash.korvane.de\r\n"));

    const std::optional<ServerAddress> bare = ParseServerAddress(QStringLiteral("  crash.korvane.de:8080/x  "));
    ASSERT_TRUE(bare);
    EXPECT_TRUE(bare->encrypted);
    EXPECT_EQ(bare->port, 8080);
    EXPECT_EQ(bare->authority, QStringLiteral("crash.korvane.de:8080"));
    EXPECT_EQ(bare->path, QStringLiteral("/x"));

    EXPECT_FALSE(ParseServerAddress(QString()));
    const UploadResult refused = HttpReportUploader(QStringLiteral("ftp://x")).upload("x", {});
    EXPECT_FALSE(refused.ok);
    EXPECT_TRUE(refused.error.contains(QStringLiteral("ftp://x")));
}

}  // namespace
}  // namespace tarnwick::ui
