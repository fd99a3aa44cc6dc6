#pragma once
// Finding the CR or LF bytes that end lines, 16 bytes at a time. Plain
// functions on memory the caller owns; they allocate nothing.
#include <cstdint>

namespace tarnwick {

// Index of the first CR or LF in text[from, to), or `to` when there is none.
std::int64_t FindLineEnd(const char* text, std::int64_t from, std::int64_t to);

// Index just after the last CR or LF in text[from, to), or `from` when
// there is none.
std::int64_t FindLineStart(const char* text, std::int64_t from, std::int64_t to);

}  // namespace tarnwick
