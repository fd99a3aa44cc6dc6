#include "word/format/CompoundFile.h"

#include <algorithm>
#include <cstring>

#include "platform/InputFile.h"
#include "platform/SystemError.h"
#include "word/automation/WordErrors.h"

namespace tarnwick::word {
namespace {

constexpr std::string_view kMagic("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
constexpr std::uint32_t kLastSector = 0xFFFFFFF9;  // higher numbers mark free sectors and ends of chains
constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::size_t kHeaderSize = 512;
constexpr std::size_t kEntrySize = 128;
constexpr std::size_t kMiniSectorSize = 64;
constexpr std::size_t kHeaderTableEntries = 109;

std::uint32_t u32(std::string_view bytes, std::size_t at)
{
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    return value;
}

std::uint16_t u16(std::string_view bytes, std::size_t at)
{
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8);
}

bool equalNoCase(std::u16string_view a, std::u16string_view b)
{
    const auto upper = [](char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c; };
    return a.size() == b.size() &&
        std::equal(a.begin(), a.end(), b.begin(), [&](char16_t x, char16_t y) { return upper(x) == upper(y); });
}

}  // namespace

CompoundFile::CompoundFile(const InputFile& file) : m_file(file)
{
    if (!readHeader()) return;
    m_reading = readTables() ? Reading::Read : Reading::Damaged;
}

std::optional<std::string> CompoundFile::readAt(std::uint64_t offset, std::size_t count) const
{
    if (offset >= m_file.size() || count > m_file.size() - offset) return std::nullopt;
    std::string bytes(count, '\0');
    const Expected<std::size_t> got = m_file.readAt(offset, bytes.data(), count);
    if (!got) Refuse(kErrorCannotOpen, "Die Datei kann nicht gelesen werden: " + SystemErrorText(got.error().code));
    if (got.value() != count) return std::nullopt;
    return bytes;
}

std::optional<std::string> CompoundFile::sector(std::uint32_t number) const
{
    if (number > kLastSector) return std::nullopt;
    return readAt((static_cast<std::uint64_t>(number) + 1) * m_sectorSize, m_sectorSize);
}

bool CompoundFile::readHeader()
{
    const std::optional<std::string> header = readAt(0, kHeaderSize);
    if (!header || std::string_view(*header).substr(0, kMagic.size()) != kMagic || u16(*header, 28) != 0xFFFE) return false;
    const std::uint16_t shift = u16(*header, 30);
    if ((shift != 9 && shift != 12) || u16(*header, 32) != 6) return false;
    m_sectorSize = 1u << shift;
    m_firstDirectory = u32(*header, 48);
    m_miniCutoff = u32(*header, 56);
    m_firstExtraTable = u32(*header, 68);
    m_extraTableSectors = u32(*header, 72);
    const std::uint32_t tableSectors = u32(*header, 44);
    for (std::size_t i = 0; i < kHeaderTableEntries && m_tableSectors.size() < tableSectors; ++i)
        m_tableSectors.push_back(u32(*header, 76 + 4 * i));
    return true;
}

bool CompoundFile::readTables()
{
    // More table sectors than the file has sectors is a damaged count, not a
    // reason to read that much.
    const std::uint64_t sectorsInFile = m_file.size() / m_sectorSize;
    std::uint32_t extra = m_firstExtraTable;
    for (std::uint32_t i = 0; i < m_extraTableSectors && extra <= kLastSector; ++i) {
        const std::optional<std::string> block = sector(extra);
        if (!block) return false;
        for (std::size_t at = 0; at + 4 < m_sectorSize; at += 4) m_tableSectors.push_back(u32(*block, at));
        extra = u32(*block, m_sectorSize - 4);
        if (m_tableSectors.size() > sectorsInFile) return false;
    }
    for (const std::uint32_t number : m_tableSectors) {
        if (number > kLastSector) break;
        const std::optional<std::string> block = sector(number);
        if (!block) return false;
        for (std::size_t at = 0; at < m_sectorSize; at += 4) m_table.push_back(u32(*block, at));
    }
    const std::optional<std::vector<std::uint32_t>> directory = chain(m_table, m_firstDirectory);
    if (!directory) return false;
    for (const std::uint32_t number : *directory) {
        const std::optional<std::string> block = sector(number);
        if (!block) return false;
        for (std::size_t at = 0; at + kEntrySize <= m_sectorSize; at += kEntrySize) {
            const std::string_view raw = std::string_view(*block).substr(at, kEntrySize);
            Entry entry;
            entry.type = static_cast<std::uint8_t>(raw[66]);
            const std::size_t units = std::min<std::size_t>(u16(raw, 64) / 2, 32);
            for (std::size_t i = 0; i + 1 < units; ++i) entry.name.push_back(static_cast<char16_t>(u16(raw, 2 * i)));
            entry.start = u32(raw, 116);
            // Version 3 files may leave garbage in the high half.
            entry.size = m_sectorSize == 512 ? u32(raw, 120) : u32(raw, 120) | static_cast<std::uint64_t>(u32(raw, 124)) << 32;
            if (entry.type != 0) m_entries.push_back(std::move(entry));
        }
    }
    return !m_entries.empty() && m_entries.front().type == 5;
}

std::optional<std::vector<std::uint32_t>> CompoundFile::chain(const std::vector<std::uint32_t>& table, std::uint32_t first) const
{
    std::vector<std::uint32_t> sectors;
    for (std::uint32_t number = first; number != kEndOfChain;) {
        if (number >= table.size() || sectors.size() >= table.size()) return std::nullopt;
        sectors.push_back(number);
        number = table[number];
    }
    return sectors;
}

const CompoundFile::Entry* CompoundFile::find(std::u16string_view name) const
{
    // Names compare without case, as the format orders them.
    for (const Entry& entry : m_entries)
        if (entry.type == 2 && equalNoCase(entry.name, name)) return &entry;
    return nullptr;
}

bool CompoundFile::hasStream(std::u16string_view name) const { return find(name) != nullptr; }

std::optional<std::string> CompoundFile::streamHead(std::u16string_view name, std::size_t count) const
{
    const Entry* entry = find(name);
    if (!entry || count > kMiniSectorSize || entry->size < count) return std::nullopt;
    if (entry->size >= m_miniCutoff) {
        if (entry->start > kLastSector) return std::nullopt;
        return readAt((static_cast<std::uint64_t>(entry->start) + 1) * m_sectorSize, count);
    }
    // A small stream lies in the mini stream, which the root entry's sectors hold.
    const std::optional<std::vector<std::uint32_t>> container = chain(m_table, m_entries.front().start);
    const std::uint64_t offset = static_cast<std::uint64_t>(entry->start) * kMiniSectorSize;
    if (!container || offset / m_sectorSize >= container->size()) return std::nullopt;
    const std::uint32_t holder = (*container)[static_cast<std::size_t>(offset / m_sectorSize)];
    return readAt((static_cast<std::uint64_t>(holder) + 1) * m_sectorSize + offset % m_sectorSize, count);
}

}  // namespace tarnwick::word
