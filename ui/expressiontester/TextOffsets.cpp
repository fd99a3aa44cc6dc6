#include "ui/expressiontester/TextOffsets.h"

#include <algorithm>

#include "platform/CodePage.h"

namespace tarnwick::ui {

TextOffsets::TextOffsets(const QString& text, const CodePage& codePage)
{
    m_byteOfUnit.reserve(static_cast<std::size_t>(text.size()) + 1);
    for (int unit = 0; unit < text.size();) {
        const int units = text.at(unit).isHighSurrogate() && unit + 1 < text.size() ? 2 : 1;
        const QString character = text.mid(unit, units);
        // ASCII is the same in every code page the program runs with.
        const std::string converted =
            character.at(0).unicode() < 0x80 ? character.toStdString() : codePage.utf8ToAnsi(character.toStdString());
        for (int i = 0; i < units; ++i) m_byteOfUnit.push_back(static_cast<std::int64_t>(m_bytes.size()));
        for (std::size_t i = 0; i < converted.size(); ++i) m_unitOfByte.push_back(unit);
        m_bytes += converted;
        unit += units;
    }
    m_byteOfUnit.push_back(static_cast<std::int64_t>(m_bytes.size()));
    m_unitOfByte.push_back(static_cast<int>(text.size()));
}

int TextOffsets::unitOf(std::int64_t byte) const
{
    if (byte < 0) return 0;
    return m_unitOfByte[static_cast<std::size_t>(std::min<std::int64_t>(byte, static_cast<std::int64_t>(m_bytes.size())))];
}

std::int64_t TextOffsets::byteOf(int unit) const
{
    if (unit < 0) return 0;
    return m_byteOfUnit[std::min(static_cast<std::size_t>(unit), m_byteOfUnit.size() - 1)];
}

}  // namespace tarnwick::ui
