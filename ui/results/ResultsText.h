#pragma once
// The results view shows texts of the store, which are bytes of the code
// page, and highlights hits at byte offsets of those texts. These functions
// turn both into what the view draws: UTF-16 text and offsets counted in its
// code units. Plain functions, no toolkit, safe on any thread.
#include <string>
#include <string_view>

namespace tarnwick {
class CodePage;
}

namespace tarnwick::ui {

// The text as UTF-16. A byte that does not begin a valid UTF-8 sequence
// (with a UTF-8 code page) shows as U+FFFD, one per byte, so that offsets
// stay countable; a single-byte code page maps each byte to one character.
std::u16string ToDisplayText(std::string_view bytes, const CodePage& codePage);

// A half-open range of display code units.
struct DisplayRange {
    int start = 0;
    int end = 0;
    bool operator==(const DisplayRange&) const = default;
};

// The byte range [byteStart, byteEnd) of `bytes` as a range of
// ToDisplayText(bytes). Bounds are clamped to the text; a bound inside a
// character widens the range to the whole character; an inverted range is
// empty at its start.
DisplayRange ToDisplayRange(std::string_view bytes, int byteStart, int byteEnd, const CodePage& codePage);

}  // namespace tarnwick::ui
