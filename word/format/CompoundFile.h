#pragma once
// The directory of a compound file, the container of legacy binary
// documents (.doc) and of encrypted OOXML packages: which streams it names
// and the first bytes of one, read through its allocation table. Enough to
// tell an encrypted or damaged container before a reader meets it.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {
class InputFile;
}

namespace tarnwick::word {

class CompoundFile {
public:
    enum class Reading {
        Read,  // the directory was read
        NoHeader,  // the header is not one of a compound file: nothing known
        Damaged,  // a header, but a table or the directory lies beyond the end or loops
    };

    // Reads the header, the allocation table and the directory. Throws
    // ServerError (kErrorCannotOpen) when the file cannot be read.
    explicit CompoundFile(const InputFile& file);

    Reading reading() const { return m_reading; }
    bool hasStream(std::u16string_view name) const;
    // The first `count` bytes of the stream `name` (at most 64); nothing when
    // the stream is missing, shorter or lies beyond the end of the file.
    std::optional<std::string> streamHead(std::u16string_view name, std::size_t count) const;

private:
    struct Entry {
        std::u16string name;
        std::uint8_t type = 0;  // 1 storage, 2 stream, 5 root
        std::uint32_t start = 0;
        std::uint64_t size = 0;
    };

    bool readHeader();
    bool readTables();
    std::optional<std::string> readAt(std::uint64_t offset, std::size_t count) const;
    std::optional<std::string> sector(std::uint32_t number) const;
    // The sectors of the chain that starts at `first`; nothing when it leaves
    // the table or loops.
    std::optional<std::vector<std::uint32_t>> chain(const std::vector<std::uint32_t>& table, std::uint32_t first) const;
    const Entry* find(std::u16string_view name) const;

    const InputFile& m_file;
    Reading m_reading = Reading::NoHeader;
    std::uint32_t m_sectorSize = 512;
    std::uint32_t m_miniCutoff = 4096;
    std::uint32_t m_firstDirectory = 0;
    std::uint32_t m_firstExtraTable = 0;
    std::uint32_t m_extraTableSectors = 0;
    std::vector<std::uint32_t> m_tableSectors;
    std::vector<std::uint32_t> m_table;
    std::vector<Entry> m_entries;
};

}  // namespace tarnwick::word
