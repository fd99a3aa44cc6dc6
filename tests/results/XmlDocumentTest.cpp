#include "results/XmlDocument.h"

#include "platform/CodePage.h"
#include "tests/support/TempTree.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

TEST(XmlDocument, FourLineExampleIsWrittenByteExactly)
{
    CXmlDocument doc;
    ASSERT_TRUE(doc.AddElement("XML"));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.AddElement("A", "x"));
    ASSERT_TRUE(doc.AddElement("B"));
    ASSERT_TRUE(doc.SetIntAttribute(doc.CurrentElement(), "k", 1));
    EXPECT_EQ(doc.GetDocumentText(), "<XML>\r\n<A>x</A>\r\n<B k=\"1\"/>\r\n</XML>\r\n");
}

TEST(XmlDocument, EmptyParentOpensUpAndKeepsItsAttributes)
{
    CXmlDocument doc;
    doc.AddElement("R");
    doc.SetAttribute(doc.CurrentElement(), "a", "1");
    doc.SetAttribute(doc.CurrentElement(), "b", "");
    EXPECT_EQ(doc.GetDocumentText(), "<R a=\"1\" b=\"\"/>\r\n");
    doc.EnterElement();
    doc.AddElement("C", "");  // empty text: a single tag, not start and end tag
    EXPECT_EQ(doc.GetDocumentText(), "<R a=\"1\" b=\"\">\r\n<C/>\r\n</R>\r\n");
    doc.EnterElement();
    doc.AddElement("D", "t");
    EXPECT_EQ(doc.GetDocumentText(), "<R a=\"1\" b=\"\">\r\n<C>\r\n<D>t</D>\r\n</C>\r\n</R>\r\n");
}

TEST(XmlDocument, EscapesTextAndAttributeValuesDifferently)
{
    CXmlDocument doc;
    doc.AddElement("R", "a<b&c>d\"e'f \xC3\xA4");
    doc.SetAttribute(doc.CurrentElement(), "v", "a<b&c>d\"e'f \xC3\xA4");
    EXPECT_EQ(doc.GetDocumentText(), "<R v=\"a&lt;b&amp;c&gt;d&quot;e&apos;f \xC3\xA4\">a&lt;b&amp;c&gt;d\"e'f \xC3\xA4</R>\r\n");
    EXPECT_EQ(doc.GetAttribute(doc.CurrentElement(), "v"), "a<b&c>d\"e'f \xC3\xA4");
    EXPECT_EQ(doc.GetElementText(doc.CurrentElement()), "a<b&c>d\"e'f \xC3\xA4");
}

TEST(XmlDocument, AttributesOnAnElementWithChildrenKeepEverythingInPlace)
{
    CXmlDocument doc;
    doc.AddElement("R");
    doc.EnterElement();
    doc.AddElement("P");
    const int p = doc.CurrentElement();
    doc.EnterElement();
    doc.AddElement("C1", "one");
    doc.AddElement("C2");
    doc.LeaveElement();
    doc.AddElement("Q", "after");
    // Set and then replace (longer, shorter) on the element that has children.
    ASSERT_TRUE(doc.SetAttribute(p, "n", "1"));
    ASSERT_TRUE(doc.SetAttribute(p, "m", "x"));
    ASSERT_TRUE(doc.SetAttribute(p, "n", "12345"));
    ASSERT_TRUE(doc.SetAttribute(p, "m", ""));
    // Positions moved by those edits must still be right for further appends.
    doc.LeaveElement();
    doc.EnterElement();
    ASSERT_EQ(doc.CurrentElement(), p);
    doc.EnterElement();
    doc.FindElement("C2");
    doc.AddElement("C3", "three");
    EXPECT_EQ(doc.GetDocumentText(),
              "<R>\r\n<P n=\"12345\" m=\"\">\r\n<C1>one</C1>\r\n<C2/>\r\n<C3>three</C3>\r\n</P>\r\n"
              "<Q>after</Q>\r\n</R>\r\n");
    EXPECT_EQ(doc.GetAttribute(p, "n"), "12345");
    EXPECT_EQ(doc.GetElementText(p), "");  // has children
}

TEST(XmlDocument, AddingAsChildFollowsTheChildCursor)
{
    CXmlDocument doc;
    doc.AddElement("R");
    doc.EnterElement();
    doc.AddElement("P");
    const int p = doc.CurrentElement();
    ASSERT_TRUE(doc.AddElement("A", "1", true));
    const int a = doc.CurrentChild();
    ASSERT_TRUE(doc.AddElement("B", "2", true));
    EXPECT_EQ(doc.CurrentElement(), p);
    // Entering and leaving again leaves the child cursor on the element left.
    doc.EnterElement();
    EXPECT_EQ(doc.CurrentElement(), a);
    doc.LeaveElement();
    EXPECT_EQ(doc.CurrentChild(), a);
    ASSERT_TRUE(doc.AddElement("M", "", true));  // after A, before B
    EXPECT_EQ(doc.GetDocumentText(), "<R>\r\n<P>\r\n<A>1</A>\r\n<M/>\r\n<B>2</B>\r\n</P>\r\n</R>\r\n");
    ASSERT_TRUE(doc.FindChildElement());  // the child cursor goes on from M
    EXPECT_EQ(doc.GetElementText(doc.CurrentChild()), "2");
    EXPECT_FALSE(doc.FindChildElement());
    doc.EnterElement();
    std::string names;
    do names += doc.GetElementName();
    while (doc.FindElement());
    EXPECT_EQ(names, "AMB");
}

TEST(XmlDocument, RefusedOperationsLeaveTheDocumentUnchanged)
{
    CXmlDocument doc;
    EXPECT_FALSE(doc.AddElement("C", "x", true));  // no current element
    EXPECT_FALSE(doc.SetAttribute(1, "a", "b"));
    EXPECT_FALSE(doc.EnterElement());
    EXPECT_FALSE(doc.LeaveElement());
    doc.AddElement("R");
    const std::string before = doc.GetDocumentText();
    EXPECT_FALSE(doc.AddElement("Second"));  // second root
    EXPECT_FALSE(doc.AddElement(""));  // no name
    EXPECT_FALSE(doc.SetAttribute(0, "a", "b"));  // the document is no element
    EXPECT_FALSE(doc.SetAttribute(7, "a", "b"));  // no such element
    EXPECT_EQ(doc.GetDocumentText(), before);
    doc.EnterElement();  // now on no element
    EXPECT_FALSE(doc.SetAttribute(1, "a", "b"));
    EXPECT_EQ(doc.GetDocumentText(), before);
}

TEST(XmlDocument, ParsesAndNavigatesAReadDocument)
{
    const std::string text = "<?xml version=\"1.0\"?>\r\n<!DOCTYPE r [ <!ENTITY e \"x\"> ]>\r\n<!-- c -->"
                             "<r a='1' b = \"x &amp; &lt;y&gt; &apos;&quot; &#65; &bogus;\">\n"
                             "  <item name=\"one\">t &amp; u</item>\n"
                             "  <!-- between -->\n"
                             "  <item name=\"two\"><![CDATA[<raw> &amp;]]></item>\n"
                             "  <other/>\n"
                             "  <item name=\"three\"> <![CDATA[kept]]> </item>\n"
                             "  <item name=\"four\"></item>\n"
                             "</r  >\ntrailing <junk";
    CXmlDocument doc;
    ASSERT_TRUE(doc.SetDocumentText(text)) << doc.GetLastError();
    EXPECT_TRUE(doc.GetLastError().empty());
    ASSERT_TRUE(doc.FindElement("r"));
    const int r = doc.CurrentElement();
    EXPECT_EQ(doc.GetAttribute(r, "a"), "1");
    EXPECT_EQ(doc.GetAttribute(r, "b"), "x & <y> '\" &#65; &bogus;");
    EXPECT_EQ(doc.GetAttribute(r, "missing"), "");
    EXPECT_EQ(doc.GetElementText(r), "");

    std::vector<std::string> texts;
    while (doc.FindChildElement("item")) texts.push_back(doc.GetElementText(doc.CurrentChild()));
    EXPECT_EQ(texts, (std::vector<std::string>{"t & u", "<raw> &amp;", "kept", ""}));

    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.FindElement("other"));
    EXPECT_EQ(doc.GetElementName(), "other");
    EXPECT_EQ(doc.GetElementText(doc.CurrentElement()), "");  // empty element
    ASSERT_TRUE(doc.FindElement());
    EXPECT_EQ(doc.GetAttribute(doc.CurrentElement(), "name"), "three");
    EXPECT_FALSE(doc.FindElement("other"));
    ASSERT_TRUE(doc.LeaveElement());
    EXPECT_EQ(doc.CurrentElement(), r);
    EXPECT_FALSE(doc.FindElement());  // what follows the root is ignored
}

TEST(XmlDocument, AddsIntoAParsedElementWithNothingBetweenItsTags)
{
    CXmlDocument doc;
    ASSERT_TRUE(doc.SetDocumentText("<r><e a=\"1\"></e></r>"));
    doc.FindElement();
    doc.EnterElement();
    ASSERT_EQ(doc.GetElementName(), "e");
    doc.EnterElement();
    ASSERT_TRUE(doc.AddElement("c", "v"));
    EXPECT_EQ(doc.GetDocumentText(), "<r><e a=\"1\">\r\n<c>v</c>\r\n</e></r>");
    ASSERT_TRUE(doc.AddElement("d"));  // the line end before "</e>" is skipped
    EXPECT_EQ(doc.GetDocumentText(), "<r><e a=\"1\">\r\n<c>v</c>\r\n<d/>\r\n</e></r>");
}

struct ParseFailure {
    const char* text;
    const char* message;
};

TEST(XmlDocument, ParseErrorsNameTheFault)
{
    const ParseFailure cases[] = {
        {"no tags at all", "Element tag not found"},
        {"<!-- only a comment -->", "Element tag not found"},
        {"<  ", "Abrupt end within tag"},
        {"<'a'>", "Tag starts with quote"},
        {"<!-- open", "Invalid node"},
        {"<?xml version", "Invalid node"},
        {"<![CDATA[ open", "Invalid node"},
        {"<!DOCTYPE r [ <!ELEMENT r ANY> > ", "Invalid node"},
        {"<r><!-- open</r>", "Invalid node"},
        {"<r a=\"1\"", "End of tag not found"},
        {"<r>text", "End tag of r element not found"},
        {"<r><c>", "End tag of c element not found"},
        {"<r><=x></r>", "Expecting end tag of element r"},
        {"<a><b></a>", "End tag does not correspond to b"},
        {"<ab></a>", "End tag does not correspond to ab"},
        {"<a></'a'>", "End tag does not correspond to a"},
        {"<a></a", "End tag not completed for element a"},
        {"<a></", "End tag not completed for element a"},
    };
    for (const ParseFailure& c : cases) {
        CXmlDocument doc;
        EXPECT_FALSE(doc.SetDocumentText(c.text)) << c.text;
        EXPECT_EQ(doc.GetLastError(), c.message) << c.text;
        // The text stays; the table is an empty document again.
        EXPECT_EQ(doc.GetDocumentText(), c.text);
        EXPECT_FALSE(doc.FindElement());
    }
}

TEST(XmlDocument, AfterAFailedParseTheRootGoesAtTheEndOfTheText)
{
    CXmlDocument doc;
    EXPECT_FALSE(doc.SetDocumentText("<a>"));
    ASSERT_TRUE(doc.AddElement("R"));
    EXPECT_EQ(doc.GetDocumentText(), "<a><R/>\r\n");
    ASSERT_TRUE(doc.SetDocumentText("<x/>"));
    EXPECT_TRUE(doc.GetLastError().empty());
    EXPECT_FALSE(doc.SetDocumentText(""));
    EXPECT_TRUE(doc.GetLastError().empty());
    EXPECT_FALSE(doc.FindElement());
}

TEST(XmlDocument, EndTagNameMayBeFollowedByAnAttributeSeparator)
{
    // The end tag's token must start the name and end where the name ends or
    // continues with " =/[".
    CXmlDocument doc;
    EXPECT_TRUE(doc.SetDocumentText("<a[1]></a>"));
    EXPECT_FALSE(doc.SetDocumentText("<a1></a>"));
    EXPECT_EQ(doc.GetLastError(), "End tag does not correspond to a1");
}

TEST(XmlDocument, BuiltDocumentReparsesToTheSameValues)
{
    const std::string awkward = " lead & <tag> \"q\" 'a' ]]> &amp; \r\n\t\xE2\x82\xAC end ";
    CXmlDocument doc;
    doc.AddElement("R");
    doc.SetAttribute(doc.CurrentElement(), "v", awkward);
    doc.EnterElement();
    doc.AddElement("T", awkward);
    doc.SetAttribute(doc.CurrentElement(), "w", awkward);

    CXmlDocument copy;
    ASSERT_TRUE(copy.SetDocumentText(doc.GetDocumentText())) << copy.GetLastError();
    ASSERT_TRUE(copy.FindElement("R"));
    EXPECT_EQ(copy.GetAttribute(copy.CurrentElement(), "v"), awkward);
    ASSERT_TRUE(copy.FindChildElement("T"));
    EXPECT_EQ(copy.GetElementText(copy.CurrentChild()), awkward);
    EXPECT_EQ(copy.GetAttribute(copy.CurrentChild(), "w"), awkward);
}

TEST(XmlDocument, SavesAndLoadsBytesUnchanged)
{
    test::TempTree tree;
    const CodePage latin1("ISO-8859-1");
    CXmlDocument doc(latin1);
    doc.AddElement("R", "\xE4\xF6\xFC");  // bytes of a single-byte code page pass through
    const std::string path = tree.path("out.xml");
    ASSERT_TRUE(doc.SaveToFile(path));
    // Under the declaration that tells a parser what they are.
    EXPECT_EQ(test::ReadFile(path), "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n<R>\xE4\xF6\xFC</R>\r\n");
    EXPECT_FALSE(doc.SaveToFile(tree.path("missing/out.xml")));

    CXmlDocument loaded(latin1);
    ASSERT_TRUE(loaded.LoadFromFile(path));
    ASSERT_TRUE(loaded.FindElement("R"));
    EXPECT_EQ(loaded.GetElementText(loaded.CurrentElement()), "\xE4\xF6\xFC");
    EXPECT_FALSE(loaded.LoadFromFile(tree.path("missing.xml")));
}

TEST(XmlDocument, Int64AttributesAreSignedDecimal)
{
    CXmlDocument doc;
    doc.AddElement("R");
    doc.SetInt64Attribute(doc.CurrentElement(), "big", -9'000'000'000'123LL);
    doc.SetIntAttribute(doc.CurrentElement(), "small", -7);
    EXPECT_EQ(doc.GetDocumentText(), "<R big=\"-9000000000123\" small=\"-7\"/>\r\n");
}

}  // namespace
}  // namespace tarnwick
