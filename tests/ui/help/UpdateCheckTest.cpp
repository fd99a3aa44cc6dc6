// The update check against a server on the loopback interface that answers
// what each test prepares: the request it sends, the answers it reads, and
// what happens when the server refuses, fails, or never answers.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>

#include "tests/ui/help/CannedHttpServer.h"
#include "tests/ui/support/QtApp.h"
#include "ui/help/HelpMenuTexts.h"
#include "ui/help/UpdateAnswer.h"
#include "ui/help/UpdateCheck.h"
#include "ui/help/UpdateCheckDialog.h"

namespace tarnwick::ui {
namespace {

using test::CannedServer;
using test::HttpResponse;

constexpr int kWaitMs = 10'000;  // a deadline for the loopback, never reached when all is well

bool waitFor(QSignalSpy& spy) { return spy.count() > 0 || spy.wait(kWaitMs); }

class UpdateCheckTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::EnsureQtApp(); }

    // Runs a check against `server` to its end.
    static void run(UpdateCheck& check, const CannedServer& server)
    {
        QSignalSpy finished(&check, &UpdateCheck::finished);
        check.start(QString::fromStdString(UpdateRequestUrl(server.url().toStdString())));
        ASSERT_TRUE(waitFor(finished));
        EXPECT_EQ(finished.count(), 1);
        EXPECT_FALSE(check.isTimerActive());
    }
};

TEST_F(UpdateCheckTest, AsksTheServerOnceAndShowsItsText)
{
    CannedServer server(HttpResponse("<text>Eine neue Version (2.1) ist verfügbar.</text><akt>0</akt>"
                                     "<ort>https://dl.korvane.de/tarnwick21.tgz</ort>"));
    UpdateCheck check;
    EXPECT_EQ(check.message(), QString::fromUtf8(text::help::kUpdateFetching));
    run(check, server);
    EXPECT_TRUE(server.request.startsWith("GET /cgi-bin/akt.cgi?prog=tarnwk&spra=deu&vers=2.0.2.8 HTTP/1.1\r\n"))
        << server.request.constData();
    EXPECT_EQ(check.state(), UpdateCheck::State::Answered);
    EXPECT_EQ(check.message(), QStringLiteral("Eine neue Version (2.1) ist verfügbar."));
    EXPECT_TRUE(check.updateAvailable());
    EXPECT_EQ(check.location(), "https://dl.korvane.de/tarnwick21.tgz");
}

TEST_F(UpdateCheckTest, ACertificateThatDoesNotPassIsAFailedConnection)
{
    CannedServer server(HttpResponse("<text>Neu</text><akt>0</akt><ort>https://dl/t.tgz</ort>"), test::Transport::TlsUntrusted);
    UpdateCheck check;
    run(check, server);
    EXPECT_EQ(check.state(), UpdateCheck::State::NoConnection);
    EXPECT_EQ(check.message(), QString::fromUtf8(text::help::kUpdateNoConnection));
    EXPECT_FALSE(check.updateAvailable());
}

TEST_F(UpdateCheckTest, AnAnswerOverAPlainConnectionIsShownButNeverStartsTheUpdater)
{
    CannedServer server(HttpResponse("<text>Neu: 2.1</text><akt>0</akt><ort>https://dl/t.tgz</ort>"), test::Transport::Plain);
    UpdateCheck check;
    run(check, server);
    EXPECT_EQ(check.state(), UpdateCheck::State::Answered);
    EXPECT_EQ(check.message(), QStringLiteral("Neu: 2.1"));
    EXPECT_FALSE(check.updateAvailable());
}

TEST_F(UpdateCheckTest, AnAnswerWithoutItsPartsIsUnreadableAndOffersNothing)
{
    CannedServer server(HttpResponse("<html><body>Wartungsarbeiten</body></html>"));
    UpdateCheck check;
    run(check, server);
    EXPECT_EQ(check.state(), UpdateCheck::State::Unreadable);
    EXPECT_EQ(check.message(), QString::fromUtf8(text::help::kUpdateUnreadable));
    EXPECT_FALSE(check.updateAvailable());
}

TEST_F(UpdateCheckTest, AServerErrorOrARefusedConnectionIsToldAtOnceNotWhenTheTimerEnds)
{
    const QString noConnection = QString::fromUtf8(text::help::kUpdateNoConnection);
    {
        // The error page even carries our tags: it is still no answer.
        CannedServer failing(HttpResponse("<text>x</text><akt>0</akt><ort>y</ort>", "500 Internal Server Error"));
        UpdateCheck check;
        run(check, failing);
        EXPECT_EQ(check.state(), UpdateCheck::State::NoConnection);
        EXPECT_EQ(check.message(), noConnection);
        EXPECT_FALSE(check.updateAvailable());
    }
    QString closedUrl;
    {
        CannedServer closed;
        closedUrl = closed.url();
    }
    UpdateCheck check;  // the full 30 seconds: the refusal must not wait for them
    QSignalSpy finished(&check, &UpdateCheck::finished);
    check.start(QString::fromStdString(UpdateRequestUrl(closedUrl.toStdString())));
    ASSERT_TRUE(waitFor(finished));
    EXPECT_EQ(check.state(), UpdateCheck::State::NoConnection);
    EXPECT_EQ(check.message(), noConnection);
}

TEST_F(UpdateCheckTest, NoDataBeforeTheTimerEndsTheTransfer)
{
    CannedServer silent;
    UpdateCheck check;
    check.setTimeout(50);
    run(check, silent);
    EXPECT_EQ(check.state(), UpdateCheck::State::NoConnection);
    EXPECT_EQ(check.message(), QString::fromUtf8(text::help::kUpdateNoConnection));
}

TEST_F(UpdateCheckTest, TheTimerStopsOnceDataBeginsToArrive)
{
    const QByteArray body = "<text>Sie haben die aktuelle Version.</text><akt>1</akt>";
    const QByteArray whole = HttpResponse(body);
    CannedServer server(whole.left(whole.size() - 20));
    UpdateCheck check;
    QSignalSpy arriving(&check, &UpdateCheck::dataArriving);
    QSignalSpy finished(&check, &UpdateCheck::finished);
    check.start(QString::fromStdString(UpdateRequestUrl(server.url().toStdString())));
    EXPECT_TRUE(check.isTimerActive());
    ASSERT_TRUE(waitFor(arriving));
    EXPECT_FALSE(check.isTimerActive());
    EXPECT_EQ(check.state(), UpdateCheck::State::Receiving);
    EXPECT_EQ(finished.count(), 0);

    server.finish(whole.right(20));
    ASSERT_TRUE(waitFor(finished));
    EXPECT_EQ(check.state(), UpdateCheck::State::Answered);
    EXPECT_EQ(check.message(), QStringLiteral("Sie haben die aktuelle Version."));
    EXPECT_FALSE(check.updateAvailable());
}

// An answer is a few hundred bytes; a server that sends more (here a valid
// answer padded beyond 64 KB, and one that never stops) is no update server:
// the transfer ends once more than 64 KB have arrived.
TEST_F(UpdateCheckTest, AnAnswerOfMoreThan64KbIsUnreadableAndNotReadToItsEnd)
{
    const QByteArray answer = "<text>Neu</text><akt>0</akt><ort>https://dl/t.tgz</ort>";
    {
        CannedServer padded(HttpResponse(answer + QByteArray(UpdateCheck::kMaxAnswerBytes, ' ')));
        UpdateCheck check;
        run(check, padded);
        EXPECT_EQ(check.state(), UpdateCheck::State::Unreadable);
        EXPECT_EQ(check.message(), QString::fromUtf8(text::help::kUpdateUnreadable));
        EXPECT_FALSE(check.updateAvailable());
    }
    // No length and no end: without the limit it would be read for ever.
    CannedServer endless("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n\r\n" + answer +
                         QByteArray(2 * UpdateCheck::kMaxAnswerBytes, ' '));
    UpdateCheck check;
    run(check, endless);
    EXPECT_EQ(check.state(), UpdateCheck::State::Unreadable);
    EXPECT_FALSE(check.updateAvailable());
}

TEST_F(UpdateCheckTest, DialogOffersAktualisierenAndTheBackupOnlyForANewerVersion)
{
    CannedServer server(HttpResponse("<text>Neu: 2.1</text><akt>0</akt><ort>https://dl/t.tgz</ort>"));
    UpdateCheckDialog dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Auf neue Version überprüfen"));
    QSignalSpy finished(&dialog.check(), &UpdateCheck::finished);
    dialog.start(QString::fromStdString(UpdateRequestUrl(server.url().toStdString())));
    EXPECT_EQ(dialog.messageField()->toPlainText(), QString::fromUtf8(text::help::kUpdateFetching));
    EXPECT_TRUE(dialog.messageField()->isReadOnly());
    EXPECT_FALSE(dialog.updateButton()->isEnabled());
    EXPECT_TRUE(dialog.backupBox()->isChecked());
    EXPECT_FALSE(dialog.backupBox()->isEnabled());

    ASSERT_TRUE(waitFor(finished));
    EXPECT_EQ(dialog.messageField()->toPlainText(), QStringLiteral("Neu: 2.1"));
    EXPECT_TRUE(dialog.updateButton()->isEnabled());
    EXPECT_TRUE(dialog.backupBox()->isEnabled());
    dialog.backupBox()->setChecked(false);
    dialog.updateButton()->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.choice().location, "https://dl/t.tgz");
    EXPECT_FALSE(dialog.choice().makeBackup);
}

TEST_F(UpdateCheckTest, DialogWithoutANewerVersionOnlyCancels)
{
    CannedServer server(HttpResponse("<text>Aktuell.</text><akt>1</akt><ort>https://dl/t.tgz</ort>"));
    UpdateCheckDialog dialog;
    QSignalSpy finished(&dialog.check(), &UpdateCheck::finished);
    dialog.start(QString::fromStdString(UpdateRequestUrl(server.url().toStdString())));
    ASSERT_TRUE(waitFor(finished));
    EXPECT_EQ(dialog.messageField()->toPlainText(), QStringLiteral("Aktuell."));
    EXPECT_FALSE(dialog.updateButton()->isEnabled());
    EXPECT_FALSE(dialog.backupBox()->isEnabled());
    dialog.cancelButton()->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

TEST_F(UpdateCheckTest, CancellingWhileWaitingEndsTheTransfer)
{
    CannedServer silent;
    UpdateCheckDialog dialog;
    QSignalSpy finished(&dialog.check(), &UpdateCheck::finished);
    dialog.start(QString::fromStdString(UpdateRequestUrl(silent.url().toStdString())));
    dialog.cancelButton()->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(dialog.check().isTimerActive());
    EXPECT_EQ(finished.count(), 0) << "a closed transfer reports nothing";
}

}  // namespace
}  // namespace tarnwick::ui
