#pragma once
// What the report-contents dialog shows of a file: at most its first 32768
// bytes, unchanged when the first 100 bytes look like text, else as a hex
// dump of 16 bytes a line:
//   0x00000000: 64636261 68676665 6c6b6a69 706f6e6d abcdefghijklmnop
#include <cstddef>
#include <string>
#include <string_view>

namespace tarnwick::crash {

inline constexpr std::size_t kPreviewLength = 32768;
inline constexpr std::size_t kTextDecisionLength = 100;

// Up to four bytes below 32 or above 126 that are not tab, LF, VT, FF or CR
// are accepted in the first 100 bytes; the fifth makes them non-text.
bool LooksLikeText(std::string_view bytes);

// Lines of "0x%08x: ", four little-endian 32-bit words as "%08x ", and the
// 16 bytes as characters (below 32 and 127 as "."), each ending in CR LF.
// A last line with fewer bytes shows only those: the hex digits of missing
// bytes are blanks, so the characters stay in their column.
std::string HexDump(std::string_view bytes);

struct FilePreview {
    bool isText = false;
    std::string text;  // the bytes unchanged, or their hex dump
};
// From the file's first bytes (more than kPreviewLength are cut off).
FilePreview MakePreview(std::string_view bytes);
// Reads the first kPreviewLength bytes of `path`; empty when it cannot be read.
std::string ReadPreviewBytes(const std::string& path);

}  // namespace tarnwick::crash
