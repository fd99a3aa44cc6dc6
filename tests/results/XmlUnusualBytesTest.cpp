// Values that XML 1.0 cannot hold as they are (bytes that are no character
// of the code page, control characters, line ends in attributes): the
// document stays well-formed and reads back byte for byte.
#include "platform/CodePage.h"
#include "results/XmlCharacters.h"
#include "results/XmlDocument.h"
#include "tests/support/TempTree.h"
#include "tests/support/Xmllint.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarnwick {
namespace {

const CodePage& utf8()
{
    static const CodePage page("UTF-8");
    return page;
}

// Values a file name or a context line may hold.
std::vector<std::string> awkwardValues()
{
    std::vector<std::string> values;
    for (int b = 0; b < 256; ++b) values.push_back("a" + std::string(1, static_cast<char>(b)) + "z");
    std::string everyByte;
    for (int b = 0; b < 256; ++b) everyByte.push_back(static_cast<char>(b));
    values.push_back(everyByte);
    values.push_back("\x1B[31mFEHLER\x1B[0m Platte \x01 voll");  // a coloured log line
    values.push_back("/t/\xFF\xFE.log");
    values.push_back("zeile\nneu\r\n\ttab\rende");
    values.push_back(
        "\xC0\xAF \xE0\x80\xAF \xED\xA0\x80 \xEF\xBF\xBE \xEF\xBF\xBF \xF4\x90\x80\x80");  // overlong, surrogate, non-characters
    values.push_back("\xE2\x82 \xF0\x9F\x98");  // cut-off sequences
    values.push_back("\xF0\x9F\x98\x80 \xEF\xBF\xBD \xC3\xA4 \x7F");  // characters XML holds
    values.push_back("C:\\x41\\\\ \\xZZ \\");  // what looks like the raw form
    return values;
}

TEST(XmlUnusualBytes, NameAndContextOfALogFileGetReplacementsAndRawCompanions)
{
    CXmlDocument doc(utf8());
    doc.AddElement("DATEI");
    doc.SetAttribute(doc.CurrentElement(), "pfad", "/t/\xFF\xFE.log");
    doc.EnterElement();
    doc.AddElement("GEFUNDEN", "\x1B[31mFEHLER\x1B[0m \\ \x01");
    doc.SetAttribute(doc.CurrentElement(), "pos", "4");
    doc.AddElement("GEFUNDEN", "a\tb");
    doc.SetAttribute(doc.CurrentElement(), "pfad", "zeile\nneu\r\tx");
    EXPECT_EQ(doc.GetDocumentText(),
              "<DATEI pfad=\"/t/\xEF\xBF\xBD\xEF\xBF\xBD.log\" pfad_roh=\"/t/\\xFF\\xFE.log\">\r\n"
              "<GEFUNDEN roh=\"\\x1B[31mFEHLER\\x1B[0m \\x5C \\x01\" pos=\"4\">"
              "\xEF\xBF\xBD[31mFEHLER\xEF\xBF\xBD[0m \\ \xEF\xBF\xBD</GEFUNDEN>\r\n"
              "<GEFUNDEN pfad=\"zeile&#10;neu&#13;&#9;x\">a\tb</GEFUNDEN>\r\n"
              "</DATEI>\r\n");
}

TEST(XmlUnusualBytes, EveryValueReadsBackExactlyThroughTheOwnReaderAndAConformingParser)
{
    test::TempTree tree;
    for (const char* name : {"UTF-8", "ISO-8859-1", "CP1252"}) {
        SCOPED_TRACE(name);
        const CodePage codePage(name);
        CXmlDocument doc(codePage);
        doc.AddElement("R");
        doc.EnterElement();
        const std::vector<std::string> values = awkwardValues();
        for (const std::string& value : values) {
            doc.AddElement("V", value);
            doc.SetAttribute(doc.CurrentElement(), "a", value);
        }
        const std::string path = tree.path(std::string(name) + ".xml");
        ASSERT_TRUE(doc.SaveToFile(path));

        CXmlDocument copy(codePage);
        ASSERT_TRUE(copy.LoadFromFile(path)) << copy.GetLastError();
        ASSERT_TRUE(copy.FindElement("R"));
        for (const std::string& value : values) {
            ASSERT_TRUE(copy.FindChildElement("V"));
            EXPECT_EQ(copy.GetElementText(copy.CurrentChild()), value);
            EXPECT_EQ(copy.GetAttribute(copy.CurrentChild(), "a"), value);
        }
        if (test::HasXmllint()) {
            EXPECT_EQ(test::XmllintComplaints(path), "");
        }
    }
    if (!test::HasXmllint()) GTEST_SKIP() << "xmllint (libxml2-utils) is not installed";
}

TEST(XmlUnusualBytes, AValueSetAgainKeepsOneCompanionOrNone)
{
    CXmlDocument doc(utf8());
    doc.AddElement("R");
    const int r = doc.CurrentElement();
    doc.SetAttribute(r, "p", "\xFF");
    doc.SetAttribute(r, "q", "1");
    doc.SetAttribute(r, "p", "\x01\x02");
    EXPECT_EQ(doc.GetDocumentText(), "<R p=\"\xEF\xBF\xBD\xEF\xBF\xBD\" p_roh=\"\\x01\\x02\" q=\"1\"/>\r\n");
    EXPECT_EQ(doc.GetAttribute(r, "p"), "\x01\x02");
    doc.SetAttribute(r, "p", "gut");
    EXPECT_EQ(doc.GetDocumentText(), "<R p=\"gut\" q=\"1\"/>\r\n");
    EXPECT_EQ(doc.GetAttribute(r, "p"), "gut");
    // The children after the start tag keep their places.
    doc.EnterElement();
    doc.AddElement("C", "x");
    doc.SetAttribute(r, "p", "\x1B");
    doc.SetAttribute(r, "p", "ok");
    EXPECT_EQ(doc.GetDocumentText(), "<R p=\"ok\" q=\"1\">\r\n<C>x</C>\r\n</R>\r\n");
    EXPECT_EQ(doc.GetElementText(doc.CurrentElement()), "x");
}

TEST(XmlUnusualBytes, OnlyANonUtf8DocumentWithNonAsciiBytesDeclaresItsEncoding)
{
    const CodePage latin9("ISO-8859-15");
    CXmlDocument ascii(latin9);
    ascii.AddElement("R", "plain");
    EXPECT_EQ(ascii.composeFileContents(), "<R>plain</R>\r\n");
    CXmlDocument umlauts(latin9);
    umlauts.AddElement("R", "\xE4\xA4");
    EXPECT_EQ(umlauts.composeFileContents(), "<?xml version=\"1.0\" encoding=\"ISO-8859-15\"?>\r\n<R>\xE4\xA4</R>\r\n");
    CXmlDocument utf(utf8());
    utf.AddElement("R", "\xC3\xA4");
    EXPECT_EQ(utf.composeFileContents(), "<R>\xC3\xA4</R>\r\n");
}

TEST(XmlCharacters, RawFormEscapesOnlyWhatXmlCannotHoldAndBackslashes)
{
    const XmlCharacters characters(utf8());
    EXPECT_EQ(characters.encodeRaw("a\\b\xFF\x1B\t\xC3\xA4"), "a\\x5Cb\\xFF\\x1B\t\xC3\xA4");
    EXPECT_EQ(XmlCharacters::decodeRaw("a\\x5Cb\\xff\\x1B\t"), "a\\b\xFF\x1B\t");
    // A backslash that does not begin a whole \xNN stays.
    EXPECT_EQ(XmlCharacters::decodeRaw("\\ \\x \\x4 \\xG1 \\x41"), "\\ \\x \\x4 \\xG1 A");
    // In CP1252 the bytes it leaves undefined cannot stand; its C1-range letters can.
    const CodePage cp1252("CP1252");
    const XmlCharacters windows(cp1252);
    EXPECT_EQ(windows.encodeRaw("\x80\x81\x8D\xE4\x1F"), "\x80\\x81\\x8D\xE4\\x1F");
    EXPECT_EQ(windows.replacement(), "&#xFFFD;");
}

}  // namespace
}  // namespace tarnwick
