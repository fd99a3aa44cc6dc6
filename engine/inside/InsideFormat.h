#pragma once
// Which reader, if any, a file goes to when its inside is searched, told by
// its name and its first bytes together: the name says what the user keeps
// it as, the bytes that it really is one. A file whose bytes do not match its
// name is searched as bytes, as without searching inside.
#include <cstddef>
#include <string>
#include <string_view>

namespace tarnwick::inside {

enum class InsideFormat {
    None,  // searched as bytes
    Archive,  // zip and other zip packages, tar (also compressed), 7z: ArchiveReader
    Compressed,  // one compressed file (.gz, .xz, .bz2, .zst, .lz4): ArchiveReader
    Pdf,  // PdfPages
    Spreadsheet,  // .xlsx, .xlsm, .ods: ReadSpreadsheetText
    Presentation,  // .pptx, .odp: ReadPresentationText
};

// How many first bytes SniffInsideFormat looks at (a tar header's magic lies
// at 257).
inline constexpr std::size_t kSniffLength = 512;

// `name` is the file's name (a path does as well); `firstBytes` up to
// kSniffLength bytes from its start. Word-processor documents (.docx, .odt
// and their kin) give None: the document component searches their text.
InsideFormat SniffInsideFormat(std::string_view name, std::string_view firstBytes);

// Whether `name` says an archive or a compressed file (its bytes may still
// say otherwise): such a file is let through the filters on file types and
// size, which apply to the files inside it instead.
bool NamesContainer(std::string_view name);

// The name of the one file inside a compressed file: its own name without
// the compression's suffix ("app.log.gz" gives "app.log").
std::string CompressedInnerName(std::string_view name);

}  // namespace tarnwick::inside
