#pragma once
// Sending the crash report: an HTTP/1.0 POST of the multipart body to
// "<server>/dmprep/upload.php". Written by hand on a socket, because the
// toolkit's HTTP client speaks only HTTP/1.1 and later. An "https://" server
// (the default) is spoken to over TLS, its certificate checked against the
// system's certificates; a certificate that does not pass fails the sending
// like a refused connection.
#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

namespace tarnwick::ui {

struct UploadResult {
    bool ok = false;
    QString error;  // what went wrong, for the user
};

// Sends one report body; `progress` learns the body bytes sent so far.
class ReportUploader {
public:
    using Progress = std::function<void(qint64 sent, qint64 total)>;
    virtual ~ReportUploader() = default;
    virtual UploadResult upload(const QByteArray& body, const Progress& progress) = 0;
};

// "https://host[:port][/path]" or "http://...": where the request goes.
struct ServerAddress {
    QString host;
    quint16 port = 443;
    bool encrypted = true;  // https
    QString authority;  // for the Host header: host, and the port when it is not the scheme's own
    QString path;  // without a trailing "/"; empty for the root
};
// Nothing for an address that is not "https://" or "http://" with a host;
// "https://" when the address has no scheme.
std::optional<ServerAddress> ParseServerAddress(const QString& server);

// The request line and headers, ending with the empty line.
QByteArray BuildUploadRequestHead(const ServerAddress& server, qint64 contentLength);

struct UploadTimings {
    int connectTimeoutMs = 10'000;
    int retryDelayMs = 10'000;  // between two connect attempts
    int connectAttempts = 3;
    int answerTimeoutMs = 60'000;  // silence while sending or waiting for the answer
};

// Talks to the server while the event loop keeps running, so the windows
// stay drawn. A status other than 2xx counts as a failure; the answer's
// body is read and dropped.
class HttpReportUploader final : public ReportUploader {
public:
    explicit HttpReportUploader(QString server, UploadTimings timings = {});
    UploadResult upload(const QByteArray& body, const Progress& progress) override;

private:
    QString m_server;
    UploadTimings m_timings;
};

}  // namespace tarnwick::ui
