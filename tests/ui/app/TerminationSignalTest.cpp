// SIGTERM reaches the desktop program as a request on its user interface
// thread: the first closes the window through its close sequence, a second
// one quits.
#include "ui/app/TerminationSignal.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include <csignal>
#include <vector>

#include "tests/ui/support/QtApp.h"

namespace tarnwick::ui {
namespace {

std::vector<TerminationAction> waitFor(const std::vector<TerminationAction>& actions, std::size_t count)
{
    QElapsedTimer timer;
    timer.start();
    while (actions.size() < count && timer.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return actions;
}

}  // namespace

TEST(TerminationSignal, FirstRequestClosesTheWindowASecondQuits)
{
    test::EnsureQtApp();
    std::vector<TerminationAction> actions;
    {
        TerminationSignal termination;
        QObject::connect(&termination, &TerminationSignal::requested,
                         [&actions](TerminationAction action) { actions.push_back(action); });
        ASSERT_EQ(::raise(SIGTERM), 0);
        EXPECT_EQ(waitFor(actions, 1), std::vector<TerminationAction>{TerminationAction::CloseWindow});
        ASSERT_EQ(::raise(SIGTERM), 0);
        EXPECT_EQ(waitFor(actions, 2), (std::vector<TerminationAction>{TerminationAction::CloseWindow, TerminationAction::Quit}));
    }
}

}  // namespace tarnwick::ui
