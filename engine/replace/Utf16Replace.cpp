#include "engine/replace/Utf16Replace.h"

#include "engine/job/RunContext.h"
#include "engine/job/SearchJob.h"
#include "engine/match/ChunkStore.h"
#include "engine/match/PreserveCase.h"
#include "engine/match/Utf16Units.h"
#include "platform/InputFile.h"

#include <algorithm>

namespace tarnwick {

Utf16Replace::Utf16Replace(RunContext& run, const InputFile& file, ChunkStore& store, Encoding encoding, std::uint64_t fileLength,
                           bool wholeInStore)
    : m_run(run), m_file(file), m_store(store), m_search(run, store, encoding, fileLength, wholeInStore), m_whole(wholeInStore),
      m_fileLength(wholeInStore ? std::min(fileLength, static_cast<std::uint64_t>(store.length())) : fileLength),
      m_replacement(EncodeUtf16(run.replacementText, run.codePage, encoding == Encoding::Utf16BigEndian)),
      m_bigEndian(encoding == Encoding::Utf16BigEndian), m_captures(UsesCaptures(run.job)), m_preserveCase(run.job.preserveCase),
      m_out(run.buffers.output)
{
    if (m_captures || m_preserveCase) m_units = ToUtf16Units(run.replacementText, run.codePage);
    if (m_captures) m_format = word::ToFormatCodePoints(m_units);
    m_out.clear();
}

std::optional<std::int64_t> Utf16Replace::prepare()
{
    m_pending = m_search.next();
    if (!m_pending) return std::nullopt;
    return m_pending->offset;
}

bool Utf16Replace::copySourceTo(std::uint64_t end)
{
    if (end <= m_copied) return true;
    const auto size = static_cast<std::size_t>(end - m_copied);
    if (m_whole) {
        m_out.append(m_store.text() + m_copied, size);
    } else {
        const std::size_t old = m_out.size();
        m_out.resize(old + size);
        const std::size_t got = m_store.readBytes(m_copied, m_out.data() + old, size);
        if (m_store.failure()) return false;
        // A file that got shorter meanwhile is not written from a guess; the
        // failure has nothing to tell.
        if (got != size) {
            m_store.fail(Failure{});
            return false;
        }
    }
    m_copied = end;
    return true;
}

std::optional<Utf16Replacement> Utf16Replace::next()
{
    std::optional<Utf16Hit> hit;
    hit.swap(m_pending);
    if (!hit) hit = m_search.next();
    if (!hit) return std::nullopt;
    Utf16Replacement replaced;
    replaced.length = hit->length;
    replaced.highlightOffset = m_search.describe(replaced.characters);
    if (!copySourceTo(static_cast<std::uint64_t>(hit->offset))) return std::nullopt;
    replaced.offset = static_cast<std::int64_t>(m_out.size());
    if (m_captures || m_preserveCase) {
        m_formatted.clear();
        if (m_captures)
            m_search.appendFormatted(m_format, m_formatted);
        else
            m_formatted = m_units;
        if (m_preserveCase) {
            m_search.hitUnits(m_hit);
            m_cased.clear();
            AppendCasePreserved(m_hit, m_formatted, m_cased);
            m_formatted.swap(m_cased);
        }
        AppendUtf16Bytes(m_formatted, m_bigEndian, m_out);
    } else {
        m_out.append(m_replacement);
    }
    m_copied = static_cast<std::uint64_t>(hit->offset + hit->length);
    ++m_replacements;
    return replaced;
}

std::string_view Utf16Replace::completeContents(std::string& reread)
{
    // The bytes after the last occurrence, an odd last byte included.
    if (!copySourceTo(m_fileLength)) return {};
    if (m_whole) return std::string_view(m_store.text(), static_cast<std::size_t>(m_fileLength));
    if (m_file.linkCount() <= 1 && !m_run.preview) return {};
    reread.resize(m_fileLength);
    reread.resize(m_store.readBytes(0, reread.data(), reread.size()));
    if (m_store.failure()) return {};
    return reread;
}

}  // namespace tarnwick
