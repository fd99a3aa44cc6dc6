#pragma once
// The bytes of the entry an ArchiveHandle stands at, checked while they are
// inflated: against the entry's own ratio of expanded to compressed bytes
// and against the budget of the whole archive (platform/ExpansionLimits.h).
// The first failure is kept; every read after it gives it again.
#include <cstdint>
#include <optional>
#include <string>

#include "engine/inside/ArchiveHandle.h"
#include "engine/inside/ByteReader.h"
#include "engine/inside/ExpansionBudget.h"
#include "engine/inside/InsideError.h"

namespace tarnwick::inside {

class ArchiveEntryReader : public ByteReader {
public:
    ArchiveEntryReader(ArchiveHandle& archive, ExpansionBudget& budget);

    Expected<std::size_t> read(char* buffer, std::size_t capacity) override;

    std::uint64_t bytesRead() const { return m_produced; }
    bool isAtEnd() const { return m_atEnd; }
    // The first failure, of this entry or of the archive around it.
    const std::optional<Failure>& failure() const { return m_failure; }
    // Whether that failure is the stream's of the archive around this one,
    // which that archive reports under its own name.
    bool failedAround() const { return m_failedAround; }

private:
    Failure fail(InsideErrorKind kind, std::string text);

    ArchiveHandle& m_archive;
    ExpansionBudget& m_budget;
    std::uint64_t m_rawAtStart;
    std::uint64_t m_produced = 0;
    bool m_atEnd = false;
    std::optional<Failure> m_failure;
    bool m_failedAround = false;
};

// The texts of the two expansion limits, with their numbers filled in.
std::string EntryExpandsTooFarText();
std::string ArchiveExpandsTooFarText(std::uint64_t limit);

}  // namespace tarnwick::inside
