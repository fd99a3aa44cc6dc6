#pragma once
// The text-level pieces of CXmlDocument: escaping on output, entity decoding
// on input, and the tokenizer its parser and attribute lookup share.
// Byte strings in the system code page; every delimiter is ASCII, so bytes of
// multi-byte characters (all >= 0x80 in UTF-8) are never mistaken for one.
#include <cstddef>
#include <string>
#include <string_view>

namespace tarnwick {

class XmlCharacters;

// Appends `text` as element text: '<', '&', '>' escaped, CR as "&#13;" (a
// parser reads a literal CR as LF), and each byte that cannot stand in XML
// replaced by `characters.replacement()`.
void AppendEscapedXmlText(std::string& out, std::string_view text, const XmlCharacters& characters);
// Appends `value` as an attribute value: as element text, and '\'' and '"'
// escaped, TAB, LF and CR as "&#9;", "&#10;" and "&#13;" (a parser reads
// them literally as spaces).
void AppendEscapedXmlAttribute(std::string& out, std::string_view value, const XmlCharacters& characters);
// Decodes exactly "&lt;", "&amp;", "&gt;", "&apos;", "&quot;" and the three
// character references the escaping writes, "&#9;", "&#10;" and "&#13;";
// any other ampersand (other numeric references included) stays as it is.
std::string DecodeXmlEntities(std::string_view text);

// One token of a tag: a quoted string (single or double quotes) or a run of
// characters up to white space or one of "<>=\/?!"; such a delimiter on its
// own is a token of one character.
struct XmlToken {
    std::size_t begin = 0;  // first byte (the opening quote of a string)
    std::size_t end = 0;  // one past the last byte (past the closing quote)
    std::size_t valueBegin = 0;  // a string's contents; the token itself otherwise
    std::size_t valueEnd = 0;
    bool quoted = false;

    std::size_t length() const { return end - begin; }
};

bool IsXmlSpace(char c);
bool IsXmlDelimiter(char c);

// Finds the token at or after `from` (white space skipped). False at the end
// of the text. A string without its closing quote runs to the end.
bool FindXmlToken(std::string_view text, std::size_t from, XmlToken& token);

}  // namespace tarnwick
