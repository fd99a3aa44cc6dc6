#include "platform/CodePage.h"

#include <gtest/gtest.h>

#include <random>

namespace tarnwick {
namespace {

const CodePage& Utf8Page()
{
    static const CodePage page("UTF-8");
    return page;
}

const CodePage& Latin1Page()
{
    static const CodePage page("ISO-8859-1");
    return page;
}

}  // namespace

TEST(CodePage, NamesThatAreNotSingleByteCharsetsMeanUtf8)
{
    EXPECT_TRUE(CodePage("UTF-8").isUtf8());
    EXPECT_TRUE(CodePage("ANSI_X3.4-1968").isUtf8());  // the C locale
    EXPECT_TRUE(CodePage("no-such-charset").isUtf8());
    EXPECT_FALSE(Latin1Page().isUtf8());
}

TEST(CodePage, FoldCaseUnderUtf8)
{
    const CodePage& page = Utf8Page();
    // Every ASCII byte, at every alignment of the eight-byte fast path.
    std::string ascii;
    for (int b = 0; b < 128; ++b) ascii.push_back(static_cast<char>(b));
    for (std::size_t shift = 0; shift < 8; ++shift) {
        const std::string in = std::string(shift, '#') + ascii;
        const std::string out = page.lower(in);
        for (std::size_t i = 0; i < in.size(); ++i) {
            const char c = in[i];
            EXPECT_EQ(out[i], (c >= 'A' && c <= 'Z') ? c + 32 : c) << "byte " << int(c);
        }
    }
    EXPECT_EQ(page.lower("ÄÖÜÀÞ×ß ŽŁ ΣΆ ЖЁЇ Ա ABC"), "äöüàþ×ß žł σά жёї ա abc");
    // A capital split from its second byte, or a lone second byte, stays.
    EXPECT_EQ(page.lower("\xC3"
                         "A\x84"
                         "B"),
              "\xC3"
              "a\x84"
              "b");

    // Every two-byte character folds to a two-byte character, and folding
    // twice changes nothing more.
    for (std::uint32_t cp = 0x80; cp < 0x800; ++cp) {
        const std::string in{static_cast<char>(0xC0 | (cp >> 6)), static_cast<char>(0x80 | (cp & 0x3F))};
        const std::string once = page.lower(in);
        ASSERT_EQ(once.size(), 2u);
        EXPECT_GE(static_cast<unsigned char>(once[0]), 0xC2) << cp;
        EXPECT_EQ(static_cast<unsigned char>(once[1]) & 0xC0, 0x80) << cp;
        EXPECT_EQ(page.lower(once), once) << cp;
    }
}

TEST(CodePage, FoldCaseUnderSingleByteCharset)
{
    EXPECT_EQ(Latin1Page().lower("\xC4\xD6\xDC\xDE\xD7\xDF\xE4 ABC"), "\xE4\xF6\xFC\xFE\xD7\xDF\xE4 abc");
}

TEST(CodePage, Conversions)
{
    const struct {
        const char* name;
        std::string utf8;
        std::string utf8Page;  // utf8ToAnsi under UTF-8
        std::string latin1;  // utf8ToAnsi under ISO-8859-1
    } rows[] = {
        {"ASCII", "abc", "abc", "abc"},
        {"two bytes", "\xC3\xA4\xC3\x9F", "\xC3\xA4\xC3\x9F", "\xE4\xDF"},
        {"three bytes", "\xE2\x82\xAC", "\xE2\x82\xAC", "?"},  // no Latin-1 form
        {"NUL", std::string("a\0b", 3), std::string("a\0b", 3), std::string("a\0b", 3)},
        {"lone continuation byte",
         "a\x80"
         "b",
         "a?b", "a?b"},
        {"overlong", "\xC0\x80\xE0\x80\x80", "??", "??"},
        {"surrogate", "\xED\xA0\x80", "?", "?"},
        {"above U+FFFF", "\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80", "?"},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", "?", "?"},
        {"lead byte F8",
         "\xF8"
         "a",
         "?a", "?a"},
        {"broken sequence resumes at the breaking byte",
         "\xC3"
         "A\xE2\x82",
         "?A?", "?A?"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(Utf8Page().utf8ToAnsi(row.utf8), row.utf8Page);
        EXPECT_EQ(Latin1Page().utf8ToAnsi(row.utf8), row.latin1);
    }
    EXPECT_EQ(Utf8Page().ansiToUtf8("\xE4\x80"), "\xE4\x80");  // unchanged
    EXPECT_EQ(Latin1Page().ansiToUtf8("a\xE4\xFF"), "a\xC3\xA4\xC3\xBF");
    std::string all;
    for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
    EXPECT_EQ(Latin1Page().utf8ToAnsi(Latin1Page().ansiToUtf8(all)), all);
}

TEST(CodePage, ConvertedLengthMatchesConversion)
{
    std::mt19937 random(99);
    const unsigned char pieces[] = {'a', 0x80, 0xBF, 0xC3, 0xA4, 0xE2, 0x82, 0xAC, 0xF0, 0x9F, 0xED, 0xA0, 0xFF, 0};
    for (int round = 0; round < 500; ++round) {
        std::string text;
        const std::size_t length = random() % 24;
        for (std::size_t i = 0; i < length; ++i) text.push_back(static_cast<char>(pieces[random() % sizeof pieces]));
        for (const CodePage* page : {&Utf8Page(), &Latin1Page()})
            ASSERT_EQ(page->utf8ToAnsiLength(text), page->utf8ToAnsi(text).size()) << page->name() << " round " << round;
    }
}

}  // namespace tarnwick
