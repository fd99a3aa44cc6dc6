#include "results/XmlDocument.h"

#include "platform/CodePage.h"
#include "results/ExportFile.h"
#include "results/XmlText.h"

#include <algorithm>

namespace tarnwick {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
// The companions that keep the exact bytes of a value XML cannot hold.
constexpr std::string_view kRawSuffix = "_roh";
constexpr std::string_view kRawText = "roh";

std::string rawCompanionOf(std::string_view attribute) { return std::string(attribute).append(kRawSuffix); }

// The text of a new element with its line end: "<name/>" or "<name>text</name>".
std::string elementText(std::string_view name, std::string_view text, const XmlCharacters& characters)
{
    std::string out;
    out.reserve(name.size() * 2 + text.size() + 8);
    out.push_back('<');
    out.append(name);
    if (text.empty()) {
        out.append("/>");
    } else {
        out.push_back('>');
        AppendEscapedXmlText(out, text, characters);
        out.append("</");
        out.append(name);
        out.push_back('>');
    }
    out.append(kLineEnd);
    return out;
}

std::size_t shifted(std::size_t position, std::ptrdiff_t delta)
{
    return static_cast<std::size_t>(static_cast<std::ptrdiff_t>(position) + delta);
}

}  // namespace

CXmlDocument::CXmlDocument() : CXmlDocument(CodePage::system()) {}

CXmlDocument::CXmlDocument(const CodePage& codePage) : m_codePage(&codePage), m_characters(codePage) { resetTable(8); }

void CXmlDocument::resetTable(std::size_t capacity)
{
    m_entries.clear();
    m_entries.reserve(capacity);
    m_entries.emplace_back();
    m_parent = 0;
    m_current = 0;
    m_child = 0;
}

bool CXmlDocument::SetDocumentText(std::string_view text)
{
    m_text.assign(text);
    m_lastError.clear();
    resetTable(m_text.size() / 64 + 8);
    if (m_text.empty()) return false;
    return parse();
}

bool CXmlDocument::isEmptyElement(int index) const
{
    const Entry& entry = m_entries[static_cast<std::size_t>(index)];
    return entry.startRight == entry.endLeft + 1;
}

std::string_view CXmlDocument::tagName(int index) const
{
    XmlToken token;
    if (!FindXmlToken(m_text, m_entries[static_cast<std::size_t>(index)].startLeft + 1, token) || token.quoted) return {};
    return std::string_view(m_text).substr(token.begin, token.length());
}

int CXmlDocument::newEntry(int parent)
{
    Entry entry;
    entry.parent = parent;
    m_entries.push_back(entry);
    return static_cast<int>(m_entries.size() - 1);
}

void CXmlDocument::linkAfter(int entry, int reference, int parent)
{
    Entry& parentEntry = m_entries[static_cast<std::size_t>(parent)];
    if (reference != 0) {
        Entry& referenceEntry = m_entries[static_cast<std::size_t>(reference)];
        m_entries[static_cast<std::size_t>(entry)].nextSibling = referenceEntry.nextSibling;
        referenceEntry.nextSibling = entry;
        if (parentEntry.lastChild == reference) parentEntry.lastChild = entry;
        return;
    }
    if (parentEntry.lastChild != 0)
        m_entries[static_cast<std::size_t>(parentEntry.lastChild)].nextSibling = entry;
    else
        parentEntry.firstChild = entry;
    parentEntry.lastChild = entry;
}

void CXmlDocument::shiftSubtree(int entry, std::ptrdiff_t delta)
{
    Entry& e = m_entries[static_cast<std::size_t>(entry)];
    e.startLeft = shifted(e.startLeft, delta);
    e.startRight = shifted(e.startRight, delta);
    e.endLeft = shifted(e.endLeft, delta);
    e.endRight = shifted(e.endRight, delta);
    shiftDescendants(entry, delta);
}

void CXmlDocument::shiftDescendants(int entry, std::ptrdiff_t delta)
{
    // Pre-order walk without recursion: documents may nest deeply.
    int node = m_entries[static_cast<std::size_t>(entry)].firstChild;
    while (node != 0) {
        Entry& e = m_entries[static_cast<std::size_t>(node)];
        e.startLeft = shifted(e.startLeft, delta);
        e.startRight = shifted(e.startRight, delta);
        e.endLeft = shifted(e.endLeft, delta);
        e.endRight = shifted(e.endRight, delta);
        if (e.firstChild != 0) {
            node = e.firstChild;
            continue;
        }
        while (node != entry && m_entries[static_cast<std::size_t>(node)].nextSibling == 0)
            node = m_entries[static_cast<std::size_t>(node)].parent;
        if (node == entry) break;
        node = m_entries[static_cast<std::size_t>(node)].nextSibling;
    }
}

void CXmlDocument::shiftFollowing(int entry, std::ptrdiff_t delta)
{
    int node = entry;
    while (node != 0) {
        for (int sibling = m_entries[static_cast<std::size_t>(node)].nextSibling; sibling != 0;
             sibling = m_entries[static_cast<std::size_t>(sibling)].nextSibling)
            shiftSubtree(sibling, delta);
        const int parent = m_entries[static_cast<std::size_t>(node)].parent;
        if (parent == 0) break;
        Entry& p = m_entries[static_cast<std::size_t>(parent)];
        p.endLeft = shifted(p.endLeft, delta);
        p.endRight = shifted(p.endRight, delta);
        node = parent;
    }
}

bool CXmlDocument::AddElement(std::string_view name, std::string_view text, bool asChild)
{
    if (name.empty()) return false;
    int parent = 0;
    int reference = 0;
    if (asChild) {
        if (m_current == 0) return false;
        parent = m_current;
        reference = m_child;
    } else {
        if (m_parent == 0 && m_entries[0].firstChild != 0) return false;
        parent = m_parent;
        reference = m_current;
    }

    const std::string element = elementText(name, text, m_characters);
    // Where the new element's own tags lie, relative to its '<'.
    const std::size_t nameLength = name.size();
    std::size_t relStartRight = nameLength + 2, relEndLeft = nameLength + 1, relEndRight = nameLength + 2;
    if (!text.empty()) {
        relStartRight = nameLength + 1;
        relEndLeft = element.size() - kLineEnd.size() - nameLength - 3;
        relEndRight = element.size() - kLineEnd.size() - 1;
    }

    const int index = newEntry(parent);
    std::size_t start = 0;
    if (parent == 0) {
        // The root element goes at the end of the text.
        start = m_text.size();
        m_text.append(element);
        linkAfter(index, 0, 0);
    } else if (isEmptyElement(parent)) {
        // "<parent/>" opens up: its '/' becomes ">" CR LF child "</parent".
        const std::size_t slash = m_entries[static_cast<std::size_t>(parent)].endLeft;
        std::string insert(">\r\n");
        insert.append(element);
        insert.append("</");
        insert.append(tagName(parent));
        m_text.replace(slash, 1, insert);
        start = slash + 3;
        linkAfter(index, 0, parent);
        Entry& p = m_entries[static_cast<std::size_t>(parent)];
        p.startRight = slash;
        p.endLeft = slash + 3 + element.size();
        p.endRight = slash + insert.size();
        shiftFollowing(parent, static_cast<std::ptrdiff_t>(insert.size()) - 1);
    } else if (m_entries[static_cast<std::size_t>(parent)].startRight + 1 ==
               m_entries[static_cast<std::size_t>(parent)].endLeft) {
        // "<parent></parent>": the child gets a line of its own.
        Entry& p = m_entries[static_cast<std::size_t>(parent)];
        const std::size_t at = p.endLeft;
        m_text.insert(at, std::string(kLineEnd) + element);
        start = at + kLineEnd.size();
        const std::size_t inserted = kLineEnd.size() + element.size();
        p.endLeft += inserted;
        p.endRight += inserted;
        linkAfter(index, 0, parent);
        shiftFollowing(parent, static_cast<std::ptrdiff_t>(inserted));
    } else {
        std::size_t at = reference != 0 ? m_entries[static_cast<std::size_t>(reference)].endRight + 1
                                        : m_entries[static_cast<std::size_t>(parent)].endLeft;
        // Skip the line end after the reference element, so the new element
        // starts a line of its own; text that follows is left in place.
        std::size_t next = at;
        while (next < m_text.size() && IsXmlSpace(m_text[next])) ++next;
        if (next == m_text.size() || m_text[next] == '<') at = next;
        m_text.insert(at, element);
        start = at;
        linkAfter(index, reference, parent);
        shiftFollowing(index, static_cast<std::ptrdiff_t>(element.size()));
    }

    Entry& added = m_entries[static_cast<std::size_t>(index)];
    added.startLeft = start;
    added.startRight = start + relStartRight;
    added.endLeft = start + relEndLeft;
    added.endRight = start + relEndRight;
    if (!m_characters.canHold(text)) {
        std::string raw;
        AppendEscapedXmlAttribute(raw, m_characters.encodeRaw(text), m_characters);
        writeAttribute(index, kRawText, raw);
    }
    if (asChild) {
        m_child = index;
    } else {
        m_current = index;
        m_child = 0;
    }
    return true;
}

bool CXmlDocument::EnterElement()
{
    if (m_current == 0) return false;
    m_parent = m_current;
    m_current = m_entries[static_cast<std::size_t>(m_current)].firstChild;
    m_child = 0;
    return true;
}

bool CXmlDocument::LeaveElement()
{
    if (m_parent == 0) return false;
    m_child = m_current;
    m_current = m_parent;
    m_parent = m_entries[static_cast<std::size_t>(m_parent)].parent;
    return true;
}

CXmlDocument::AttributeSpot CXmlDocument::findAttribute(int index, std::string_view name) const
{
    const Entry& entry = m_entries[static_cast<std::size_t>(index)];
    const std::size_t limit = entry.startRight;
    const std::string_view text(m_text);
    XmlToken token;
    if (!FindXmlToken(text, entry.startLeft + 1, token)) return {};
    std::size_t pos = token.end;  // past the tag name
    while (FindXmlToken(text, pos, token) && token.end <= limit) {
        pos = token.end;
        if (token.quoted) continue;
        if (token.length() == 1 && IsXmlDelimiter(text[token.begin])) {
            if (text[token.begin] == '=') continue;
            break;  // '/', '?' or the like: the attributes are over
        }
        const std::size_t nameBegin = token.begin;
        const std::string_view attributeName = text.substr(token.begin, token.length());
        XmlToken equals;
        if (!FindXmlToken(text, pos, equals) || equals.end > limit || equals.quoted || text[equals.begin] != '=')
            continue;  // an attribute without a value
        XmlToken value;
        if (!FindXmlToken(text, equals.end, value) || value.end > limit) return {};
        if (!value.quoted && value.length() == 1 && IsXmlDelimiter(text[value.begin])) {
            pos = equals.end;
            continue;
        }
        pos = value.end;
        if (attributeName == name) return {true, nameBegin, value.valueBegin, value.valueEnd, value.quoted};
    }
    return {};
}

bool CXmlDocument::SetAttribute(int element, std::string_view name, std::string_view value)
{
    if (!isElement(element) || m_current == 0 || name.empty()) return false;
    std::string escaped;
    AppendEscapedXmlAttribute(escaped, value, m_characters);
    writeAttribute(element, name, escaped);
    if (m_characters.canHold(value)) {
        removeAttribute(element, rawCompanionOf(name));
    } else {
        escaped.clear();
        AppendEscapedXmlAttribute(escaped, m_characters.encodeRaw(value), m_characters);
        writeAttribute(element, rawCompanionOf(name), escaped);
    }
    return true;
}

void CXmlDocument::writeAttribute(int element, std::string_view name, std::string_view escaped)
{
    const AttributeSpot spot = findAttribute(element, name);
    std::ptrdiff_t delta = 0;
    if (spot.found) {
        // A value written without quotes gets them now.
        const std::string value = spot.quoted ? std::string(escaped) : '"' + std::string(escaped) + '"';
        m_text.replace(spot.begin, spot.end - spot.begin, value);
        delta = static_cast<std::ptrdiff_t>(value.size()) - static_cast<std::ptrdiff_t>(spot.end - spot.begin);
    } else {
        std::string insert;
        insert.reserve(name.size() + escaped.size() + 4);
        insert.push_back(' ');
        insert.append(name);
        insert.append("=\"");
        insert.append(escaped);
        insert.push_back('"');
        const Entry& entry = m_entries[static_cast<std::size_t>(element)];
        m_text.insert(isEmptyElement(element) ? entry.endLeft : entry.startRight, insert);
        delta = static_cast<std::ptrdiff_t>(insert.size());
    }
    shiftAfterStartTag(element, delta);
}

void CXmlDocument::removeAttribute(int element, std::string_view name)
{
    const AttributeSpot spot = findAttribute(element, name);
    if (!spot.found) return;
    std::size_t begin = spot.nameBegin;
    while (begin > 0 && IsXmlSpace(m_text[begin - 1])) --begin;
    const std::size_t end = spot.quoted ? spot.end + 1 : spot.end;
    m_text.erase(begin, end - begin);
    shiftAfterStartTag(element, -static_cast<std::ptrdiff_t>(end - begin));
}

void CXmlDocument::shiftAfterStartTag(int element, std::ptrdiff_t delta)
{
    if (delta == 0) return;
    Entry& entry = m_entries[static_cast<std::size_t>(element)];
    entry.startRight = shifted(entry.startRight, delta);
    entry.endLeft = shifted(entry.endLeft, delta);
    entry.endRight = shifted(entry.endRight, delta);
    shiftDescendants(element, delta);
    shiftFollowing(element, delta);
}

bool CXmlDocument::SetIntAttribute(int element, std::string_view name, std::int32_t value)
{
    return SetAttribute(element, name, std::to_string(value));
}

bool CXmlDocument::SetInt64Attribute(int element, std::string_view name, std::int64_t value)
{
    return SetAttribute(element, name, std::to_string(value));
}

std::string CXmlDocument::composeFileContents() const
{
    // Without a declaration a parser reads UTF-8, which ASCII text also is.
    const bool ascii = std::all_of(m_text.begin(), m_text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (m_codePage->isUtf8() || ascii) return m_text;
    return "<?xml version=\"1.0\" encoding=\"" + m_codePage->name() + "\"?>" + std::string(kLineEnd) + m_text;
}

bool CXmlDocument::SaveToFile(const std::string& path) const
{
    ExportFile file;
    if (file.create(path)) return false;
    if (file.write(composeFileContents())) return false;
    return !file.close();
}

bool CXmlDocument::LoadFromFile(const std::string& path)
{
    std::string text;
    if (ReadWholeFile(path, text)) return false;
    return SetDocumentText(text);
}

bool CXmlDocument::FindElement(std::string_view name)
{
    int node = m_current != 0 ? m_entries[static_cast<std::size_t>(m_current)].nextSibling
                              : m_entries[static_cast<std::size_t>(m_parent)].firstChild;
    for (; node != 0; node = m_entries[static_cast<std::size_t>(node)].nextSibling) {
        if (name.empty() || tagName(node) == name) {
            m_current = node;
            m_child = 0;
            return true;
        }
    }
    return false;
}

bool CXmlDocument::FindChildElement(std::string_view name)
{
    if (m_current == 0) return false;
    int node = m_child != 0 ? m_entries[static_cast<std::size_t>(m_child)].nextSibling
                            : m_entries[static_cast<std::size_t>(m_current)].firstChild;
    for (; node != 0; node = m_entries[static_cast<std::size_t>(node)].nextSibling) {
        if (name.empty() || tagName(node) == name) {
            m_child = node;
            return true;
        }
    }
    return false;
}

std::string CXmlDocument::GetElementName() const { return m_current == 0 ? std::string() : std::string(tagName(m_current)); }

std::string CXmlDocument::decodedAttribute(int element, std::string_view name) const
{
    const AttributeSpot spot = findAttribute(element, name);
    if (!spot.found) return {};
    return DecodeXmlEntities(std::string_view(m_text).substr(spot.begin, spot.end - spot.begin));
}

std::string CXmlDocument::GetAttribute(int element, std::string_view name) const
{
    if (!isElement(element) || name.empty()) return {};
    const std::string companion = rawCompanionOf(name);
    if (findAttribute(element, companion).found) return XmlCharacters::decodeRaw(decodedAttribute(element, companion));
    return decodedAttribute(element, name);
}

std::string CXmlDocument::GetElementText(int element) const
{
    if (!isElement(element) || isEmptyElement(element)) return {};
    const Entry& entry = m_entries[static_cast<std::size_t>(element)];
    if (entry.firstChild != 0) return {};
    if (findAttribute(element, kRawText).found) return XmlCharacters::decodeRaw(decodedAttribute(element, kRawText));
    const std::string_view content = std::string_view(m_text).substr(entry.startRight + 1, entry.endLeft - entry.startRight - 1);
    constexpr std::string_view kCdataStart = "<![CDATA[";
    std::size_t first = 0;
    while (first < content.size() && IsXmlSpace(content[first])) ++first;
    if (content.substr(first).starts_with(kCdataStart)) {
        const std::string_view data = content.substr(first + kCdataStart.size());
        return std::string(data.substr(0, data.find("]]>")));
    }
    return DecodeXmlEntities(content);
}

}  // namespace tarnwick
