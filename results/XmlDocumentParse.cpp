// The reading side of CXmlDocument: builds the element table from a text.
#include "results/XmlDocument.h"

#include "results/XmlText.h"

namespace tarnwick {
namespace {

// Whether an end-tag token names `name`: the token must be the start of the
// name, followed by the name's end or one of " =/[".
bool endTagMatches(std::string_view token, std::string_view name)
{
    if (!name.starts_with(token)) return false;
    if (name.size() == token.size()) return true;
    const char next = name[token.size()];
    return next == ' ' || next == '=' || next == '/' || next == '[';
}

}  // namespace

bool CXmlDocument::fail(std::string message)
{
    m_lastError = std::move(message);
    resetTable(8);
    return false;
}

bool CXmlDocument::skipNode(std::size_t tokenBegin, std::size_t& next) const
{
    const std::string_view text(m_text);
    const std::size_t from = tokenBegin + 1;
    std::string_view terminator;
    if (text[tokenBegin] == '?') {
        terminator = "?>";
    } else if (from < text.size() && text[from] == '-') {
        terminator = "-->";
    } else if (from < text.size() && text[from] == '[') {
        terminator = "]]>";
    } else {
        // A declaration: up to the '>' outside square brackets.
        std::size_t depth = 0;
        for (std::size_t i = from; i < text.size(); ++i) {
            if (text[i] == '[') {
                ++depth;
            } else if (text[i] == ']') {
                if (depth > 0) --depth;
            } else if (text[i] == '>' && depth == 0) {
                next = i + 1;
                return true;
            }
        }
        return false;
    }
    const std::size_t end = text.find(terminator, from);
    if (end == std::string_view::npos) return false;
    next = end + terminator.size();
    return true;
}

// Scans the text once from the front, with an explicit stack of the open
// elements so that deep nesting cannot exhaust the call stack. The first
// element is the root; whatever follows it is ignored.
bool CXmlDocument::parse()
{
    const std::string_view text(m_text);
    std::vector<int> open;
    std::size_t pos = 0;
    for (;;) {
        const std::size_t left = text.find('<', pos);
        if (left == std::string_view::npos) {
            if (open.empty()) return fail("Element tag not found");
            return fail("End tag of " + std::string(tagName(open.back())) + " element not found");
        }
        XmlToken token;
        if (!FindXmlToken(text, left + 1, token)) return fail("Abrupt end within tag");
        if (token.quoted) return fail("Tag starts with quote");
        const char first = text[token.begin];
        if (first == '!' || first == '?') {
            if (!skipNode(token.begin, pos)) return fail("Invalid node");
            continue;
        }

        if (first == '/') {
            // An end tag before any element: the text holds no element.
            if (open.empty()) return fail({});
            const int element = open.back();
            const std::string name(tagName(element));
            XmlToken nameToken;
            if (!FindXmlToken(text, token.end, nameToken)) return fail("End tag not completed for element " + name);
            if (nameToken.quoted || !endTagMatches(text.substr(nameToken.begin, nameToken.length()), name))
                return fail("End tag does not correspond to " + name);
            XmlToken close = nameToken;
            bool closed = false;
            while (FindXmlToken(text, close.end, close)) {
                if (!close.quoted && text[close.begin] == '>') {
                    closed = true;
                    break;
                }
            }
            if (!closed) return fail("End tag not completed for element " + name);
            Entry& entry = m_entries[static_cast<std::size_t>(element)];
            entry.endLeft = left;
            entry.endRight = close.begin;
            open.pop_back();
            if (open.empty()) return true;
            pos = close.begin + 1;
            continue;
        }

        if (token.length() == 1 && IsXmlDelimiter(first)) {
            // "<>", "<=" and the like start neither an element nor a node.
            if (open.empty()) return fail("Element tag not found");
            return fail("Expecting end tag of element " + std::string(tagName(open.back())));
        }

        const std::size_t right = text.find('>', token.end);
        if (right == std::string_view::npos) return fail("End of tag not found");
        const int parent = open.empty() ? 0 : open.back();
        const int element = newEntry(parent);
        linkAfter(element, 0, parent);
        Entry& entry = m_entries[static_cast<std::size_t>(element)];
        entry.startLeft = left;
        entry.startRight = right;
        pos = right + 1;
        if (text[right - 1] == '/') {
            entry.endLeft = right - 1;
            entry.endRight = right;
            if (open.empty()) return true;
        } else {
            open.push_back(element);
        }
    }
}

}  // namespace tarnwick
