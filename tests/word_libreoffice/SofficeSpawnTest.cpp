// Starting soffice: a program that cannot be started is a failure with the
// system's reason, and leaves no profile folder behind.
#include "platform/SystemError.h"
#include "tests/support/TempTree.h"
#include "word/libreoffice/SofficeProcess.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

namespace tarnwick::word {

TEST(SpawnSoffice, GivesTheProcessOrTheSystemsReason)
{
    const Expected<pid_t> missing = SpawnSoffice({"/nonexistent/soffice"}, SpawnGroup::OwnProcessGroup);
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.error().code, ErrnoCode(ENOENT));
    EXPECT_EQ(missing.error().detail, SystemErrorText(ENOENT));

    const Expected<pid_t> started = SpawnSoffice({"/bin/true"}, SpawnGroup::OwnProcessGroup);
    ASSERT_TRUE(started);
    int status = -1;
    ASSERT_EQ(::waitpid(started.value(), &status, 0), started.value());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST(SofficeProcess, AProgramThatCannotStartLeavesNoProfile)
{
    test::TempTree tree;
    const char* previous = std::getenv("TMPDIR");
    const std::string kept = previous ? previous : "";
    ::setenv("TMPDIR", tree.root().c_str(), 1);
    SofficeProcess process;
    const Expected<void> started = process.start(tree.path("no-soffice"));
    if (previous)
        ::setenv("TMPDIR", kept.c_str(), 1);
    else
        ::unsetenv("TMPDIR");
    ASSERT_FALSE(started);
    EXPECT_EQ(started.error().code, ErrnoCode(ENOENT));
    EXPECT_FALSE(process.running());
    EXPECT_TRUE(std::filesystem::is_empty(tree.root()));
}

}  // namespace tarnwick::word
