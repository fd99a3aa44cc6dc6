#pragma once
// A document's main story as a sequence of character positions, one per
// UTF-16 unit, each with its kind and flags, and the visible projection that
// Range.Text returns and that Find compares against. Built by a format
// reader (.docx, .odt, .rtf) and changed by splicing in a re-read piece;
// plain data, not thread-safe (not even its const members, which may move
// the gaps of its buffers).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "word/story/GapBuffer.h"

namespace tarnwick::word {

enum class UnitKind : std::uint8_t {
    Text,
    ParagraphEnd,  // \r
    SectionEnd,  // \f
    CellEnd,  // 0x07, reads as "\r\a"
    RowEnd,  // 0x07, reads as "\r\a"
    Tab,  // \t
    LineBreak,  // \v
    PageBreak,  // \f
    ColumnBreak,  // 0x0E
    FieldBegin,  // 0x13
    FieldSeparator,  // 0x14
    FieldEnd,  // 0x15
    Anchor,  // footnote 0x02, comment 0x05, inline object 0x01, floating 0x08
    Symbol,  // reads as "("
};

enum UnitFlag : std::uint8_t {
    kFieldCode = 1,  // part of a field's code: not visible
    kHidden = 2,  // hidden text: not visible
    kDeleted = 4,  // tracked deletion: visible, never replaced
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
    // The units as one vector, for readers that build a story (then call
    // index()) and for whoever wants to walk all of them. Costs moving the
    // gap left by splice() to the end: use unit() for single units.
    std::vector<Unit>& units();
    const std::vector<Unit>& units() const;
    const Unit& unit(std::int64_t position) const { return m_units[static_cast<std::size_t>(position)]; }
    std::int64_t size() const { return static_cast<std::int64_t>(m_units.size()); }

    // Rebuilds the visible projection after the units changed.
    void index();

    // The visible text and, for each of its UTF-16 units, the position of
    // the story unit it stands for (a cell mark stands for two: "\r\a").
    // Like units(), these close the gap; the accessors below do not.
    const std::u16string& visibleText() const;
    const std::vector<std::int32_t>& visiblePositions() const;
    std::int64_t visibleSize() const { return static_cast<std::int64_t>(m_visible.size()); }
    char16_t visibleAt(std::int64_t index) const { return m_visible[static_cast<std::size_t>(index)]; }
    std::int64_t positionOfVisible(std::int64_t index) const;
    // The index in the visible text of the first visible unit at or after `position`.
    std::int64_t visibleIndexAt(std::int64_t position) const;
    // The visible text from `index` to its end, in one piece; valid until
    // the story is next used.
    std::u16string_view visibleFrom(std::int64_t index) const;

    // The visible text of the story units [start, end).
    std::u16string textOf(std::int64_t start, std::int64_t end) const;

    // Replaces the units [start, end) by the units of `part` (an indexed
    // story read from the same document), adding `sourceBase` to their
    // sources. Costs the size of `part` plus the distance from the previous
    // splice, so edits from front to back cost about the story once in all.
    // The story must stay below 2^31 units (the caller checks).
    void splice(std::int64_t start, std::int64_t end, const StoryText& part, std::uint32_t sourceBase);

private:
    // Mutable: reading a piece in one stretch may move a gap, which changes
    // no value the story presents.
    mutable GapBuffer<std::vector<Unit>> m_units;
    mutable GapBuffer<std::u16string> m_visible;
    // Per visible unit, its story position; 32-bit on purpose, so that a
    // story of tens of millions of characters keeps the table at half the
    // size. Behind the gap a value is stored relative to the story's size,
    // so that a splice, which changes the size, moves every later position
    // along without touching it.
    mutable GapBuffer<std::vector<std::int32_t>> m_positions;
};

}  // namespace tarnwick::word
