#pragma once
// One XML part of a package, parsed so that writing it back changes as few
// bytes as pugixml allows: whitespace-only text, comments, processing
// instructions and the declaration (with its encoding and standalone
// attributes) are kept, nothing is indented, and the part is written in the
// encoding it was read in, with a byte-order mark if it had one.
#include <string>
#include <string_view>

#include <pugixml.hpp>

namespace tarnwick::word {

class XmlPart {
public:
    // Parses `bytes`. Throws ServerError (kErrorDamaged) naming `partName`
    // when the part is not well-formed or nested deeper than the readers
    // walk, so that no reader can run out of stack on a crafted file.
    void load(std::string_view bytes, const std::string& partName);

    pugi::xml_document& document() { return m_document; }
    const pugi::xml_document& document() const { return m_document; }

    std::string serialize() const;

    static constexpr int kMaxDepth = 1000;

private:
    pugi::xml_document m_document;
    pugi::xml_encoding m_encoding = pugi::encoding_utf8;
    bool m_byteOrderMark = false;
};

}  // namespace tarnwick::word
