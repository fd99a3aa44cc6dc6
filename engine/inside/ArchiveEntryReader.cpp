#include "engine/inside/ArchiveEntryReader.h"

#include <archive.h>

#include <algorithm>
#include <cstdio>

#include "engine/inside/InsideMessages.h"
#include "platform/ExpansionLimits.h"

namespace tarnwick::inside {

std::string EntryExpandsTooFarText()
{
    char text[256];
    std::snprintf(text, sizeof text, text::kInsideEntryExpandsTooFar, static_cast<int>(kMaxExpansionRatio));
    return text;
}

std::string ArchiveExpandsTooFarText(std::uint64_t limit)
{
    char text[256];
    std::snprintf(text, sizeof text, text::kInsideArchiveExpandsTooFar, static_cast<int>(limit >> 20));
    return text;
}

ArchiveEntryReader::ArchiveEntryReader(ArchiveHandle& archive, ExpansionBudget& budget)
    : m_archive(archive), m_budget(budget), m_rawAtStart(archive.rawBytesConsumed())
{
}

Failure ArchiveEntryReader::fail(InsideErrorKind kind, std::string text)
{
    m_failure = InsideFailure(kind, std::move(text));
    return *m_failure;
}

Expected<std::size_t> ArchiveEntryReader::read(char* buffer, std::size_t capacity)
{
    if (m_failure) return *m_failure;
    if (m_atEnd || capacity == 0) return 0;
    const la_ssize_t got = archive_read_data(m_archive.get(), buffer, capacity);
    if (got < 0) {
        if (m_archive.streamFailure()) {
            // The archive around this one failed: its failure, which it reports.
            m_failure = m_archive.streamFailure();
            m_failedAround = true;
            return *m_failure;
        }
        // Encrypted entries are passed over before they are read: what fails
        // here is damage.
        return fail(InsideErrorKind::Damaged, text::kInsideDamagedEntry + m_archive.errorText());
    }
    if (got == 0) {
        m_atEnd = true;
        return 0;
    }
    const auto count = static_cast<std::uint64_t>(got);
    m_produced += count;
    // Bytes libarchive consumed for this entry so far: never fewer than the
    // entry really took, since it reads ahead, so a fair entry is never
    // taken for a bomb.
    // A reader that sought back (zip's central directory) has no measure:
    // the stated sizes and the archive's budget still hold it.
    const std::uint64_t raw = m_archive.rawBytesConsumed();
    const std::uint64_t compressed = raw >= m_rawAtStart ? std::max<std::uint64_t>(1, raw - m_rawAtStart) : UINT64_MAX;
    if (ExceedsExpansionRatio(m_produced, compressed)) return fail(InsideErrorKind::ExpandsTooFar, EntryExpandsTooFarText());
    if (!m_budget.take(count)) return fail(InsideErrorKind::ExpandsTooFar, ArchiveExpandsTooFarText(m_budget.limit()));
    return static_cast<std::size_t>(got);
}

}  // namespace tarnwick::inside
