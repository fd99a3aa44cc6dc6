#include "engine/content/ContentSearch.h"
#include "tests/engine/match/SearchTester.h"
#include "tests/support/TempTree.h"
#include "tests/support/Utf16Bytes.h"

#include <gtest/gtest.h>

namespace tarnwick::test {
TEST(Utf16Search, FindsCharactersAtByteOffsetsOfTheFile)
{
    const struct {
        const char* name;
        std::u16string text;
        std::string tail;
        std::string search;
        unsigned options;
        std::vector<std::int64_t> offsets;  // of hits of `length` bytes
        std::int64_t length;
    } rows[] = {
        {"no hit", u"Stadt Bonn am Rhein\n", "", "Köln", 0, {}, 8},
        {"umlaut without case", u"Köln\nKÖLN und köln\n", "", "köln", 0, {2, 12, 30}, 8},
        {"with case", u"Köln\nKÖLN und köln\n", "", "Köln", MatchCase, {2}, 8},
        {"ASCII without case", u"Rhein RHEIN rhein", "", "rhein", 0, {2, 14, 26}, 10},
        {"a pair before the hit counts two units", u"😀😀 Köln", "", "köln", 0, {12}, 8},
        {"odd byte count: the last byte is no unit", u"ab Köln", "\x4B", "köln", 0, {8}, 8},
        {"bytes of two neighbouring units are no hit", u"\u6141\u6200\u2000\u4100\u6100\u6241 ab", "", "ab", MatchCase, {16}, 4},
        {"whole words on characters", u"Kölner Köln xKöln öKöln", "", "köln", WholeWords, {16}, 8},
        {"a pair next to a hit is a word character", u"Köln😀 Köln", "", "köln", WholeWords, {16}, 8},
        {"expression on characters", u"Kaln Köln", "", "K.ln", Regex, {2, 12}, 8},
        {"a pair is one character of an expression", u"K😀ln", "", "K.ln", Regex, {2}, 10},
        {"expression without case", u"KÖLN", "", "köln", Regex, {2}, 8},
        {"line start after a line end", u"ab\nab", "", "^ab", Regex, {2, 8}, 4},
        {"only lines that hold the literal", u"Ziel\nZielwort\nx ZIELhaus", "", "Ziel\\w", Regex, {12, 34}, 10},
    };
    for (const auto& row : rows) {
        for (const bool big : {false, true}) {
            // Read whole and in chunks small enough to cut pairs and hits.
            for (const std::uint32_t split : {0u, 12u, 14u, 64u}) {
                SCOPED_TRACE(::testing::Message()
                             << row.name << (big ? ", big-endian" : ", little-endian") << ", split " << split);
                SearchJob job = JobFor(row.options);
                if (split) job.splitLength = split;
                job.splitMaxOffset = 8;
                const auto hits = SearchBytes(utf16File(row.text, big, row.tail), row.search, job);
                std::vector<std::int64_t> offsets;
                for (const HitRecord& hit : hits) {
                    offsets.push_back(hit.position);
                    EXPECT_EQ(hit.length, row.length);
                }
                EXPECT_EQ(offsets, row.offsets);
            }
        }
    }
}

TEST(Utf16Search, ContextsAreTextOfTheCodePage)
{
    const std::string file = utf16File(u"Erste Zeile\r\nWir fahren nach Köln\r\nZ", false);
    // The context is the hit's line, without the units' NUL bytes.
    const auto hits = SearchBytes(file, "köln", JobFor(0));
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(hits[0].context, "Wir fahren nach Köln");
    EXPECT_EQ(hits[0].highlightStart, 16);
    EXPECT_EQ(hits[0].highlightLength, 5);  // bytes of the UTF-8 code page

    // Under a single-byte code page the typed text and the context are of
    // that code page.
    static const CodePage latin1("ISO-8859-1");
    const auto latin = SearchBytes(file, "K\xF6ln", JobFor(MatchCase), latin1);
    ASSERT_EQ(latin.size(), 1u);
    EXPECT_EQ(latin[0].context, "Wir fahren nach K\xF6ln");
    EXPECT_EQ(latin[0].highlightLength, 4);
}

}  // namespace tarnwick::test
