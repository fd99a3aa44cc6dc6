// The worker's hand-over to the user interface thread.
#include "ui/searchform/QtNotifier.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>
#include <QThread>

#include <thread>

#include "tests/ui/support/QtApp.h"

namespace tarnwick::ui {
namespace {

struct RecordingSink final : WorkerMessageSink {
    std::vector<UserMessage> messages;
    std::vector<std::string> errors;
    std::vector<std::string> status;
    std::vector<bool> onUiThread;
    void handleWorkerMessage(UserMessage message) override
    {
        messages.push_back(message);
        onUiThread.push_back(QThread::currentThread() == QCoreApplication::instance()->thread());
    }
    void handleWorkerError(const std::string& title, const std::string& text) override { errors.push_back(title + "|" + text); }
    void handleWorkerStatus(const std::string& text) override { status.push_back(text); }
};

TEST(QtNotifier, CallsFromAnotherThreadArriveInOrderOnTheUserInterfaceThread)
{
    test::EnsureQtApp();
    auto notifier = QtNotifier::create();
    RecordingSink sink;
    notifier->attach(&sink);
    std::thread worker([&] {
        notifier->showMessage("Fehler");
        notifier->post(UserMessage::RunAborted);
        notifier->post(UserMessage::SearchDone);
    });
    worker.join();
    EXPECT_TRUE(sink.messages.empty());  // nothing runs on the worker thread
    EXPECT_TRUE(QTest::qWaitFor([&] { return sink.messages.size() == 2; }, 5'000));
    EXPECT_EQ(sink.messages, (std::vector<UserMessage>{UserMessage::RunAborted, UserMessage::SearchDone}));
    EXPECT_EQ(sink.onUiThread, (std::vector<bool>{true, true}));
    EXPECT_EQ(sink.errors, std::vector<std::string>{"|Fehler"});
}

TEST(QtNotifier, AfterDetachNothingReachesTheSinkNotEvenWhatWasQueued)
{
    test::EnsureQtApp();
    auto notifier = QtNotifier::create();
    RecordingSink sink;
    notifier->attach(&sink);
    notifier->post(UserMessage::SearchDone);
    notifier->detach();
    notifier->post(UserMessage::ReplaceDone);
    QCoreApplication::processEvents();
    EXPECT_TRUE(sink.messages.empty());
}

TEST(QtNotifier, AFastWalkQueuesOneStatusCallWithTheNewestText)
{
    test::EnsureQtApp();
    auto notifier = QtNotifier::create();
    RecordingSink sink;
    notifier->attach(&sink);
    for (int i = 0; i < 1000; ++i) notifier->showStatus("/data/" + std::to_string(i));
    QCoreApplication::processEvents();
    EXPECT_EQ(sink.status, std::vector<std::string>{"/data/999"});
    notifier->showStatus("/data/next");
    QCoreApplication::processEvents();
    EXPECT_EQ(sink.status.back(), "/data/next");
}

}  // namespace
}  // namespace tarnwick::ui
