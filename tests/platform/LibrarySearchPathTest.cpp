#include "platform/LibrarySearchPath.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace tarnwick {
namespace {

std::optional<std::string> variable(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::optional<std::string>(value) : std::nullopt;
}

// What a program started by the installed start script passes on to the
// programs it starts itself.
std::optional<std::string> restoredFrom(const char* note, const char* path)
{
    note ? ::setenv("TARNWICK_ADDED_LIBRARY_PATH", note, 1) : ::unsetenv("TARNWICK_ADDED_LIBRARY_PATH");
    path ? ::setenv("LD_LIBRARY_PATH", path, 1) : ::unsetenv("LD_LIBRARY_PATH");
    RestoreLibrarySearchPath();
    EXPECT_EQ(variable("TARNWICK_ADDED_LIBRARY_PATH"), std::nullopt);
    return variable("LD_LIBRARY_PATH");
}

TEST(LibrarySearchPath, ChildrenGetTheUsersOwnPathBack)
{
    const std::optional<std::string> saved = variable("LD_LIBRARY_PATH");
    EXPECT_EQ(restoredFrom("/usr/lib/libreoffice/program", "/usr/lib/libreoffice/program"), std::nullopt);
    EXPECT_EQ(restoredFrom("/usr/lib/libreoffice/program", "/usr/lib/libreoffice/program:/opt/x:/y"), "/opt/x:/y");
    // Not what the script wrote, or no script at all: left alone.
    EXPECT_EQ(restoredFrom("/usr/lib/libreoffice/program", "/usr/lib/libreoffice/programs:/opt/x"),
              "/usr/lib/libreoffice/programs:/opt/x");
    EXPECT_EQ(restoredFrom(nullptr, "/usr/lib/libreoffice/program"), "/usr/lib/libreoffice/program");
    saved ? ::setenv("LD_LIBRARY_PATH", saved->c_str(), 1) : ::unsetenv("LD_LIBRARY_PATH");
}

}  // namespace
}  // namespace tarnwick
