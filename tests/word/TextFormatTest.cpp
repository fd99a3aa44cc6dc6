// Plain-text files as documents: read in their own encoding, changed, and
// written back byte for byte where nothing was replaced.
#include "word/text/TextFormat.h"

#include "platform/CodePage.h"
#include "tests/word/WordFixtures.h"
#include "word/automation/WordErrors.h"
#include "word/open/OpenDocumentFormat.h"

#include <gtest/gtest.h>

#include <functional>

namespace tarnwick::word {
namespace {

using test::Utf16;
using test::Visible;

std::string utf16File(std::u16string_view text, bool bigEndian)
{
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t u : text) {
        const auto high = static_cast<char>(u >> 8);
        const auto low = static_cast<char>(u & 0xFF);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

// Replaces every visible `find` by `with`, back to front, and saves.
void replaceAll(DocumentFormat& document, std::string_view find, std::string_view with)
{
    const std::u16string needle = Utf16(find);
    const std::u16string text = document.mainStory().visibleText();
    std::vector<std::int64_t> starts;
    for (std::size_t at = text.find(needle); at != std::u16string::npos; at = text.find(needle, at + needle.size()))
        starts.push_back(document.mainStory().positionOfVisible(static_cast<std::int64_t>(at)));
    for (auto start = starts.rbegin(); start != starts.rend(); ++start)
        document.replace(*start, *start + static_cast<std::int64_t>(needle.size()), Utf16(with));
    document.save();
}

}  // namespace

TEST(TextFormat, ReplacesAndSavesInTheFilesOwnEncodingAndLineEnds)
{
    static const CodePage utf8("UTF-8");
    static const CodePage latin1("ISO-8859-1");
    const struct {
        const char* name;
        std::string bytes;
        const CodePage& codePage;
        std::string visible;
        std::string expected;
    } rows[] = {
        {"UTF-8, mixed line ends kept per line", "K\xC3\xB6ln\r\nin K\xC3\xB6ln\nK\xC3\xB6ln\rEnde", utf8,
         "Köln\rin Köln\rKöln\rEnde\r", "Bonn\r\nin Bonn\nBonn\rEnde"},
        {"UTF-8 with its mark", "\xEF\xBB\xBFK\xC3\xB6ln\n", utf8, "Köln\r",
         "\xEF\xBB\xBF"
         "Bonn\n"},
        {"UTF-16 little-endian", utf16File(u"Köln\r\n😀Köln\r\n", false), utf8, "Köln\r😀Köln\r",
         utf16File(u"Bonn\r\n😀Bonn\r\n", false)},
        {"UTF-16 big-endian", utf16File(u"Köln", true), utf8, "Köln\r", utf16File(u"Bonn", true)},
        {"the code page", "K\xF6ln \xE4\r\n", latin1, "Köln ä\r", "Bonn \xE4\r\n"},
        {"no UTF-8: one character per byte", "K\xF6ln \xE4\n", utf8, "Köln ä\r", "Bonn \xE4\n"},
        {"empty", "", utf8, "\r", ""},
    };
    tarnwick::test::TempTree tree;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string path = tree.write("t.txt", row.bytes);
        const std::unique_ptr<TextFormat> document = TextFormat::open(path, row.codePage);
        EXPECT_EQ(Visible(document->mainStory()), row.visible);
        replaceAll(*document, "Köln", "Bonn");
        EXPECT_EQ(tree.read("t.txt"), row.expected);
    }
}

TEST(TextFormat, TextIsADocumentWhateverItsNameButBinaryIsNot)
{
    tarnwick::test::TempTree tree;
    // A text file named like the old binary format is read as text.
    EXPECT_EQ(Visible(OpenDocumentFormat(tree.write("x.doc", "line one\nline two\n"))->mainStory()), "line one\rline two\r");
    // NUL bytes without a UTF-16 mark, other zip packages, UTF-16 of odd
    // length and a UTF-8 mark before bytes that are no UTF-8 are no text.
    for (const std::string& bytes : {std::string("bin\0ary", 7), std::string("PK\x03\x04text", 8), std::string("\xFF\xFEx"),
                                     std::string("\xEF\xBB\xBF\xF6")}) {
        try {
            OpenDocumentFormat(tree.write("y.txt", bytes));
            ADD_FAILURE() << "opened";
        } catch (const ServerError& e) {
            EXPECT_EQ(e.number(), kErrorDamaged);
            EXPECT_EQ(e.description(), "Das Dateiformat wird nicht unterstützt.");
        }
    }

    // A character the file's code page cannot hold is refused; the file stays.
    static const CodePage latin1("ISO-8859-1");
    const std::string path = tree.write("z.txt", "Preis: 5 EUR\n");
    const std::unique_ptr<TextFormat> document = TextFormat::open(path, latin1);
    EXPECT_EQ(test::ErrorNumberOf([&] { document->replace(9, 12, u"€"); }), kErrorRefusedText);
    EXPECT_EQ(Visible(document->mainStory()), "Preis: 5 EUR\r");
    // A line break in a replacement is written as the file's line end.
    document->replace(5, 6, u":\n");
    document->save();
    EXPECT_EQ(tree.read("z.txt"), "Preis:\n 5 EUR\n");
}

}  // namespace tarnwick::word
