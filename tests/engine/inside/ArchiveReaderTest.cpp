#include <gtest/gtest.h>

#include "engine/inside/ArchiveReader.h"
#include "engine/inside/InsidePath.h"
#include "tests/engine/inside/InsideTestSupport.h"
#include "tests/support/TempTree.h"

namespace tarnwick {
namespace {

using inside::InsideErrorKind;
using inside::InsideFormat;
using test::RecordingVisitor;
using test::RunIn;
using test::TempTree;

// The tree every archive of these tests packs: a file at the top and one
// in a folder, with known contents.
void writeTree(const TempTree& tree)
{
    tree.write("pack/c.txt", "hit in c\n");
    tree.write("pack/sub/d.txt", "second file d\n");
}

RecordingVisitor read(const std::string& path, InsideFormat format, const inside::ArchiveLimits& limits = {})
{
    RecordingVisitor visitor;
    inside::ReadArchive(path, format, visitor, limits);
    return visitor;
}

TEST(ArchiveReader, NestedArchivesGiveCompositePathsAndTheInnerBytes)
{
    const TempTree tree;
    writeTree(tree);
    ASSERT_EQ(RunIn(tree.path("pack"), "tar czf ../b.tar.gz c.txt sub"), 0);
    tree.write("top.txt", "top\n");
    ASSERT_EQ(RunIn(tree.root(), "zip -q a.zip b.tar.gz top.txt"), 0);

    // The nested archive held in memory, and read as a stream as a large one is.
    for (const std::uint64_t inMemory : {std::uint64_t(32) << 20, std::uint64_t(0)}) {
        SCOPED_TRACE(inMemory);
        inside::ArchiveLimits limits;
        limits.nestedInMemory = inMemory;
        const RecordingVisitor visitor = read(tree.path("a.zip"), InsideFormat::Archive, limits);
        EXPECT_TRUE(visitor.errors.empty());
        const std::string a = tree.path("a.zip");
        ASSERT_EQ(visitor.paths(),
                  (std::vector<std::string>{a + " » b.tar.gz » c.txt", a + " » b.tar.gz » sub/d.txt", a + " » top.txt"}));
        EXPECT_EQ(visitor.files[0].bytes, "hit in c\n");
        EXPECT_EQ(visitor.files[0].file.name, "c.txt");
        EXPECT_EQ(visitor.files[0].file.size, 9u);
        EXPECT_EQ(visitor.files[1].bytes, "second file d\n");
        EXPECT_EQ(visitor.files[1].file.name, "d.txt");
        EXPECT_EQ(visitor.files[2].bytes, "top\n");
    }
    EXPECT_EQ(inside::InsidePath("a.zip", "b.tar.gz"), "a.zip » b.tar.gz");
}

TEST(ArchiveReader, AnArchiveCutInsideANestedOneIsReportedOnceUnderTheOuterEntry)
{
    const TempTree tree;
    std::string noise;
    for (int i = 0; i < 60000; ++i) noise += std::to_string(i * 7919 % 100003) + ",";
    tree.write("pack/noise.txt", noise);
    ASSERT_EQ(RunIn(tree.root(),
                    "tar czf inner.tar.gz -C pack noise.txt && tar cf outer.tar inner.tar.gz"
                    " && head -c $(( $(stat -c %s outer.tar) / 3 )) outer.tar > cut.tar"),
              0);
    for (const std::uint64_t inMemory : {std::uint64_t(32) << 20, std::uint64_t(0)}) {
        SCOPED_TRACE(inMemory);
        inside::ArchiveLimits limits;
        limits.nestedInMemory = inMemory;
        const RecordingVisitor visitor = read(tree.path("cut.tar"), InsideFormat::Archive, limits);
        ASSERT_EQ(visitor.errors.size(), 1u);
        EXPECT_EQ(visitor.errors[0].kind(), InsideErrorKind::Damaged);
        EXPECT_EQ(visitor.errors[0].path, tree.path("cut.tar") + " » inner.tar.gz");
    }
}

TEST(ArchiveReader, ArchivesDeeperThanThreeLevelsAreHandedOnAsFiles)
{
    const TempTree tree;
    tree.write("l4/deep.txt", "deep\n");
    ASSERT_EQ(RunIn(tree.path("l4"),
                    "zip -q ../l4.zip deep.txt && cd .. && tar cf l3.tar l4.zip && tar czf l2.tar.gz l3.tar"
                    " && tar cJf l1.tar.xz l2.tar.gz"),
              0);

    const RecordingVisitor visitor = read(tree.path("l1.tar.xz"), InsideFormat::Archive);
    EXPECT_TRUE(visitor.errors.empty());
    ASSERT_EQ(visitor.files.size(), 1u);
    // l1 » l2 » l3 are opened; the zip inside l3 is a fourth level.
    EXPECT_EQ(visitor.files[0].file.path, tree.path("l1.tar.xz") + " » l2.tar.gz » l3.tar » l4.zip");
    EXPECT_EQ(visitor.files[0].file.format, InsideFormat::Archive);
    EXPECT_EQ(visitor.files[0].bytes, test::ReadFile(tree.path("l4.zip")));
}

TEST(ArchiveReader, EveryTarCompressionAndZipPackageGivesItsFiles)
{
    const TempTree tree;
    writeTree(tree);
    const std::vector<std::pair<std::string, std::string>> archives{
        {"plain.tar", "tar cf ../plain.tar c.txt sub"},
        {"gz.tgz", "tar czf ../gz.tgz c.txt sub"},
        {"xz.tar.xz", "tar cJf ../xz.tar.xz c.txt sub"},
        {"bz.tar.bz2", "tar cjf ../bz.tar.bz2 c.txt sub"},
        {"zst.tar.zst", "tar --zstd -cf ../zst.tar.zst c.txt sub"},
        {"lib.jar", "zip -qr ../lib.jar c.txt sub"},
    };
    for (const auto& [name, command] : archives) {
        SCOPED_TRACE(name);
        ASSERT_EQ(RunIn(tree.path("pack"), command), 0);
        const RecordingVisitor visitor = read(tree.path(name), InsideFormat::Archive);
        EXPECT_TRUE(visitor.errors.empty());
        ASSERT_EQ(visitor.paths(), (std::vector<std::string>{tree.path(name) + " » c.txt", tree.path(name) + " » sub/d.txt"}));
        EXPECT_EQ(visitor.files[0].bytes, "hit in c\n");
        EXPECT_EQ(visitor.files[1].bytes, "second file d\n");
    }
}

TEST(ArchiveReader, ASevenZipArchiveGivesItsFiles)
{
    if (!test::HasTool("7z")) GTEST_SKIP() << "7z (package p7zip-full) is not installed";
    const TempTree tree;
    writeTree(tree);
    ASSERT_EQ(RunIn(tree.path("pack"), "7z a ../x.7z c.txt sub"), 0);
    const RecordingVisitor visitor = read(tree.path("x.7z"), InsideFormat::Archive);
    EXPECT_TRUE(visitor.errors.empty());
    ASSERT_EQ(visitor.paths(), (std::vector<std::string>{tree.path("x.7z") + " » c.txt", tree.path("x.7z") + " » sub/d.txt"}));
    EXPECT_EQ(visitor.files[1].bytes, "second file d\n");
}

TEST(ArchiveReader, ACompressedFileIsOneInnerFileNamedWithoutItsSuffix)
{
    const TempTree tree;
    std::string log;
    for (int line = 0; line < 20000; ++line) log += "line " + std::to_string(line) + " of the log\n";
    tree.write("app.log", log);
    const std::vector<std::pair<std::string, std::string>> files{
        {"app.log.gz", "gzip -c app.log > app.log.gz"},     {"app.log.xz", "xz -c app.log > app.log.xz"},
        {"app.log.bz2", "bzip2 -c app.log > app.log.bz2"},  {"app.log.zst", "zstd -q -c app.log > app.log.zst"},
        {"app.log.lz4", "lz4 -q -c app.log > app.log.lz4"},
    };
    for (const auto& [name, command] : files) {
        SCOPED_TRACE(name);
        ASSERT_EQ(RunIn(tree.root(), command), 0);
        const RecordingVisitor visitor = read(tree.path(name), InsideFormat::Compressed);
        EXPECT_TRUE(visitor.errors.empty());
        ASSERT_EQ(visitor.files.size(), 1u);
        EXPECT_EQ(visitor.files[0].file.path, tree.path(name) + " » app.log");
        EXPECT_EQ(visitor.files[0].file.name, "app.log");
        // Read in pieces of 4 KiB, all of it, in order.
        EXPECT_TRUE(visitor.files[0].bytes == log);
    }
}

TEST(ArchiveReader, AnEncryptedEntryIsAnErrorAndTheOthersAreRead)
{
    const TempTree tree;
    tree.write("secret.txt", "secret hit\n");
    tree.write("open.txt", "open hit\n");
    ASSERT_EQ(RunIn(tree.root(), "zip -q -P geheim mixed.zip secret.txt && zip -q mixed.zip open.txt"), 0);

    const RecordingVisitor visitor = read(tree.path("mixed.zip"), InsideFormat::Archive);
    ASSERT_EQ(visitor.errors.size(), 1u);
    EXPECT_EQ(visitor.errors[0].kind(), InsideErrorKind::Encrypted);
    EXPECT_EQ(visitor.errors[0].path, tree.path("mixed.zip") + " » secret.txt");
    EXPECT_EQ(visitor.errors[0].failure.detail, "Der Eintrag ist verschlüsselt und wird nicht durchsucht.");
    ASSERT_EQ(visitor.files.size(), 1u);
    EXPECT_EQ(visitor.files[0].bytes, "open hit\n");
}

TEST(ArchiveReader, ADamagedArchiveGivesWhatComesBeforeTheDamageAndOneError)
{
    const TempTree tree;
    tree.write("pack/a.txt", "first\n");
    tree.write("pack/b.bin", std::string(200000, 'b'));
    tree.write("pack/c.txt", "never reached\n");
    // Cut short in the middle of the second entry's data.
    ASSERT_EQ(RunIn(tree.path("pack"), "tar cf ../whole.tar a.txt b.bin c.txt && head -c 100000 ../whole.tar > ../cut.tar"), 0);
    RecordingVisitor visitor = read(tree.path("cut.tar"), InsideFormat::Archive);
    ASSERT_EQ(visitor.files.size(), 2u);
    EXPECT_EQ(visitor.files[0].bytes, "first\n");
    ASSERT_EQ(visitor.errors.size(), 1u);
    EXPECT_EQ(visitor.errors[0].kind(), InsideErrorKind::Damaged);
    EXPECT_EQ(visitor.errors[0].path, tree.path("cut.tar") + " » b.bin");
    EXPECT_EQ(visitor.errors[0].failure.detail.rfind("Der Eintrag ist beschädigt: ", 0), 0u);

    // Not an archive at all, though its name says so: one error for the file.
    tree.write("fake.tar.gz", std::string("\x1F\x8B", 2) + "no gzip stream follows");
    visitor = read(tree.path("fake.tar.gz"), InsideFormat::Archive);
    EXPECT_TRUE(visitor.files.empty());
    ASSERT_EQ(visitor.errors.size(), 1u);
    EXPECT_EQ(visitor.errors[0].kind(), InsideErrorKind::Damaged);
    EXPECT_EQ(visitor.errors[0].path, tree.path("fake.tar.gz"));

    visitor = read(tree.path("missing.zip"), InsideFormat::Archive);
    ASSERT_EQ(visitor.errors.size(), 1u);
    EXPECT_EQ(visitor.errors[0].kind(), InsideErrorKind::CannotOpen);
}

TEST(ArchiveReader, ADamagedZipEntryIsAnErrorAndTheNextEntryIsRead)
{
    const TempTree tree;
    ASSERT_EQ(RunIn(tree.root(),
                    "seq 1 20000 > a.txt && seq 5 9000 > b.txt && zip -q bad.zip a.txt b.txt"
                    " && printf XXXXXXXX | dd of=bad.zip bs=1 seek=200 conv=notrunc"),
              0);
    const RecordingVisitor visitor = read(tree.path("bad.zip"), InsideFormat::Archive);
    ASSERT_EQ(visitor.errors.size(), 1u);
    EXPECT_EQ(visitor.errors[0].kind(), InsideErrorKind::Damaged);
    EXPECT_EQ(visitor.errors[0].path, tree.path("bad.zip") + " » a.txt");
    ASSERT_EQ(visitor.paths(), std::vector<std::string>{tree.path("bad.zip") + " » b.txt"});
    EXPECT_EQ(visitor.files[0].bytes, tree.read("b.txt"));
}

TEST(ArchiveReader, AnEntryThatStatesABombSizeIsRefusedBeforeItIsInflated)
{
    const TempTree tree;
    tree.write("first.txt", "before the bomb\n");
    // 100 MB of zeros pack to about 100 KB: far beyond 100 times.
    ASSERT_EQ(RunIn(tree.root(), "truncate -s 100M zeros.bin && zip -q bomb.zip first.txt zeros.bin && rm zeros.bin"), 0);
    const RecordingVisitor visitor = read(tree.path("bomb.zip"), InsideFormat::Archive);
    ASSERT_EQ(visitor.files.size(), 1u);
    EXPECT_EQ(visitor.files[0].bytes, "before the bomb\n");
    ASSERT_EQ(visitor.errors.size(), 1u);
    EXPECT_EQ(visitor.errors[0].kind(), InsideErrorKind::ExpandsTooFar);
    EXPECT_EQ(visitor.errors[0].path, tree.path("bomb.zip") + " » zeros.bin");
    EXPECT_EQ(visitor.errors[0].failure.detail,
              "Der Eintrag würde entpackt mehr als das 100-Fache seiner gepackten Größe belegen; "
              "das Archiv wird nicht weiter durchsucht.");
}

TEST(ArchiveReader, ABombOfUnstatedSizeStopsOnceItPassesTheLimit)
{
    const TempTree tree;
    ASSERT_EQ(RunIn(tree.root(), "head -c 100M /dev/zero | gzip -c > zeros.gz"), 0);
    const RecordingVisitor visitor = read(tree.path("zeros.gz"), InsideFormat::Compressed);
    ASSERT_EQ(visitor.files.size(), 1u);
    ASSERT_EQ(visitor.errors.size(), 1u);
    EXPECT_EQ(visitor.errors[0].kind(), InsideErrorKind::ExpandsTooFar);
    EXPECT_EQ(visitor.errors[0].path, tree.path("zeros.gz") + " » zeros");
    // The free 16 MB, and not one piece more.
    EXPECT_LE(visitor.files[0].bytes.size(), std::size_t(16) << 20);
    EXPECT_GE(visitor.files[0].bytes.size(), (std::size_t(16) << 20) - 4096);
}

TEST(ArchiveReader, TheArchivesBudgetEndsTheWalkOnEveryLevel)
{
    const TempTree tree;
    for (const char* name : {"pack/1.bin", "pack/2.bin", "pack/3.bin"}) tree.write(name, std::string(400000, 'x'));
    tree.write("last.txt", "after the nested archive\n");
    ASSERT_EQ(RunIn(tree.path("pack"), "tar cf ../inner.tar 1.bin 2.bin 3.bin && cd .. && zip -q outer.zip inner.tar last.txt"),
              0);
    inside::ArchiveLimits limits;
    // The inner tar's bytes (about 1.2 MB) count once as the outer entry and
    // again as they are unpacked.
    limits.expandedTotal = 2000000;
    const RecordingVisitor visitor = read(tree.path("outer.zip"), InsideFormat::Archive, limits);
    ASSERT_EQ(visitor.files.size(), 1u);
    ASSERT_EQ(visitor.errors.size(), 1u);
    EXPECT_EQ(visitor.errors[0].kind(), InsideErrorKind::ExpandsTooFar);
    EXPECT_EQ(visitor.errors[0].path, tree.path("outer.zip") + " » inner.tar » 2.bin");
    EXPECT_EQ(visitor.errors[0].failure.detail,
              "Das Archiv würde entpackt mehr als 1 MB belegen; es wird nicht weiter durchsucht.");
}

TEST(ArchiveReader, AStopRequestEndsTheWalkBeforeTheNextEntry)
{
    const TempTree tree;
    writeTree(tree);
    ASSERT_EQ(RunIn(tree.path("pack"), "zip -qr ../two.zip c.txt sub"), 0);
    RecordingVisitor visitor;
    visitor.stopAfter = 1;
    inside::ReadArchive(tree.path("two.zip"), InsideFormat::Archive, visitor);
    EXPECT_EQ(visitor.files.size(), 1u);
    EXPECT_TRUE(visitor.errors.empty());
}

}  // namespace
}  // namespace tarnwick
