#include "ui/help/UpdateCheck.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

#include "ui/common/EngineText.h"
#include "ui/common/ExternalText.h"
#include "ui/help/HelpMenuTexts.h"

namespace tarnwick::ui {

UpdateCheck::UpdateCheck(QObject* parent)
    : QObject(parent), m_network(new QNetworkAccessManager(this)), m_message(qs(text::help::kUpdateFetching))
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(kDefaultTimeoutMs);
    connect(&m_timer, &QTimer::timeout, this, &UpdateCheck::onTimeout);
}

UpdateCheck::~UpdateCheck() { close(); }

void UpdateCheck::start(const QString& url)
{
    close();
    m_received.clear();
    m_answer = {};
    m_encrypted = false;
    m_state = State::Fetching;
    m_message = qs(text::help::kUpdateFetching);
    QNetworkRequest request{QUrl(url)};
    m_reply = m_network->get(request);
    // What Qt holds unread is bounded too; onReadyRead drains it.
    m_reply->setReadBufferSize(kMaxAnswerBytes + 1);
    connect(m_reply, &QNetworkReply::readyRead, this, &UpdateCheck::onReadyRead);
    connect(m_reply, &QNetworkReply::finished, this, &UpdateCheck::onReplyFinished);
    m_timer.start();
}

void UpdateCheck::close()
{
    m_timer.stop();
    if (m_reply == nullptr) return;
    QNetworkReply* reply = m_reply;
    m_reply = nullptr;
    // Aborting reports "finished" once more; nobody listens any longer.
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
}

void UpdateCheck::takeAnswer(const QByteArray& answer, bool encrypted)
{
    m_encrypted = encrypted;
    m_answer = ParseUpdateAnswer(std::string_view(answer.constData(), static_cast<std::size_t>(answer.size())));
    if (!m_answer.readable) {
        finish(State::Unreadable, qs(text::help::kUpdateUnreadable));
        return;
    }
    finish(State::Answered, DecodeExternalText(QByteArray::fromStdString(m_answer.message)));
}

void UpdateCheck::onReadyRead()
{
    // Once data flows, a slow line may take its time.
    m_timer.stop();
    m_received += m_reply->read(kMaxAnswerBytes + 1 - m_received.size());
    if (refuseOversized()) return;
    if (m_state == State::Fetching) {
        m_state = State::Receiving;
        emit dataArriving();
    }
}

void UpdateCheck::onReplyFinished()
{
    QNetworkReply* reply = m_reply;
    m_reply = nullptr;
    m_timer.stop();
    reply->deleteLater();
    // A refused connection, an unknown host or an error page of the server
    // (404, 500) carries no answer of ours: the user is told at once rather
    // than when the timer runs out.
    if (reply->error() != QNetworkReply::NoError) {
        finish(State::NoConnection, qs(text::help::kUpdateNoConnection));
        return;
    }
    m_received += reply->read(kMaxAnswerBytes + 1 - m_received.size());
    if (refuseOversized()) return;
    takeAnswer(m_received, reply->url().scheme() == QStringLiteral("https"));
}

bool UpdateCheck::refuseOversized()
{
    if (m_received.size() <= kMaxAnswerBytes) return false;
    close();
    m_received.clear();
    finish(State::Unreadable, qs(text::help::kUpdateUnreadable));
    return true;
}

void UpdateCheck::onTimeout()
{
    close();
    finish(State::NoConnection, qs(text::help::kUpdateNoConnection));
}

void UpdateCheck::finish(State state, const QString& message)
{
    m_state = state;
    m_message = message;
    emit finished();
}

}  // namespace tarnwick::ui
