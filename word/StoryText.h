#pragma once
// A document's main story as a sequence of character positions, one per
// UTF-16 unit, each with its kind and flags, and the visible projection that
// Range.Text returns and that Find compares against. Built by a format
// reader (.docx, .odt, .rtf); plain data, not thread-safe.
#include <cstdint>
#include <string>
#include <vector>

namespace tarnwick::word {

enum class UnitKind : std::uint8_t {
    Text,
    ParagraphEnd,  // \r
    SectionEnd,    // \f
    CellEnd,       // 0x07, reads as "\r\a"
    RowEnd,        // 0x07, reads as "\r\a"
    Tab,           // \t
    LineBreak,     // \v
    PageBreak,     // \f
    ColumnBreak,   // 0x0E
    FieldBegin,    // 0x13
    FieldSeparator,  // 0x14
    FieldEnd,      // 0x15
    Anchor,        // footnote 0x02, comment 0x05, inline object 0x01, floating 0x08
    Symbol,        // reads as "("
};

enum UnitFlag : std::uint8_t {
    kFieldCode = 1,      // part of a field's code: not visible
    kHidden = 2,         // hidden text: not visible
    kDeleted = 4,        // tracked deletion: visible, never replaced
    kInFieldResult = 8,  // a field's result: visible, never replaced
};

struct Unit {
    char16_t value = 0;
    UnitKind kind = UnitKind::Text;
    std::uint8_t flags = 0;
    // Where the unit came from, for the format that wrote it (a node id and
    // an offset, or a byte span); opaque to everyone else.
    std::uint32_t source = 0;
    std::uint32_t offset = 0;

    bool visible() const { return !(flags & (kFieldCode | kHidden)); }
};

// Turns the paragraph mark at `index` (the last one of a table cell) into the
// cell's mark. False when the cell had no paragraph mark (index < 0).
inline bool MakeCellMark(std::vector<Unit>& units, std::int64_t index)
{
    if (index < 0) return false;
    Unit& mark = units[static_cast<std::size_t>(index)];
    mark.kind = UnitKind::CellEnd;
    mark.value = 0x07;
    return true;
}

class StoryText {
public:
    std::vector<Unit>& units() { return m_units; }
    const std::vector<Unit>& units() const { return m_units; }
    std::int64_t size() const { return static_cast<std::int64_t>(m_units.size()); }

    // Rebuilds the visible projection after the units changed.
    void index();

    // The visible text and, for each of its UTF-16 units, the position of
    // the story unit it stands for (a cell mark stands for two: "\r\a").
    const std::u16string& visibleText() const { return m_visible; }
    const std::vector<std::int32_t>& visiblePositions() const { return m_positions; }
    // The index in the visible text of the first visible unit at or after `position`.
    std::int64_t visibleIndexAt(std::int64_t position) const;

    // The visible text of the story units [start, end).
    std::u16string textOf(std::int64_t start, std::int64_t end) const;

private:
    std::vector<Unit> m_units;
    std::u16string m_visible;
    // 32-bit on purpose: a story of tens of millions of characters keeps these
    // two tables at half the size.
    std::vector<std::int32_t> m_positions;
    std::vector<std::int32_t> m_firstVisibleAt;  // per unit: visible index of the first visible unit at or after it
};

}  // namespace tarnwick::word
