// The one commit every writer uses: it writes to the object it opened, never
// through a name swapped meanwhile, and the new file carries everything the
// old one had.
#include "platform/FileCommit.h"
#include "platform/FileAttributes.h"
#include "platform/FileWrite.h"
#include "platform/InputFile.h"
#include "platform/SystemError.h"
#include "tests/support/TempTree.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

namespace tarnwick::test {
namespace {

// An access ACL in the kernel's format (version 2, then tag/permissions/id
// entries): the owning user rw, user 4242 nothing, group and mask r, others r.
std::string denyingAcl()
{
    std::string acl;
    auto put32 = [&](std::uint32_t v) { acl.append(reinterpret_cast<const char*>(&v), 4); };
    auto entry = [&](std::uint16_t tag, std::uint16_t perm, std::uint32_t id) {
        acl.append(reinterpret_cast<const char*>(&tag), 2);
        acl.append(reinterpret_cast<const char*>(&perm), 2);
        put32(id);
    };
    put32(2);
    entry(0x01, 6, 0xFFFFFFFF);  // the owner
    entry(0x02, 0, 4242);  // one user denied
    entry(0x04, 4, 0xFFFFFFFF);  // the owning group
    entry(0x10, 4, 0xFFFFFFFF);  // the mask
    entry(0x20, 4, 0xFFFFFFFF);  // others
    return acl;
}

std::string attribute(const std::string& path, const char* name)
{
    char value[256];
    const ssize_t size = ::getxattr(path.c_str(), name, value, sizeof value);
    return size < 0 ? std::string() : std::string(value, static_cast<std::size_t>(size));
}

struct stat statOf(const std::string& path)
{
    struct stat st {};
    ::lstat(path.c_str(), &st);
    return st;
}

}  // namespace

// The name was swapped for a link to a file elsewhere after the file was
// opened: that file is never written, and the commit says the name changed.
TEST(FileCommit, ANameSwappedForALinkIsNeverWrittenThrough)
{
    TempTree tree;
    const std::string victim = tree.write("elsewhere/victim.txt", "someone else's\n");
    for (const bool split : {false, true}) {
        SCOPED_TRACE(split ? "through a temporary file" : "from memory");
        const std::string path = tree.write("d/a.txt", "alpha\n");
        InputFile file;
        ASSERT_FALSE(file.open(path, InputFile::Mode::Replace, InputFile::Links::Refuse));
        ASSERT_FALSE(file.pin());
        std::filesystem::rename(path, tree.path("d/moved.txt"));
        ASSERT_EQ(::symlink(victim.c_str(), path.c_str()), 0);

        std::error_code error;
        if (split) {
            OutputFile temp;
            ASSERT_FALSE(temp.createTemporaryAt(tree.path("d"), "a.txt"));
            ASSERT_FALSE(temp.append("omega\n", 6));
            error = InstallTemporaryFile(file, temp);
        } else {
            error = CommitContents(file, "omega\n", "alpha\n");
        }
        EXPECT_EQ(error, NameChangedError());
        EXPECT_EQ(ReadFile(victim), "someone else's\n");
        EXPECT_TRUE(S_ISLNK(statOf(path).st_mode));
        EXPECT_EQ(ReadFile(tree.path("d/moved.txt")), "alpha\n");
        std::filesystem::remove(path);
        std::filesystem::remove(tree.path("d/moved.txt"));
    }
    // A name that is a link by the time it is opened is refused as well.
    const std::string path = tree.path("d/late.txt");
    ASSERT_EQ(::symlink(victim.c_str(), path.c_str()), 0);
    InputFile file;
    EXPECT_EQ(file.open(path, InputFile::Mode::Replace, InputFile::Links::Refuse), NameChangedError());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(tree.path("d")), {}), 1);  // no temporary file
}

// Owner, group, set-user-ID bit, a user attribute and an ACL that shuts one
// user out all survive a commit, whole or through a temporary file.
TEST(FileCommit, TheNewFileCarriesOwnerModeAttributesAndAcl)
{
    if (::geteuid() != 0) GTEST_SKIP() << "giving a file another owner needs root";
    TempTree tree;
    const std::string acl = denyingAcl();
    for (const bool split : {false, true}) {
        SCOPED_TRACE(split ? "through a temporary file" : "from memory");
        const std::string path = tree.write(split ? "big.bin" : "small.txt", "alpha\n");
        ASSERT_EQ(::chown(path.c_str(), 4243, 4244), 0);
        ASSERT_EQ(::chmod(path.c_str(), 04750), 0);
        ASSERT_EQ(::setxattr(path.c_str(), "user.origin", "kept", 4, 0), 0);
        if (::setxattr(path.c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0) != 0)
            GTEST_SKIP() << "no ACLs on this file system";
        const struct stat before = statOf(path);

        InputFile file;
        ASSERT_FALSE(file.open(path, InputFile::Mode::Replace));
        std::error_code error;
        if (split) {
            OutputFile temp;
            ASSERT_FALSE(temp.createTemporaryAt(tree.root(), "elsewhere"));
            ASSERT_FALSE(temp.append("omega\n", 6));
            error = InstallTemporaryFile(file, temp);
        } else {
            error = CommitContents(file, "omega\n", "alpha\n");
        }
        ASSERT_FALSE(error) << error.message();
        const struct stat after = statOf(path);
        EXPECT_EQ(ReadFile(path), "omega\n");
        EXPECT_NE(after.st_ino, before.st_ino);  // replaced by a rename, not written in place
        EXPECT_EQ(after.st_uid, 4243u);
        EXPECT_EQ(after.st_gid, 4244u);
        EXPECT_EQ(after.st_mode & 07777, before.st_mode & 07777);
        EXPECT_EQ(attribute(path, "user.origin"), "kept");
        EXPECT_EQ(attribute(path, "system.posix_acl_access"), acl);
    }
}

// A backup copy is never more open than its file: it carries the file's ACL.
TEST(FileCommit, ABackupCopyCarriesTheFilesAcl)
{
    TempTree tree;
    const std::string path = tree.write("a.txt", "alpha\n");
    const std::string acl = denyingAcl();
    if (::setxattr(path.c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0) != 0)
        GTEST_SKIP() << "no ACLs on this file system";
    InputFile file;
    ASSERT_FALSE(file.open(path));
    Digest digest;
    ASSERT_FALSE(CopyToNewFile(file, tree.path("a.txt.bak"), &digest));
    EXPECT_EQ(attribute(tree.path("a.txt.bak"), "system.posix_acl_access"), acl);
    EXPECT_EQ(digest, ContentDigest::of("alpha\n"));
}

// Writers outside a run (the viewer, the settings store) keep a hard link, a
// symbolic link and an attribute; a new file appears with the mode asked for.
TEST(FileCommit, WritingAWholeFileKeepsLinksAndAttributes)
{
    TempTree tree;
    const std::string path = tree.write("a.txt", "alpha\n");
    const std::string second = tree.path("second-name.txt");
    ASSERT_EQ(::link(path.c_str(), second.c_str()), 0);
    const std::string link = tree.path("link.txt");
    ASSERT_EQ(::symlink(path.c_str(), link.c_str()), 0);
    const bool attributes = ::setxattr(path.c_str(), "user.origin", "kept", 4, 0) == 0;

    ASSERT_FALSE(WriteFileContents(link, "omega\n"));
    EXPECT_TRUE(S_ISLNK(statOf(link).st_mode));
    EXPECT_EQ(ReadFile(second), "omega\n");  // still one file under two names
    if (attributes) EXPECT_EQ(attribute(path, "user.origin"), "kept");

    const mode_t mask = ::umask(022);
    ASSERT_FALSE(WriteFileContents(tree.path("new.txt"), "new\n", 0640));
    ::umask(mask);
    EXPECT_EQ(ReadFile(tree.path("new.txt")), "new\n");
    EXPECT_EQ(statOf(tree.path("new.txt")).st_mode & 07777, 0640u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(tree.root()), {}), 4);  // no temporary file
}

}  // namespace tarnwick::test
