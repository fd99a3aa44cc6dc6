#include "engine/inside/InsideFormat.h"

#include <array>

namespace tarnwick::inside {
namespace {

struct Magic {
    std::size_t offset;
    std::string_view bytes;
};

bool hasMagic(std::string_view bytes, Magic magic)
{
    return bytes.size() >= magic.offset + magic.bytes.size() && bytes.substr(magic.offset, magic.bytes.size()) == magic.bytes;
}

constexpr Magic kZip{0, "PK\x03\x04"};
constexpr Magic kEmptyZip{0, "PK\x05\x06"};
constexpr Magic kTar{257, "ustar"};
constexpr Magic kSevenZip{0, "7z\xBC\xAF\x27\x1C"};
constexpr Magic kPdf{0, "%PDF-"};

// A compression's suffixes (tar's short forms first) and its magic.
struct Compression {
    std::string_view suffix;
    std::array<std::string_view, 2> tarSuffixes;
    Magic magic;
};
constexpr std::array<Compression, 5> kCompressions{{
    {".gz", {".tgz", ".tar.gz"}, {0, "\x1F\x8B"}},
    {".xz",
     {".txz", ".tar.xz"},
     {0,
      std::string_view("\xFD"
                       "7zXZ\0",
                       6)}},
    {".bz2", {".tbz2", ".tar.bz2"}, {0, "BZh"}},
    {".zst", {".tzst", ".tar.zst"}, {0, "\x28\xB5\x2F\xFD"}},
    {".lz4", {".tlz4", ".tar.lz4"}, {0, "\x04\x22\x4D\x18"}},
}};

constexpr std::array<std::string_view, 3> kSpreadsheets{".xlsx", ".xlsm", ".ods"};
constexpr std::array<std::string_view, 2> kPresentations{".pptx", ".odp"};
// Zip packages the document component reads as text.
constexpr std::array<std::string_view, 6> kDocuments{".docx", ".docm", ".dotx", ".dotm", ".odt", ".ott"};

std::string lowerName(std::string_view name)
{
    std::string lower(name);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

bool endsWith(std::string_view text, std::string_view suffix)
{
    return text.size() > suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

template <std::size_t N>
bool endsWithAny(std::string_view text, const std::array<std::string_view, N>& suffixes)
{
    for (const std::string_view suffix : suffixes)
        if (endsWith(text, suffix)) return true;
    return false;
}

}  // namespace

InsideFormat SniffInsideFormat(std::string_view name, std::string_view firstBytes)
{
    const std::string lower = lowerName(name);
    if (hasMagic(firstBytes, kZip) || hasMagic(firstBytes, kEmptyZip)) {
        if (endsWithAny(lower, kSpreadsheets)) return InsideFormat::Spreadsheet;
        if (endsWithAny(lower, kPresentations)) return InsideFormat::Presentation;
        if (endsWithAny(lower, kDocuments)) return InsideFormat::None;
        return InsideFormat::Archive;
    }
    if (hasMagic(firstBytes, kPdf)) return endsWith(lower, ".pdf") ? InsideFormat::Pdf : InsideFormat::None;
    if (hasMagic(firstBytes, kTar) || hasMagic(firstBytes, kSevenZip)) return InsideFormat::Archive;
    for (const Compression& compression : kCompressions) {
        if (!hasMagic(firstBytes, compression.magic)) continue;
        if (endsWithAny(lower, compression.tarSuffixes)) return InsideFormat::Archive;
        return endsWith(lower, compression.suffix) ? InsideFormat::Compressed : InsideFormat::None;
    }
    return InsideFormat::None;
}

bool NamesContainer(std::string_view name)
{
    static constexpr std::array<std::string_view, 4> kArchives{".zip", ".jar", ".tar", ".7z"};
    const std::string lower = lowerName(name);
    if (endsWithAny(lower, kArchives)) return true;
    for (const Compression& compression : kCompressions)
        if (endsWith(lower, compression.suffix) || endsWithAny(lower, compression.tarSuffixes)) return true;
    return false;
}

std::string CompressedInnerName(std::string_view name)
{
    const std::string_view base = name.substr(name.find_last_of('/') + 1);
    const std::string lower = lowerName(base);
    for (const Compression& compression : kCompressions)
        if (endsWith(lower, compression.suffix)) return std::string(base.substr(0, base.size() - compression.suffix.size()));
    return std::string(base);
}

}  // namespace tarnwick::inside
