#include "results/XmlText.h"

#include "results/XmlCharacters.h"

namespace tarnwick {

namespace {

void appendEscaped(std::string& out, std::string_view text, const XmlCharacters& characters, bool attribute)
{
    std::size_t plain = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        std::string_view entity;
        switch (text[i]) {
        case '<': entity = "&lt;"; break;
        case '&': entity = "&amp;"; break;
        case '>': entity = "&gt;"; break;
        case '\r': entity = "&#13;"; break;
        case '\'': entity = attribute ? "&apos;" : ""; break;
        case '"': entity = attribute ? "&quot;" : ""; break;
        case '\t': entity = attribute ? "&#9;" : ""; break;
        case '\n': entity = attribute ? "&#10;" : ""; break;
        default: break;
        }
        std::size_t length = 1;
        if (entity.empty()) {
            length = characters.characterLength(text, i);
            if (length != 0) {
                i += length;
                continue;
            }
            entity = characters.replacement();
            length = 1;
        }
        out.append(text.substr(plain, i - plain));
        out.append(entity);
        i += length;
        plain = i;
    }
    out.append(text.substr(plain));
}

}  // namespace

void AppendEscapedXmlText(std::string& out, std::string_view text, const XmlCharacters& characters)
{
    appendEscaped(out, text, characters, false);
}

void AppendEscapedXmlAttribute(std::string& out, std::string_view value, const XmlCharacters& characters)
{
    appendEscaped(out, value, characters, true);
}

std::string DecodeXmlEntities(std::string_view text)
{
    struct Entity {
        std::string_view name;  // what follows the ampersand
        char value;
    };
    static constexpr Entity kEntities[] = {
        {"lt;", '<'}, {"amp;", '&'}, {"gt;", '>'}, {"apos;", '\''}, {"quot;", '"'}, {"#9;", '\t'}, {"#10;", '\n'}, {"#13;", '\r'},
    };
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t amp = text.find('&', i);
        if (amp == std::string_view::npos) {
            out.append(text.substr(i));
            break;
        }
        out.append(text.substr(i, amp - i));
        const std::string_view rest = text.substr(amp + 1);
        i = amp + 1;
        char decoded = '&';
        for (const Entity& entity : kEntities) {
            if (rest.starts_with(entity.name)) {
                decoded = entity.value;
                i += entity.name.size();
                break;
            }
        }
        out.push_back(decoded);
    }
    return out;
}

bool IsXmlSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

namespace {

// Looked up per byte of every tag scanned, so a table rather than strchr.
struct DelimiterTable {
    bool isDelimiter[256] = {};
    constexpr DelimiterTable()
    {
        for (unsigned char c : std::string_view(" \t\r\n<>=\\/?!")) isDelimiter[c] = true;
    }
};
constexpr DelimiterTable kDelimiters;

}  // namespace

bool IsXmlDelimiter(char c) { return kDelimiters.isDelimiter[static_cast<unsigned char>(c)]; }

bool FindXmlToken(std::string_view text, std::size_t from, XmlToken& token)
{
    std::size_t pos = from;
    while (pos < text.size() && IsXmlSpace(text[pos])) ++pos;
    if (pos >= text.size()) return false;
    token.begin = pos;
    const char first = text[pos];
    if (first == '"' || first == '\'') {
        token.quoted = true;
        token.valueBegin = pos + 1;
        const std::size_t close = text.find(first, pos + 1);
        token.valueEnd = close == std::string_view::npos ? text.size() : close;
        token.end = close == std::string_view::npos ? text.size() : close + 1;
        return true;
    }
    token.quoted = false;
    std::size_t end = pos;
    while (end < text.size() && !IsXmlDelimiter(text[end])) ++end;
    if (end == pos) ++end;  // a delimiter is a token of its own
    token.end = end;
    token.valueBegin = pos;
    token.valueEnd = end;
    return true;
}

}  // namespace tarnwick
