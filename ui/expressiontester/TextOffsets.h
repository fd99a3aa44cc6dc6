#pragma once
// Between the byte positions of a text in the code page, which the engine
// reports, and the positions of the QString it was converted from, which
// the widgets show. Each character counts as the bytes it converts to, so
// that a character the code page cannot hold (one '?') still lines up.
#include <QString>

#include <cstdint>
#include <string>
#include <vector>

namespace tarnwick {
class CodePage;
}

namespace tarnwick::ui {

class TextOffsets {
public:
    TextOffsets(const QString& text, const CodePage& codePage);

    // The text in the code page.
    const std::string& bytes() const { return m_bytes; }
    // The QString position of the character that holds `byte`; the end for
    // the end of the text or beyond.
    int unitOf(std::int64_t byte) const;
    // The byte position of the character at QString position `unit`.
    std::int64_t byteOf(int unit) const;

private:
    std::string m_bytes;
    std::vector<int> m_unitOfByte;  // one per byte, and one for the end
    std::vector<std::int64_t> m_byteOfUnit;  // one per UTF-16 unit, and one for the end
};

}  // namespace tarnwick::ui
