#include "engine/content/ContentSearch.h"

#include "engine/Messages.h"
#include "engine/content/FileBuffer.h"
#include "engine/job/EntryCounts.h"
#include "engine/job/RunContext.h"
#include "engine/job/RunReports.h"
#include "engine/match/SearchPattern.h"
#include "platform/OpenFolder.h"
#include "platform/SystemError.h"
#include "results/ResultList.h"

#include <algorithm>
#include <optional>
#include <system_error>

namespace tarnwick {
namespace {

// Counts the characters of a UTF-8 text up to byte offsets that only grow.
class CharacterCounter {
public:
    explicit CharacterCounter(const CharacterPositions* map) : m_map(map) {}

    std::int64_t at(std::int64_t offset)
    {
        const auto text = m_map->text;
        const auto to = static_cast<std::size_t>(
            std::clamp<std::int64_t>(offset - m_map->textStart, 0, static_cast<std::int64_t>(text.size())));
        if (to < m_byte) m_byte = m_characters = 0;
        for (; m_byte < to; ++m_byte)
            if ((static_cast<unsigned char>(text[m_byte]) & 0xC0) != 0x80) ++m_characters;
        return m_characters;
    }

private:
    const CharacterPositions* m_map;
    std::size_t m_byte = 0;
    std::int64_t m_characters = 0;
};

void reportHit(RunContext& run, FileBuffer& buffer, const std::string& path, std::int64_t offset, CharacterCounter* counter)
{
    HitEvent hit;
    hit.path = path;
    hit.position = offset;
    hit.length = buffer.hitLength();
    if (counter) {
        hit.position = counter->at(offset);
        hit.length = counter->at(offset + buffer.hitLength()) - hit.position;
    }
    hit.context = buffer.context();
    hit.highlightStart = buffer.highlightOffset();
    hit.highlightLength = buffer.hitCharacters();
    run.sink.hit(hit);
}

}  // namespace

Expected<void> SearchFileContents(RunContext& run, const std::string& path, FileLocation location)
{
    if (run.stopRequested()) return succeeded();
    FileBuffer buffer(run);
    std::error_code error =
        location.folderFd >= 0 ? buffer.openInFolder(location.folderFd, path.c_str() + location.nameOffset) : buffer.open(path);
    // The folder kept open may hold the last descriptor the file needs.
    const bool outOfDescriptors = error == std::errc::too_many_files_open || error == std::errc::too_many_files_open_in_system;
    if (outOfDescriptors && location.keptFolder) {
        location.keptFolder->close();
        error = buffer.open(path);
    }
    if (error) {
        ReportCannotOpen(run, path, error);
        return succeeded();
    }
    const Expected<std::int64_t> hits = SearchBufferContents(run, buffer, path);
    if (!hits) return hits.error();
    return succeeded();
}

Expected<std::int64_t> SearchBufferContents(RunContext& run, FileBuffer& buffer, const std::string& path,
                                            const CharacterPositions* characters)
{
    std::optional<CharacterCounter> counter;
    if (characters) counter.emplace(characters);
    CharacterCounter* const positions = counter ? &*counter : nullptr;
    std::optional<std::int64_t> offset = buffer.findFirst();
    if (!offset && buffer.failure()) return *buffer.failure();
    if (run.job.filesWithoutHits) {
        // One hit settles it; a file a stop cut short was not searched to its end.
        if (offset || run.stopRequested()) return offset ? 1 : 0;
        ReportFileWithoutHits(run, {path, EntryKind::File, EncodingCode(buffer.getEncoding())});
        return 0;
    }
    if (!offset) return 0;

    run.sink.beginEntry({path, EntryKind::File, EncodingCode(buffer.getEncoding())});
    EntryCounts counts(run.sink);
    const bool counted = !run.hitsUncounted;
    reportHit(run, buffer, path, *offset, positions);
    if (counted) {
        counts.addHit();
        counts.addFile();
    }
    std::int64_t hits = 1;
    while (!run.stopRequested()) {
        offset = buffer.findNext();
        if (!offset) break;
        reportHit(run, buffer, path, *offset, positions);
        if (counted) counts.addHit();
        ++hits;
    }
    if (const Failure* failure = buffer.failure()) return *failure;
    if (!counted) run.counters.foundNotReplaced.fetch_add(static_cast<std::int32_t>(hits), std::memory_order_relaxed);
    return hits;
}

bool CompileSearchRegex(RunContext& run)
{
    Expected<boost::regex> compiled = CompileRegex(run.searchText, run.job.matchCase);
    if (!compiled) {
        run.searchRegex.reset();
        ReportInvalidExpression(run, compiled.error().detail);
        return false;
    }
    run.searchRegex = std::move(compiled).value();
    return true;
}

}  // namespace tarnwick
