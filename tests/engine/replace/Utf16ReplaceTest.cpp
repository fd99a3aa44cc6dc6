#include "engine/replace/ReplaceInFile.h"
#include "engine/replace/ReplaceSelected.h"
#include "engine/walk/SearchWalk.h"
#include "engine/worker/RunSearch.h"
#include "tests/support/ReplaceFixture.h"
#include "tests/support/TempTree.h"
#include "tests/support/Utf16Bytes.h"

#include <gtest/gtest.h>

namespace tarnwick::test {
TEST(Utf16Replace, WritesUtf16WithTheSameMark)
{
    TempTree tree;
    const std::string path = tree.path("f.txt");
    for (const bool big : {false, true}) {
        for (const std::uint32_t split : {0u, 12u, 14u}) {
            SCOPED_TRACE(::testing::Message() << (big ? "big-endian" : "little-endian") << ", split " << split);
            // An odd last byte is no unit; it stays as it was.
            tree.write("f.txt", utf16File(u"😀Köln, KÖLN\r\nkölnisch", big, "\x01"));
            SearchJob job = TestJob();
            job.makeBackup = 0;
            if (split) job.splitLength = split;
            ReplaceFixture fixture(job, "köln", "Zürich");
            EXPECT_TRUE(ReplaceInFile(fixture.run(), path));
            EXPECT_TRUE(fixture.errors().empty());
            EXPECT_EQ(ReadFile(path), utf16File(u"😀Zürich, Zürich\r\nZürichisch", big, "\x01"));
            // Each at the place of the inserted text in the changed file.
            std::vector<std::int64_t> offsets;
            for (const HitRecord& hit : fixture.hits()) offsets.push_back(hit.position);
            EXPECT_EQ(offsets, (std::vector<std::int64_t>{6, 22, 38}));
        }
    }
}

TEST(Utf16Replace, MarkedHitsAreCheckedAsCharacters)
{
    TempTree tree;
    const std::string path = tree.write("f.txt", utf16File(u"Köln und KÖLN und Köln", false));
    SearchJob job = TestJob();
    job.makeBackup = 0;
    ReplaceFixture fixture(job, "köln", "");
    RunSearch(fixture.run(), tree.root());
    std::vector<ItemHandle> hits;
    const ItemHandle file = fixture.results().FirstTopLevelItem();
    for (ItemHandle hit = fixture.results().FirstChild(file); hit != kNoItem; hit = fixture.results().NextSibling(hit))
        hits.push_back(hit);
    ASSERT_EQ(hits.size(), 3u);
    // The first and the last; the last moves by the change in bytes.
    fixture.results().SetChecked(hits[0], true);
    fixture.results().SetChecked(hits[2], true);
    fixture.setReplacement("Düsseldorf");
    EXPECT_TRUE(ReplaceSelected(fixture.run()));
    EXPECT_TRUE(fixture.errors().empty());
    EXPECT_EQ(ReadFile(path), utf16File(u"Düsseldorf und KÖLN und Düsseldorf", false));
}

}  // namespace tarnwick::test
