#include "settings/ProfileStore.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <random>

#include "platform/FileOps.h"
#include "platform/SystemError.h"
#include "settings/ProfileFileAccess.h"
#include "tests/support/TempTree.h"

namespace tarnwick::settings {
namespace {

using test::ReadFile;
using test::TempTree;

class ProfileStoreTest : public ::testing::Test {
protected:
    TempTree tree;
    std::string path = tree.path("config/Korvane/Tarnwick.conf");
    ProfileStore store{path};
};

TEST_F(ProfileStoreTest, MissingFileGivesDefaultsAndFirstWriteCreatesDirectoryAndFile)
{
    EXPECT_EQ(store.GetProfileInt("Dialogdaten", "Max Groesse", 100), 100u);
    EXPECT_EQ(store.GetProfileString("Optionen", "Endung Sikop", ".bak"), ".bak");
    EXPECT_FALSE(std::filesystem::exists(path));

    ASSERT_TRUE(store.WriteProfileInt("Dialogdaten", "Max Groesse", 10));
    ASSERT_TRUE(store.WriteProfileString("Dialogdaten", "Suchstring", "abc"));
    EXPECT_EQ(ReadFile(path), "[Dialogdaten]\nMax Groesse=dword:0000000a\nSuchstring=\"abc\"\n");
    struct stat status {};
    ASSERT_EQ(::stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
}

TEST_F(ProfileStoreTest, StringsRoundTripByteExactly)
{
    const std::string awkward[] = {
        "",
        "say \"hi\" \\ back\\slash\\",
        "line one\nline two\r\nend\n",
        std::string("nul\0byte\x01\x1f\x7f tab\t", 17),
        "\xe4\xf6\xfc\xdf high bytes \xc3\xa4 \xff",
        "x\n[Dialogdaten]\nSuchstring=\"injected\"",
        "\\x41 not an escape",
    };
    for (const std::string& value : awkward) {
        ASSERT_TRUE(store.WriteProfileString("S", "V", value));
        EXPECT_EQ(store.GetProfileString("S", "V", "default"), value);
        // A fresh store reads from the file, not from the writer's cache.
        EXPECT_EQ(ProfileStore(path).GetProfileString("S", "V", "default"), value);
        EXPECT_EQ(ProfileStore(path).GetProfileString("Dialogdaten", "Suchstring", "none"), "none");
    }
    ASSERT_TRUE(store.WriteProfileInt("S", "N", 0xfffffff3u));
    EXPECT_EQ(ProfileStore(path).GetProfileInt("S", "N", 0), 0xfffffff3u);
}

TEST_F(ProfileStoreTest, ValueOfTheOtherTypeReadsAsDefault)
{
    store.WriteProfileInt("S", "Number", 5);
    store.WriteProfileString("S", "Text", "5");
    EXPECT_EQ(store.GetProfileString("S", "Number", "dflt"), "dflt");
    EXPECT_EQ(store.GetProfileInt("S", "Text", 7), 7u);
}

TEST_F(ProfileStoreTest, HandEditedFileReadsLikeTheRegistry)
{
    tree.write("config/Korvane/Tarnwick.conf",
               "; my notes\r\n"
               "[ dialogdaten ]\r\n"
               "  max groesse =  DWORD:FF  \r\n"
               "Min Groesse=dword:\r\n"
               "Groesse=dword:123456789\r\n"
               "Suchstring=\"unterminated\r\n"
               "Ersetzstring=\"bad \\q escape\"\r\n"
               "Verz0=\"a\"\"b\"\r\n"
               "Verz1=\"first\"\n"
               "Verz1=\"second\"\n"
               "garbage without equals\n"
               "[Dialogdaten]\n"
               "Word=dword:00000000\n");
    EXPECT_EQ(store.GetProfileInt("Dialogdaten", "Max Groesse", 100), 255u);
    EXPECT_EQ(store.GetProfileInt("Dialogdaten", "Min Groesse", 3), 3u);
    EXPECT_EQ(store.GetProfileInt("Dialogdaten", "Groesse", 3), 3u);  // nine digits do not fit
    EXPECT_EQ(store.GetProfileString("Dialogdaten", "Suchstring", "d"), "d");
    EXPECT_EQ(store.GetProfileString("Dialogdaten", "Ersetzstring", "d"), "d");
    EXPECT_EQ(store.GetProfileString("Dialogdaten", "Verz0", "d"), "d");
    EXPECT_EQ(store.GetProfileString("Dialogdaten", "Verz1", "d"), "first");
    EXPECT_EQ(store.GetProfileInt("Dialogdaten", "Word", 1), 0u);  // a repeated header continues the section
}

TEST_F(ProfileStoreTest, RewriteKeepsUnknownSectionsValuesAndComments)
{
    tree.write("config/Korvane/Tarnwick.conf",
               "; kept comment\n[Fremd]\nOther=\"x\"\nOdd=hex:01,02\n\n[Dialogdaten]\nUnknown=dword:00000002\n");
    ASSERT_TRUE(store.WriteProfileInt("Dialogdaten", "Word", 0));
    ASSERT_TRUE(store.WriteProfileInt("Neu", "A", 1));
    EXPECT_EQ(ReadFile(path),
              "; kept comment\n[Fremd]\nOther=\"x\"\nOdd=hex:01,02\n\n[Dialogdaten]\nUnknown=dword:00000002\n"
              "Word=dword:00000000\n\n[Neu]\nA=dword:00000001\n");
}

TEST_F(ProfileStoreTest, RewriteDoesNotChangeHowOddLineEndsRead)
{
    // Written back with LF only, a line that ended in two CRs must still
    // read as it did.
    tree.write("config/Korvane/Tarnwick.conf", "[S]\r\r\nV=\"x\"\r\r\nN=dword:00000003\r\r\r\n");
    EXPECT_EQ(store.GetProfileString("S", "V", "d"), "x");
    ASSERT_TRUE(store.WriteProfileInt("T", "W", 1));
    ProfileStore fresh(path);
    EXPECT_EQ(fresh.GetProfileString("S", "V", "d"), "x");
    EXPECT_EQ(fresh.GetProfileInt("S", "N", 0), 3u);
}

TEST_F(ProfileStoreTest, WritingWithoutValueNameDeletesTheWholeSection)
{
    store.WriteProfileInt("Tarnwick-Main", "left", 1);
    store.WriteProfileInt("Tarnwick-Main", "top", 2);
    store.WriteProfileInt("Other", "left", 3);
    ASSERT_TRUE(store.WriteProfileString("tarnwick-main", std::nullopt, "ignored"));
    EXPECT_EQ(store.GetProfileInt("Tarnwick-Main", "left", 99), 99u);
    EXPECT_EQ(store.GetProfileInt("Tarnwick-Main", "top", 99), 99u);
    EXPECT_EQ(store.GetProfileInt("Other", "left", 99), 3u);
}

TEST_F(ProfileStoreTest, NamesThatWouldBreakTheFileAreRefused)
{
    EXPECT_FALSE(store.WriteProfileInt("S", "a=b", 1));
    EXPECT_FALSE(store.WriteProfileInt("S", "line\nbreak", 1));
    EXPECT_FALSE(store.WriteProfileInt("S]", "v", 1));
    EXPECT_FALSE(store.WriteProfileInt("", "v", 1));
    EXPECT_FALSE(store.WriteProfileInt("S", " padded", 1));
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(ProfileStoreTest, TwoProgramsWritingDifferentValuesKeepBoth)
{
    ProfileStore other(path);
    // Both have read (and cached) the file before either writes.
    EXPECT_EQ(store.GetProfileInt("S", "A", 0), 0u);
    EXPECT_EQ(other.GetProfileInt("S", "B", 0), 0u);

    ASSERT_TRUE(store.WriteProfileInt("S", "A", 1));
    ProfileStore::Batch batch(other);
    batch.WriteProfileInt("S", "B", 2);
    batch.WriteProfileString("T", "C", "three");
    ASSERT_TRUE(store.WriteProfileString("T", "D", "four"));  // lands while the batch is still open
    ASSERT_TRUE(batch.commit());

    for (ProfileStore* reader : {&store, &other}) {
        EXPECT_EQ(reader->GetProfileInt("S", "A", 0), 1u);
        EXPECT_EQ(reader->GetProfileInt("S", "B", 0), 2u);
        EXPECT_EQ(reader->GetProfileString("T", "C"), "three");
        EXPECT_EQ(reader->GetProfileString("T", "D"), "four");
    }
}

TEST_F(ProfileStoreTest, BatchAppliesItsWritesInOrderAndOnlyOnCommit)
{
    ProfileStore::Batch batch(store);
    batch.WriteProfileString("S", "V", "first");
    batch.WriteProfileInt("S", "N", 1);
    batch.WriteProfileString("S", std::nullopt, {});
    batch.WriteProfileString("S", "V", "last");
    EXPECT_FALSE(std::filesystem::exists(path));
    ASSERT_TRUE(batch.commit());
    EXPECT_EQ(ReadFile(path), "[S]\nV=\"last\"\n");
}

TEST_F(ProfileStoreTest, CorruptAndRandomFilesReadAsDefaultsAndStayWritable)
{
    std::mt19937 random(20240611);
    for (int round = 0; round < 60; ++round) {
        std::string bytes(random() % 600, '\0');
        for (char& c : bytes) c = static_cast<char>(random());
        // Now and then a plausible line among the garbage.
        if (round % 3 == 0) bytes.insert(random() % (bytes.size() + 1), "\n[S]\nV=dword:0");
        tree.write("config/Korvane/Tarnwick.conf", bytes);
        ProfileStore reader(path);
        (void)reader.GetProfileInt("S", "V", 7);
        (void)reader.GetProfileString("Dialogdaten", "Suchstring", "x");
        ASSERT_TRUE(reader.WriteProfileString("Dialogdaten", "Suchstring", "written"));
        EXPECT_EQ(ProfileStore(path).GetProfileString("Dialogdaten", "Suchstring"), "written");
    }
}

TEST_F(ProfileStoreTest, AnotherProgramsChangeIsSeenOnTheNextRead)
{
    store.WriteProfileInt("S", "V", 1);
    EXPECT_EQ(store.GetProfileInt("S", "V", 0), 1u);
    tree.write("config/Korvane/Tarnwick.conf", "[S]\nV=dword:00000002\nW=dword:00000003\n");
    EXPECT_EQ(store.GetProfileInt("S", "V", 0), 2u);
    std::filesystem::remove(path);
    EXPECT_EQ(store.GetProfileInt("S", "V", 0), 0u);
}

class FailingRename : public FileOps {
public:
    std::error_code renameAt(int, const char*, int, const char*) override { return ErrnoCode(EIO); }
};

TEST_F(ProfileStoreTest, FailedRewriteLeavesTheOldFileAndNoTemporaryFile)
{
    store.WriteProfileString("S", "V", "old");
    const std::string before = ReadFile(path);
    FailingRename failing;
    FileOps::install(&failing);
    const bool written = store.WriteProfileString("S", "V", "new");
    FileOps::install(nullptr);
    EXPECT_FALSE(written);
    EXPECT_EQ(ReadFile(path), before);
    EXPECT_EQ(store.GetProfileString("S", "V"), "old");
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(tree.path("config/Korvane"))) ++files;
    EXPECT_EQ(files, 2u);  // the file and its lock file
}

TEST_F(ProfileStoreTest, AFailedCommitSaysWhy)
{
    ProfileStore::Batch batch(store);
    batch.WriteProfileInt("S", "V", 1);
    batch.WriteProfileInt("S", "a=b", 2);
    Expected<void> committed = batch.commit();
    ASSERT_FALSE(committed);
    EXPECT_EQ(committed.error().kind, FailureKind::InvalidInput);
    EXPECT_FALSE(committed.error().code);
    EXPECT_EQ(store.GetProfileInt("S", "V", 0), 1u);  // the usable change is written

    FailingRename failing;
    FileOps::install(&failing);
    batch.WriteProfileInt("S", "V", 3);
    committed = batch.commit();
    FileOps::install(nullptr);
    ASSERT_FALSE(committed);
    EXPECT_EQ(committed.error().kind, FailureKind::System);
    EXPECT_EQ(committed.error().code, ErrnoCode(EIO));

    std::filesystem::remove(path);
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    batch.WriteProfileInt("S", "V", 4);
    committed = batch.commit();
    ASSERT_FALSE(committed);
    EXPECT_EQ(committed.error().code, ErrnoCode(EINVAL));  // no settings file, and not replaced
}

TEST_F(ProfileStoreTest, UnreadableFileIsNeverReplaced)
{
    if (::geteuid() == 0) GTEST_SKIP() << "root reads every file";
    store.WriteProfileString("S", "V", "mine");
    ::chmod(path.c_str(), 0);
    EXPECT_EQ(store.GetProfileString("S", "V", "default"), "default");
    EXPECT_FALSE(store.WriteProfileString("S", "W", "x"));
    ::chmod(path.c_str(), 0600);
    EXPECT_EQ(store.GetProfileString("S", "V"), "mine");
}

// Installs a stand-in for the store's file calls while it lives.
class InstalledFiles {
public:
    explicit InstalledFiles(ProfileFiles& files) { ProfileFiles::install(&files); }
    ~InstalledFiles() { ProfileFiles::install(nullptr); }
    InstalledFiles(const InstalledFiles&) = delete;
    InstalledFiles& operator=(const InstalledFiles&) = delete;
};

// A file that exists but cannot be read, whoever runs the test.
class UnreadableFile final : public ProfileFiles {
public:
    FileContents read(const std::string& path) override
    {
        FileContents contents = ProfileFiles::read(path);
        if (contents.exists) contents.readError = ErrnoCode(EACCES);
        contents.bytes.clear();
        return contents;
    }
};

TEST_F(ProfileStoreTest, FileThatCannotBeReadIsNeverReplacedAlsoForRoot)
{
    ASSERT_TRUE(store.WriteProfileString("S", "V", "mine"));
    const std::string before = ReadFile(path);
    {
        UnreadableFile unreadable;
        InstalledFiles installed(unreadable);
        ProfileStore other(path);
        EXPECT_EQ(other.GetProfileString("S", "V", "default"), "default");
        EXPECT_FALSE(other.WriteProfileString("S", "W", "x"));
        // A writer reads afresh under the lock, even with the file cached.
        EXPECT_FALSE(store.WriteProfileString("S", "W", "x"));
    }
    EXPECT_EQ(ReadFile(path), before);
    EXPECT_EQ(ProfileStore(path).GetProfileString("S", "V"), "mine");
}

class CountingReads final : public ProfileFiles {
public:
    FileContents read(const std::string& path) override
    {
        ++reads;
        return ProfileFiles::read(path);
    }
    int reads = 0;
};

TEST_F(ProfileStoreTest, FileIsReadAgainOnlyWhenItChanged)
{
    ASSERT_TRUE(store.WriteProfileInt("S", "V", 1));
    CountingReads counting;
    InstalledFiles installed(counting);
    ProfileStore reader(path);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(reader.GetProfileInt("S", "V", 0), 1u);
    EXPECT_EQ(counting.reads, 1);
    ASSERT_TRUE(store.WriteProfileInt("S", "V", 2));  // reads once under its lock
    EXPECT_EQ(counting.reads, 2);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(reader.GetProfileInt("S", "V", 0), 2u);
    EXPECT_EQ(counting.reads, 3);
}

TEST_F(ProfileStoreTest, SomethingOtherThanAFileIsNeitherReadNorReplaced)
{
    tree.mkdir("config/Korvane");
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    EXPECT_EQ(store.GetProfileInt("S", "V", 4), 4u);  // and does not hang on the FIFO
    EXPECT_FALSE(store.WriteProfileInt("S", "V", 1));
    EXPECT_TRUE(std::filesystem::is_fifo(path));
}

TEST_F(ProfileStoreTest, WritingThroughASymbolicLinkKeepsTheLink)
{
    const std::string real = tree.write("dotfiles/Tarnwick.conf", "[S]\nKeep=dword:00000001\n");
    tree.mkdir("config/Korvane");
    std::filesystem::create_symlink(real, path);
    ASSERT_TRUE(store.WriteProfileInt("S", "New", 2));
    EXPECT_TRUE(std::filesystem::is_symlink(path));
    EXPECT_EQ(ReadFile(real), "[S]\nKeep=dword:00000001\nNew=dword:00000002\n");
}

TEST(ProfilePath, FollowsXdgConfigHomeElseHomeConfig)
{
    EXPECT_EQ(ProfilePathFor("/x/conf", "/home/u"), "/x/conf/Korvane/Tarnwick.conf");
    EXPECT_EQ(ProfilePathFor("", "/home/u"), "/home/u/.config/Korvane/Tarnwick.conf");
    EXPECT_EQ(ProfilePathFor("relative/conf", "/home/u"), "/home/u/.config/Korvane/Tarnwick.conf");
}

}  // namespace
}  // namespace tarnwick::settings
