#pragma once
// The transfer behind the dialog "Auf neue Version überprüfen": one HTTP GET
// of the update request, a timer that gives up when no data has begun to
// arrive within its interval (30 s), and the reading of the answer. Reports
// through signals on the user interface thread; no widgets.
//
// An answer is a few hundred bytes: one of more than kMaxAnswerBytes is no
// answer of the update server, and the transfer ends as soon as that many
// have arrived (Unreadable), so a server cannot fill this program's memory.
//
// The server's certificate is checked against the system's certificates; a
// certificate that does not pass is a failed connection. An answer that
// came over a plain "http://" connection is shown but never offers the
// updater, since anybody on the way could have written it.
#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

#include "ui/help/UpdateAnswer.h"

class QNetworkAccessManager;
class QNetworkReply;

namespace tarnwick::ui {

class UpdateCheck : public QObject {
    Q_OBJECT

public:
    enum class State {
        Fetching,  // asked, nothing received yet (the timer runs)
        Receiving,  // data has begun to arrive (the timer is stopped)
        NoConnection,  // timed out, refused, or the server reported an error
        Unreadable,  // an answer without its text or akt part
        Answered,  // the server's text is the message
    };

    static constexpr int kDefaultTimeoutMs = 30'000;
    static constexpr qint64 kMaxAnswerBytes = 64 * 1024;

    explicit UpdateCheck(QObject* parent = nullptr);
    ~UpdateCheck() override;

    // Before start(); tests wait a few milliseconds instead of 30 seconds.
    void setTimeout(int milliseconds) { m_timer.setInterval(milliseconds); }

    // Sends the request to `url` (see UpdateRequestUrl) and sets the timer.
    void start(const QString& url);
    // Ends the transfer; nothing is reported afterwards.
    void close();
    // Reads a whole answer as if the transfer had just delivered it, over
    // TLS or not.
    void takeAnswer(const QByteArray& answer, bool encrypted);

    State state() const { return m_state; }
    bool isDone() const { return m_state != State::Fetching && m_state != State::Receiving; }
    // What the message field shows now.
    QString message() const { return m_message; }
    bool updateAvailable() const { return m_answer.updateAvailable && m_encrypted; }
    const std::string& location() const { return m_answer.location; }
    bool isTimerActive() const { return m_timer.isActive(); }

signals:
    // The first bytes of the answer have arrived.
    void dataArriving();
    // The check ended in one of the final states.
    void finished();

private:
    void onReadyRead();
    void onReplyFinished();
    void onTimeout();
    // Ends the transfer when more has arrived than an answer can be; true then.
    bool refuseOversized();
    void finish(State state, const QString& message);

    QNetworkAccessManager* m_network = nullptr;
    QNetworkReply* m_reply = nullptr;
    QTimer m_timer;
    QByteArray m_received;
    State m_state = State::Fetching;
    QString m_message;
    UpdateAnswer m_answer;
    bool m_encrypted = false;  // the answer came over TLS
};

}  // namespace tarnwick::ui
