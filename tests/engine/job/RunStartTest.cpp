// Whether a run can start: each refusal with its reason, in the order the
// front ends meet them, and what may start although it looks odd.
#include "engine/worker/RunStart.h"
#include "engine/Messages.h"
#include "engine/job/SearchJob.h"
#include "engine/worker/SearchWorker.h"
#include "platform/SystemError.h"
#include "tests/support/TempTree.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>

namespace tarnwick::test {
namespace {

TEST(RunStart, RefusesWhatCouldNeverWalkWithItsReason)
{
    TempTree tree;
    const std::string file = tree.write("file.txt", "x");
    const std::string missing = tree.path("missing");
    const std::string loop = tree.path("loop");
    ASSERT_EQ(::symlink("loop", loop.c_str()), 0);
    SearchJob plain;
    SearchJob regex;
    regex.regularExpression = true;
    using C = WorkerCommand;
    const struct {
        WorkerCommand command;
        const SearchJob& job;
        std::string text;
        std::string folder;
        std::string message;
    } cases[] = {
        {C::Search, plain, "", tree.root(), text::kNoSearchText},
        {C::Replace, regex, "", missing, text::kNoSearchText},  // the text first
        {C::Search, plain, "x", "", text::kNoDirectory},
        {C::Rename, plain, "", file + "/sub", file + "/sub: Das Verzeichnis existiert nicht"},
        {C::Search, plain, "x", loop, loop + ": Kann Verzeichnis nicht lesen: " + SystemErrorText(ELOOP)},
        {C::Replace, regex, "Apf(el", missing, missing + ": Das Verzeichnis existiert nicht"},  // the folder next
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text + " in " + c.folder);
        const std::optional<StartRefusal> refusal = CheckRunStart(c.command, c.job, c.text, c.folder);
        ASSERT_TRUE(refusal);
        EXPECT_EQ(refusal->message().compare(0, c.message.size(), c.message), 0) << refusal->message();
    }
}

TEST(RunStart, AcceptsWhatTheRunCanDo)
{
    TempTree tree;
    SearchJob plain;
    SearchJob regex;
    regex.regularExpression = true;
    const std::string link = tree.path("link");
    ASSERT_EQ(::symlink(tree.root().c_str(), link.c_str()), 0);
    EXPECT_FALSE(CheckRunStart(WorkerCommand::Search, plain, "Apf(el", tree.root()));  // plain text is no expression
    EXPECT_FALSE(CheckRunStart(WorkerCommand::Replace, regex, "Apf(el)", link));  // a link to a folder is that folder
    // The conversion needs neither a search text nor an expression.
    EXPECT_FALSE(CheckRunStart(WorkerCommand::Rename, regex, "", tree.root()));
}

}  // namespace
}  // namespace tarnwick::test
