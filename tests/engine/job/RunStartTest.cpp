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
        int code;  // set where the refusal is about the folder
    } cases[] = {
        {C::Search, plain, "", tree.root(), text::kNoSearchText, 0},
        {C::Replace, regex, "", missing, text::kNoSearchText, 0},  // the text first
        {C::Search, plain, "x", "", text::kNoDirectory, 0},
        {C::Rename, plain, "", file + "/sub", file + "/sub: Das Verzeichnis existiert nicht", ENOTDIR},
        {C::Search, plain, "x", file, file + ": Der Pfad ist kein Verzeichnis", ENOTDIR},
        {C::Search, plain, "x", loop, loop + ": Kann Verzeichnis nicht lesen: " + SystemErrorText(ELOOP), ELOOP},
        {C::Replace, regex, "Apf(el", missing, missing + ": Das Verzeichnis existiert nicht", ENOENT},  // the folder next
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text + " in " + c.folder);
        const Expected<void> checked = CheckRunStart(c.command, c.job, c.text, c.folder);
        ASSERT_FALSE(checked);
        const Failure& refusal = checked.error();
        EXPECT_EQ(refusal.kind, FailureKind::Refused);
        EXPECT_EQ(refusal.detail.compare(0, c.message.size(), c.message), 0) << refusal.detail;
        EXPECT_EQ(refusal.code.value(), c.code);
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
    EXPECT_TRUE(CheckRunStart(WorkerCommand::Search, plain, "Apf(el", tree.root()));  // plain text is no expression
    EXPECT_TRUE(CheckRunStart(WorkerCommand::Replace, regex, "Apf(el)", link));  // a link to a folder is that folder
    // The conversion needs neither a search text nor an expression.
    EXPECT_TRUE(CheckRunStart(WorkerCommand::Rename, regex, "", tree.root()));
}

}  // namespace
}  // namespace tarnwick::test
