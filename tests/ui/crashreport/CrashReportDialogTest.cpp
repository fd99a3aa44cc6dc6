// The crash report's decisions and the wiring of its two dialogs on the
// offscreen platform: the e-mail check keeps the dialog open, "&Senden"
// uploads the body the server expects, a failed upload offers to keep the
// archive, the link opens the contents with a hex dump of a binary file.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>

#include <optional>

#include "crash/ReportFiles.h"
#include "tests/support/TempTree.h"
#include "tests/ui/support/QtApp.h"
#include "ui/common/EngineText.h"
#include "ui/crashreport/CrashReportContentsDialog.h"
#include "ui/crashreport/CrashReportController.h"
#include "ui/crashreport/CrashReportDialog.h"
#include "ui/crashreport/CrashReportPrompts.h"
#include "ui/crashreport/CrashReportTexts.h"

namespace tarnwick::ui {
namespace {

class ScriptedUploader : public ReportUploader {
public:
    UploadResult upload(const QByteArray& body, const Progress& progress) override
    {
        bodies.push_back(body);
        if (progress) progress(body.size(), body.size());
        return result;
    }
    UploadResult result{true, {}};
    std::vector<QByteArray> bodies;
};

class ScriptedPrompts : public CrashReportPrompts {
public:
    void showInvalidEmail(const QString& text) override { events << QStringLiteral("invalid:") + text; }
    void beginSending() override { events << QStringLiteral("begin"); }
    void showProgress(qint64 sent, qint64 total) override { events << QStringLiteral("progress:%1/%2").arg(sent).arg(total); }
    void endSending() override { events << QStringLiteral("end"); }
    void showError(const QString& text) override { events << QStringLiteral("error:") + text; }
    std::optional<QString> chooseArchiveTarget(const QString& defaultName) override
    {
        events << QStringLiteral("save:") + defaultName;
        return saveTarget;
    }
    QStringList events;
    std::optional<QString> saveTarget;
};

class CrashReportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::EnsureQtApp();
        trace = tree.write("tarnwick.trace", "Signal: 11 (SIGSEGV)\n\nStack:\n./tarnwick(+0x1234)[0x5555]\n");
        log = tree.write("tarnwick.xml", "<?xml version=\"1.0\"?>\n<Exception />\n");
        archive = tree.write("tarnwickQ1w2E3.zip", std::string("PK\x05\x06", 4) + std::string(18, '\0'));
        report.programBaseName = QStringLiteral("tarnwick");
        report.files = {{trace, crash::kCrashDumpDescription}, {log, crash::kCrashLogDescription}};
        report.archivePath = fromPath(archive);
    }

    test::TempTree tree;
    std::string trace;
    std::string log;
    std::string archive;
    CrashReport report;
    ScriptedUploader uploader;
    ScriptedPrompts prompts;
};

TEST_F(CrashReportTest, AnAddressWithoutAtAndDotAfterItIsRefusedBeforeAnythingIsSent)
{
    CrashReportController controller(report, uploader, prompts);
    EXPECT_EQ(controller.send(QStringLiteral("anna.example@de"), {}), SendOutcome::InvalidEmail);
    EXPECT_TRUE(uploader.bodies.empty());
    EXPECT_EQ(prompts.events, QStringList{QStringLiteral("invalid:") + qs(text::crashreport::kInvalidEmail)});
    EXPECT_EQ(controller.send({}, {}), SendOutcome::Sent);
}

TEST_F(CrashReportTest, SendingUploadsTheArchiveWithTheAddressAndTheDescription)
{
    CrashReportController controller(report, uploader, prompts);
    EXPECT_EQ(controller.send(QStringLiteral("anna@example.de"), QStringLiteral("Suche gestartet\nAbsturz ä")),
              SendOutcome::Sent);
    ASSERT_EQ(uploader.bodies.size(), 1u);
    const QByteArray& body = uploader.bodies[0];
    EXPECT_EQ(body,
              controller.buildBody(QStringLiteral("anna@example.de"), QStringLiteral("Suche gestartet\nAbsturz ä"),
                                   QByteArray::fromStdString(test::ReadFile(archive))));
    EXPECT_TRUE(body.contains("name=\"email\"\r\n\r\nanna@example.de\r\n"));
    // Line ends of the description go out as CR LF, text as UTF-8.
    EXPECT_TRUE(body.contains("name=\"beschreib\"\r\n\r\nSuche gestartet\r\nAbsturz \xc3\xa4\r\n"));
    EXPECT_TRUE(body.contains("name=\"dmpdatei\"; filename=\"tarnwickQ1w2E3.zip\"\r\nContent-Type: application/zip\r\n"));
    EXPECT_EQ(prompts.events,
              (QStringList{QStringLiteral("begin"), QStringLiteral("progress:%1/%1").arg(body.size()), QStringLiteral("end")}));
}

TEST_F(CrashReportTest, AFailedUploadIsShownAndTheArchiveCanBeKept)
{
    uploader.result = {false, QStringLiteral("Verbindung abgelehnt")};
    prompts.saveTarget = fromPath(tree.path("Bericht.zip"));
    tree.write("Bericht.zip", "older file the user chose to replace");
    CrashReportController controller(report, uploader, prompts);
    EXPECT_EQ(controller.send({}, {}), SendOutcome::Failed);
    EXPECT_EQ(prompts.events.mid(3),
              (QStringList{QStringLiteral("error:Verbindung abgelehnt"), QStringLiteral("save:tarnwick")}));
    EXPECT_EQ(tree.read("Bericht.zip"), test::ReadFile(archive));

    // Declined: nothing written anywhere.
    prompts.events.clear();
    prompts.saveTarget.reset();
    EXPECT_EQ(controller.send({}, {}), SendOutcome::Failed);
    EXPECT_EQ(prompts.events.last(), QStringLiteral("save:tarnwick"));

    // A place that cannot be written is reported, not passed over.
    prompts.events.clear();
    prompts.saveTarget = fromPath(tree.path("no/such/dir/Bericht.zip"));
    controller.send({}, {});
    EXPECT_TRUE(prompts.events.last().startsWith(QStringLiteral("error:Der Fehlerbericht konnte nicht gespeichert werden:")))
        << prompts.events.last().toStdString();
}

TEST_F(CrashReportTest, WithoutAnArchiveSendingSaysWhyAndOffersNothing)
{
    report.archivePath.clear();
    report.archiveError = QStringLiteral("Kein Platz");
    CrashReportController controller(report, uploader, prompts);
    EXPECT_EQ(controller.send({}, {}), SendOutcome::Failed);
    EXPECT_TRUE(uploader.bodies.empty());
    EXPECT_EQ(prompts.events, QStringList{QStringLiteral("error:Der Fehlerbericht konnte nicht erstellt werden: Kein Platz")});
}

TEST_F(CrashReportTest, TheReportFilesAndTheArchiveAreRemovedAtTheEnd)
{
    CrashReportController controller(report, uploader, prompts);
    controller.removeReportFiles();
    EXPECT_FALSE(QFile::exists(fromPath(trace)));
    EXPECT_FALSE(QFile::exists(fromPath(log)));
    EXPECT_FALSE(QFile::exists(fromPath(archive)));
}

TEST_F(CrashReportTest, DialogKeepsAWrongAddressAndClosesAfterSending)
{
    CrashReportController controller(report, uploader, prompts);
    CrashReportDialog dialog(controller);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("tarnwick"));
    EXPECT_EQ(dialog.sendButton()->text(), qs(text::crashreport::kSend));
    EXPECT_EQ(dialog.closeButton()->text(), qs(text::crashreport::kClose));
    const auto* message = dialog.findChild<QLabel*>(QStringLiteral("crashMessage"));
    ASSERT_NE(message, nullptr);
    EXPECT_EQ(message->text(), qs(text::crashreport::kMessage));

    dialog.descriptionField()->setPlainText(QStringLiteral("Beim Ersetzen"));
    dialog.emailField()->setText(QStringLiteral("anna@"));
    dialog.sendButton()->click();
    EXPECT_EQ(dialog.lastOutcome(), SendOutcome::InvalidEmail);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.focusWidget(), dialog.emailField());
    EXPECT_TRUE(uploader.bodies.empty());

    dialog.emailField()->setText(QStringLiteral("anna@example.de"));
    dialog.sendButton()->click();
    EXPECT_EQ(dialog.lastOutcome(), SendOutcome::Sent);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    ASSERT_EQ(uploader.bodies.size(), 1u);
    EXPECT_TRUE(uploader.bodies[0].contains("Beim Ersetzen"));
}

TEST_F(CrashReportTest, CloseSendsNothing)
{
    CrashReportController controller(report, uploader, prompts);
    CrashReportDialog dialog(controller);
    dialog.show();
    dialog.closeButton()->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_TRUE(uploader.bodies.empty());
    EXPECT_TRUE(prompts.events.isEmpty());
}

TEST_F(CrashReportTest, TheLinkShowsTheFilesAndABinaryOneAsHexDump)
{
    const std::string binary = tree.write("tarnwick.sym",
                                          std::string("\x7f"
                                                      "ELF\x02\x01\x01\0\0\0\0\0\0\0\0\0AB",
                                                      18));
    report.files.push_back({binary, crash::kSymbolFileDescription});
    CrashReportController controller(report, uploader, prompts);
    CrashReportDialog dialog(controller);
    QStringList opened;
    dialog.setFileOpener([&](const QString& path) { opened << path; });
    dialog.show();
    emit dialog.contentsLink()->linkActivated(QStringLiteral("contents"));
    CrashReportContentsDialog* contents = dialog.contentsDialog();
    ASSERT_NE(contents, nullptr);
    EXPECT_TRUE(contents->isVisible());
    EXPECT_EQ(contents->windowTitle(), QStringLiteral("Fehlerbericht"));

    QTreeWidget* list = contents->fileList();
    ASSERT_EQ(list->topLevelItemCount(), 3);
    EXPECT_EQ(list->headerItem()->text(3), QStringLiteral("Grösse"));
    EXPECT_EQ(list->topLevelItem(0)->text(0), QStringLiteral("tarnwick.trace"));
    EXPECT_EQ(list->topLevelItem(0)->text(1), QStringLiteral("Crash Dump"));
    EXPECT_EQ(list->topLevelItem(0)->text(3), QStringLiteral("1 KB"));
    EXPECT_EQ(list->topLevelItem(1)->text(1), QStringLiteral("Crash Log"));

    // The first file is shown at once, as text.
    EXPECT_EQ(contents->pathLabel()->text(), fromPath(trace));
    EXPECT_EQ(contents->contentsField()->toPlainText(), QString::fromStdString(test::ReadFile(trace)));

    contents->selectFile(2);
    EXPECT_EQ(contents->pathLabel()->text(), fromPath(binary));
    EXPECT_EQ(contents->descriptionLabel()->text(), QStringLiteral("Symboldatei"));
    EXPECT_EQ(contents->contentsField()->toPlainText(),
              QStringLiteral("0x00000000: 464c457f 00010102 00000000 00000000 .ELF............\n"
                             "0x00000010:     4241                            AB\n"));

    emit list->itemDoubleClicked(list->topLevelItem(1), 0);
    EXPECT_EQ(opened, QStringList{fromPath(log)});

    // The link again brings the same dialog forward instead of a second one.
    emit dialog.contentsLink()->linkActivated(QStringLiteral("contents"));
    EXPECT_EQ(dialog.contentsDialog(), contents);
}

TEST_F(CrashReportTest, TheStatusDialogFollowsTheUpload)
{
    QWidget parent;
    DesktopCrashReportPrompts desktop(&parent);
    desktop.beginSending();
    auto* status = parent.findChild<QDialog*>();
    ASSERT_NE(status, nullptr);
    EXPECT_TRUE(status->isVisible());
    EXPECT_EQ(status->windowTitle(), QStringLiteral("Status"));
    ASSERT_NE(status->findChild<QLabel*>(), nullptr);
    EXPECT_EQ(status->findChild<QLabel*>()->text(), QStringLiteral("Sende Report"));
    auto* bar = status->findChild<QProgressBar*>();
    ASSERT_NE(bar, nullptr);
    desktop.showProgress(3072, 4096);
    EXPECT_EQ(bar->value(), 75);
    desktop.endSending();
    EXPECT_EQ(parent.findChild<QDialog*>(), nullptr);
}

}  // namespace
}  // namespace tarnwick::ui
