#pragma once
// A small XML document kept as one text string plus a table of element
// positions into it. Built for writing: elements and attributes are added one
// after the other while a cursor moves in and out of elements, and every
// change is made directly in the text, so the text is the document.
//
// Layout of what it writes: no declaration, no indentation, every element on
// a line of its own, each start tag of an element with children, each end tag
// and each empty or text element followed by CR LF.
//
// Values are bytes of the code page the document is made for, and any bytes
// go in: a value holding bytes that cannot stand in XML 1.0 (XmlCharacters.h)
// is written with U+FFFD for each such byte, and its exact bytes go, in the
// raw form of XmlCharacters, into a companion attribute: "NAME_roh" beside
// the attribute NAME, "roh" on an element for its text. GetAttribute and
// GetElementText read the companion, so a value reads back byte for byte. A
// value XML can hold gets no companion and keeps its plain escaping. A
// document in a code page other than UTF-8 that holds non-ASCII bytes is
// saved with an XML declaration naming its encoding; otherwise there is none.
//
// Cost: an insertion copies only the text after the insertion point and moves
// only the elements after it, so appending at the end of the innermost
// element costs O(depth); building a document top to bottom is linear.
//
// Not thread-safe. Element indices stay valid until the next SetDocumentText.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "results/XmlCharacters.h"

namespace tarnwick {

class CodePage;

// Every operation keeps the name it is documented under (README.md, "Names").
// NOLINTBEGIN(readability-identifier-naming)
class CXmlDocument {
public:
    // A document in the system code page, or in `codePage` (which must
    // outlive the document).
    CXmlDocument();
    explicit CXmlDocument(const CodePage& codePage);

    // Replaces the document with `text` and parses it. An empty text gives an
    // empty document and false. On a parse error GetLastError() holds the
    // message, the text stays and the element table is empty. A text whose
    // first tag is an end tag holds no element: false without a message.
    bool SetDocumentText(std::string_view text);
    const std::string& GetDocumentText() const { return m_text; }
    const std::string& GetLastError() const { return m_lastError; }

    // Adds an element after the current one (asChild = false) or after the
    // current child of the current element (asChild = true); an empty text
    // writes an empty element "<name/>". False (document unchanged) for a
    // second root element, a child without a current element, or an empty name.
    bool AddElement(std::string_view name, std::string_view text = {}, bool asChild = false);
    // The current element becomes the parent, its first child the current one.
    bool EnterElement();
    // The parent becomes the current element. False at the top.
    bool LeaveElement();

    // Sets or replaces an attribute of element `element` (see CurrentElement).
    // New attributes go to the end of the start tag. False when the index is
    // not an element or the cursor is on no element.
    bool SetAttribute(int element, std::string_view name, std::string_view value);
    bool SetIntAttribute(int element, std::string_view name, std::int32_t value);
    bool SetInt64Attribute(int element, std::string_view name, std::int64_t value);
    // The current element's index, 0 when there is none.
    int CurrentElement() const { return m_current; }
    // The current child of the current element, 0 when there is none.
    int CurrentChild() const { return m_child; }

    // The bytes a file of the document holds: the text, after the XML
    // declaration when the code page needs one (see above).
    std::string composeFileContents() const;
    // Writes composeFileContents() (file created or truncated).
    bool SaveToFile(const std::string& path) const;
    // Reads the whole file and parses it; false when it cannot be read.
    bool LoadFromFile(const std::string& path);

    // Moves to the next sibling after the current element (the parent's first
    // child when there is no current element) with that name; any name when
    // `name` is empty.
    bool FindElement(std::string_view name = {});
    // Within the current element, moves the child cursor to the next child
    // with that name (any name when empty).
    bool FindChildElement(std::string_view name = {});
    std::string GetElementName() const;
    // The attribute's value with entity references decoded (from its
    // companion when it has one); empty when absent.
    std::string GetAttribute(int element, std::string_view name) const;
    // The text of an element without child elements, decoded (from its
    // companion when it has one); CDATA contents are returned unchanged.
    std::string GetElementText(int element) const;

private:
    // Offsets into m_text; entry 0 stands for the document itself.
    struct Entry {
        std::size_t startLeft = 0;  // '<' of the start tag
        std::size_t startRight = 0;  // '>' ending the start tag
        std::size_t endLeft = 0;  // '<' of the end tag; the '/' of an empty element
        std::size_t endRight = 0;  // '>' of the end tag
        int parent = 0;
        int firstChild = 0;
        int lastChild = 0;  // so that appending a child needs no walk
        int nextSibling = 0;
    };
    struct AttributeSpot {
        bool found = false;
        std::size_t nameBegin = 0;
        std::size_t begin = 0;  // the value's contents, quotes excluded
        std::size_t end = 0;
        bool quoted = true;
    };

    bool isElement(int index) const { return index > 0 && static_cast<std::size_t>(index) < m_entries.size(); }
    bool isEmptyElement(int index) const;
    std::string_view tagName(int index) const;
    AttributeSpot findAttribute(int index, std::string_view name) const;
    // Sets an attribute to a value that is escaped already.
    void writeAttribute(int element, std::string_view name, std::string_view escaped);
    // Takes an attribute out of the start tag, if it is there.
    void removeAttribute(int element, std::string_view name);
    // Moves the element's own end and everything after its start tag.
    void shiftAfterStartTag(int element, std::ptrdiff_t delta);
    std::string decodedAttribute(int element, std::string_view name) const;
    int newEntry(int parent);
    void linkAfter(int entry, int reference, int parent);
    // Moves every element that lies after `entry` in the text (its later
    // siblings with their subtrees, the ancestors' end tags, and so on up).
    void shiftFollowing(int entry, std::ptrdiff_t delta);
    void shiftSubtree(int entry, std::ptrdiff_t delta);
    void shiftDescendants(int entry, std::ptrdiff_t delta);
    void resetTable(std::size_t capacity);
    bool parse();
    bool skipNode(std::size_t tokenBegin, std::size_t& next) const;
    bool fail(std::string message);

    const CodePage* m_codePage;
    XmlCharacters m_characters;
    std::string m_text;
    std::vector<Entry> m_entries;
    int m_parent = 0;
    int m_current = 0;
    int m_child = 0;
    std::string m_lastError;
};
// NOLINTEND(readability-identifier-naming)

}  // namespace tarnwick
