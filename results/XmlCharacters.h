#pragma once
// Which bytes of a code-page string can stand in an XML 1.0 document, and
// the raw form that keeps the exact bytes of a value that holds others.
//
// A byte cannot stand in XML when it is no character of the code page (a
// byte of a broken UTF-8 sequence, an undefined byte of a single-byte code
// page) or when it is a character XML 1.0 does not allow: a control
// character other than TAB, LF and CR, U+FFFE or U+FFFF. File names and file
// contents may hold any of these; a parser refuses a document holding one.
//
// The raw form of a value is the value with each such byte, and each
// backslash, written as "\xNN" (two upper-case hexadecimal digits); every
// other byte stays as it is. It holds only characters XML allows.
//
// Immutable after construction; may be shared by threads.
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace tarnwick {

class CodePage;

class XmlCharacters {
public:
    explicit XmlCharacters(const CodePage& codePage);

    // Length in bytes of the character at `pos` when XML can hold it; 0 when
    // the byte at `pos` cannot stand in XML.
    std::size_t characterLength(std::string_view text, std::size_t pos) const;
    // True when every byte of `text` can stand in XML.
    bool canHold(std::string_view text) const;
    // What stands in the document for a byte that cannot: U+FFFD in UTF-8,
    // its character reference in any other code page.
    std::string_view replacement() const;

    // The raw form of `value` (see above), and back. Decoding keeps a
    // backslash that does not begin "\x" and two hexadecimal digits.
    std::string encodeRaw(std::string_view value) const;
    static std::string decodeRaw(std::string_view raw);

private:
    bool m_utf8 = true;
    std::array<bool, 256> m_byteAllowed{};  // single-byte code pages only
};

}  // namespace tarnwick
