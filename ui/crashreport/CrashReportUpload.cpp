#include "ui/crashreport/CrashReportUpload.h"

#include <QEventLoop>
#include <QSslSocket>
#include <QTimer>
#include <QUrl>

#include <algorithm>

#include "crash/MultipartBody.h"
#include "ui/common/EngineText.h"
#include "ui/crashreport/CrashReportTexts.h"

namespace tarnwick::ui {
namespace {

namespace texts = text::crashreport;

constexpr qint64 kPieceSize = 1024;
constexpr char kUploadPath[] = "/dmprep/upload.php";
// Enough to hold the status line; the rest of the answer is dropped.
constexpr qsizetype kKeptAnswer = 1024;

// One socket and the event loop that waits for it. `run` returns when a
// handler quits the loop or `timeoutMs` passes without the timer being
// restarted.
class Exchange {
public:
    Exchange()
    {
        m_timer.setSingleShot(true);
        QObject::connect(&m_timer, &QTimer::timeout, &m_loop, [this] {
            m_timedOut = true;
            m_loop.quit();
        });
    }

    QSslSocket& socket() { return m_socket; }
    void quit() { m_loop.quit(); }
    void stillAlive(int timeoutMs) { m_timer.start(timeoutMs); }
    bool timedOut() const { return m_timedOut; }

    void run(int timeoutMs)
    {
        m_timedOut = false;
        m_timer.start(std::max(timeoutMs, 0));
        m_loop.exec();
        m_timer.stop();
    }

private:
    QSslSocket m_socket;  // used without TLS for an "http://" server
    QEventLoop m_loop;
    QTimer m_timer;
    bool m_timedOut = false;
};

// Connected, and with TLS the handshake done and the certificate accepted.
bool IsReady(const QSslSocket& socket, bool encrypted)
{
    return socket.state() == QAbstractSocket::ConnectedState && (!encrypted || socket.isEncrypted());
}

bool Connect(Exchange& exchange, const ServerAddress& server, const UploadTimings& timings, QString& error)
{
    QSslSocket& socket = exchange.socket();
    for (int attempt = 1; attempt <= std::max(timings.connectAttempts, 1); ++attempt) {
        if (attempt > 1 && timings.retryDelayMs > 0) exchange.run(timings.retryDelayMs);
        QObject phase;  // its end disconnects the handlers below
        if (server.encrypted) {
            QObject::connect(&socket, &QSslSocket::encrypted, &phase, [&] { exchange.quit(); });
            socket.connectToHostEncrypted(server.host, server.port);
        } else {
            QObject::connect(&socket, &QSslSocket::connected, &phase, [&] { exchange.quit(); });
            socket.connectToHost(server.host, server.port);
        }
        QObject::connect(&socket, &QSslSocket::errorOccurred, &phase, [&] { exchange.quit(); });
        if (!IsReady(socket, server.encrypted) && socket.state() != QAbstractSocket::UnconnectedState)
            exchange.run(timings.connectTimeoutMs);
        if (IsReady(socket, server.encrypted)) return true;
        const bool stillTrying = exchange.timedOut() && socket.state() != QAbstractSocket::UnconnectedState;
        error = stillTrying ? qs(texts::kConnectTimeout).arg(server.host) : socket.errorString();
        // An unknown host stays unknown and a refused certificate stays
        // refused; another attempt only makes the user wait.
        const bool lasting =
            socket.error() == QAbstractSocket::HostNotFoundError || socket.error() == QAbstractSocket::SslHandshakeFailedError;
        socket.abort();
        if (lasting && !stillTrying) break;
    }
    return false;
}

bool Send(Exchange& exchange, const QByteArray& head, const QByteArray& body, const ReportUploader::Progress& progress,
          int silenceMs, QString& error)
{
    QSslSocket& socket = exchange.socket();
    qint64 sent = 0;
    bool pieceWritten = false;
    bool done = false;
    bool failed = false;
    QObject phase;
    QObject::connect(&socket, &QSslSocket::bytesWritten, &phase, [&] {
        exchange.stillAlive(silenceMs);
        if (socket.bytesToWrite() > 0) return;
        if (pieceWritten && progress) progress(sent, body.size());
        if (sent == body.size()) {
            done = true;
            exchange.quit();
            return;
        }
        const qint64 piece = std::min(kPieceSize, body.size() - sent);
        socket.write(body.constData() + sent, piece);
        sent += piece;
        pieceWritten = true;
    });
    QObject::connect(&socket, &QSslSocket::errorOccurred, &phase, [&] {
        failed = true;
        exchange.quit();
    });
    socket.write(head);
    exchange.run(silenceMs);
    if (done && !failed) return true;
    error = failed ? socket.errorString() : qs(texts::kAnswerTimeout).arg(socket.peerName());
    return false;
}

// The answer's status line once the server has closed the connection (or
// gone silent after it); empty when it closed without one.
bool ReadAnswer(Exchange& exchange, int silenceMs, QByteArray& statusLine, QString& error)
{
    QSslSocket& socket = exchange.socket();
    QByteArray kept;
    bool closed = false;
    bool failed = false;
    auto take = [&] {
        const QByteArray chunk = socket.readAll();
        if (kept.size() < kKeptAnswer) kept.append(chunk.left(kKeptAnswer - kept.size()));
    };
    QObject phase;
    QObject::connect(&socket, &QSslSocket::readyRead, &phase, [&] {
        exchange.stillAlive(silenceMs);
        take();
    });
    QObject::connect(&socket, &QSslSocket::disconnected, &phase, [&] {
        closed = true;
        exchange.quit();
    });
    QObject::connect(&socket, &QSslSocket::errorOccurred, &phase, [&](QAbstractSocket::SocketError code) {
        if (code == QAbstractSocket::RemoteHostClosedError) return;  // the normal end of an HTTP/1.0 answer
        failed = true;
        exchange.quit();
    });
    take();
    if (socket.state() == QAbstractSocket::ConnectedState)
        exchange.run(silenceMs);
    else
        closed = true;
    take();
    if (failed) {
        error = socket.errorString();
        return false;
    }
    const qsizetype lineEnd = kept.indexOf('\n');
    // A server that keeps the connection open after its answer has still answered.
    if (!closed && lineEnd < 0) {
        error = qs(texts::kAnswerTimeout).arg(socket.peerName());
        return false;
    }
    statusLine = lineEnd < 0 ? QByteArray() : kept.left(lineEnd).trimmed();
    return true;
}

// "HTTP/1.x 2xx ..." is success; anything else is the server's refusal.
bool IsSuccess(const QByteArray& statusLine)
{
    const QList<QByteArray> parts = statusLine.split(' ');
    if (parts.size() < 2 || !parts[0].startsWith("HTTP/")) return false;
    bool isNumber = false;
    const int status = parts[1].toInt(&isNumber);
    return isNumber && status >= 200 && status <= 299;
}

}  // namespace

std::optional<ServerAddress> ParseServerAddress(const QString& server)
{
    const QString trimmed = server.trimmed();
    const QUrl url(trimmed.contains(QStringLiteral("://")) ? trimmed : QStringLiteral("https://") + trimmed, QUrl::StrictMode);
    const bool https = url.scheme() == QStringLiteral("https");
    if (!url.isValid() || (!https && url.scheme() != QStringLiteral("http")) || url.host().isEmpty()) return std::nullopt;
    const int schemePort = https ? 443 : 80;
    ServerAddress address;
    address.host = url.host();
    address.encrypted = https;
    address.port = static_cast<quint16>(url.port(schemePort));
    address.authority = url.host(QUrl::FullyEncoded);
    if (address.port != schemePort) address.authority += QStringLiteral(":%1").arg(address.port);
    address.path = url.path(QUrl::FullyEncoded);
    while (address.path.endsWith(QLatin1Char('/'))) address.path.chop(1);
    return address;
}

QByteArray BuildUploadRequestHead(const ServerAddress& server, qint64 contentLength)
{
    QByteArray head;
    head += "POST " + server.path.toLatin1() + kUploadPath + " HTTP/1.0\r\n";
    head += "Host: " + server.authority.toLatin1() + "\r\n";
    head += "Accept: */*\r\n";
    head += "Content-Type: " + QByteArray::fromStdString(crash::MultipartContentType()) + "\r\n";
    head += "Content-Length: " + QByteArray::number(contentLength) + "\r\n";
    head += "\r\n";
    return head;
}

HttpReportUploader::HttpReportUploader(QString server, UploadTimings timings) : m_server(std::move(server)), m_timings(timings) {}

UploadResult HttpReportUploader::upload(const QByteArray& body, const Progress& progress)
{
    const std::optional<ServerAddress> server = ParseServerAddress(m_server);
    if (!server) return {false, qs(texts::kBadServerAddress).arg(m_server)};
    Exchange exchange;
    UploadResult result;
    if (!Connect(exchange, *server, m_timings, result.error)) return result;
    if (!Send(exchange, BuildUploadRequestHead(*server, body.size()), body, progress, m_timings.answerTimeoutMs, result.error))
        return result;
    QByteArray statusLine;
    if (!ReadAnswer(exchange, m_timings.answerTimeoutMs, statusLine, result.error)) return result;
    if (statusLine.isEmpty()) {
        result.error = qs(texts::kNoAnswer);
        return result;
    }
    if (!IsSuccess(statusLine)) {
        const qsizetype space = statusLine.indexOf(' ');
        result.error = qs(texts::kRejected).arg(QString::fromLatin1(statusLine.mid(space + 1)));
        return result;
    }
    result.ok = true;
    return result;
}

}  // namespace tarnwick::ui
