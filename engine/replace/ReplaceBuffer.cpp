#include "engine/replace/ReplaceBuffer.h"

#include "engine/Messages.h"
#include "engine/job/RunContext.h"
#include "engine/job/RunReplacement.h"
#include "engine/job/RunReports.h"
#include "engine/job/SearchJob.h"
#include "engine/match/HitContext.h"
#include "engine/match/PatternCache.h"
#include "engine/replace/ChangePreview.h"
#include "engine/replace/ChangedFiles.h"
#include "engine/replace/CommitBatch.h"
#include "engine/replace/JournalHooks.h"
#include "engine/replace/ReplaceTempFile.h"
#include "engine/replace/Utf16Replace.h"
#include "platform/CodePage.h"
#include "platform/SystemError.h"

#include <unistd.h>

#include <algorithm>
#include <vector>

namespace tarnwick {

ReplaceBuffer::ReplaceBuffer(RunContext& run)
    : m_run(run), m_store(m_file, run.job, run.codePage, run.buffers), m_matcher(run.job, run.buffers.match),
      m_out(run.buffers.output), m_context(run.buffers.context)
{
}

ReplaceBuffer::~ReplaceBuffer()
{
    // Also a temporary file that received the last chunk: a stop before
    // finish() leaves it unused.
    if (m_temp.isOpen()) abandon();
}

std::error_code ReplaceBuffer::open(const std::string& path, InputFile::Links links)
{
    return m_file.open(path, InputFile::Mode::Replace, links);
}

void ReplaceBuffer::loadChunk(std::uint64_t start, std::uint64_t size)
{
    // A file that got shorter meanwhile ends with this chunk.
    if (!m_store.load(start, size, m_fileLength)) m_lastChunk = true;
    m_store.fold(*m_pattern);
    m_matcher.setChunk(m_store.view());
    m_out.clear();
    m_consumed = 0;
    m_resume = 0;
    m_lastPosition = -static_cast<std::int64_t>(m_replacement.size());
}

ReplaceStep ReplaceBuffer::prepareReplace()
{
    const ReplaceStep step = probe();
    if (const Failure* failure = m_store.failure()) {
        ReportReplaceStartFailure(m_run, m_file.path(), *failure);
        return {ReplaceOutcome::Failed};
    }
    return step;
}

// Whether there is anything to replace; a failure is left in the store.
ReplaceStep ReplaceBuffer::probe()
{
    m_fileLength = m_file.size();
    m_outputOffset = 0;
    m_replacements = 0;
    const std::uint64_t split = std::max<std::uint32_t>(m_run.job.splitLength, 1);
    m_split = static_cast<double>(m_fileLength) > 1.1 * static_cast<double>(split);
    m_lastChunk = !m_split;
    if (m_split)
        m_store.detectEncodingFromFile(m_fileLength);
    else {
        m_store.load(0, m_fileLength, m_fileLength);
        m_store.detectEncodingInMemory();
    }
    if (m_store.failure()) return {ReplaceOutcome::Failed};
    if (IsUtf16(m_store.encoding())) {
        m_utf16 = std::make_unique<Utf16Replace>(m_run, m_file, m_store, m_store.encoding(), m_fileLength, !m_split);
        const std::optional<std::int64_t> first = m_utf16->prepare();
        return first ? ReplaceStep{ReplaceOutcome::Occurrence, *first} : ReplaceStep{ReplaceOutcome::NoOccurrence};
    }
    const bool utf8 = m_store.encoding() == Encoding::Utf8;
    m_pattern = &m_run.patterns.forEncoding(m_store.encoding());
    m_matcher.setPattern(m_pattern);
    m_replacement = utf8 ? m_run.codePage.ansiToUtf8(m_run.replacementText) : m_run.replacementText;
    m_style = ReplacementStyleOf(m_run.job, m_run.codePage, utf8);
    if (m_run.job.regularExpression && !m_pattern->regex) return {ReplaceOutcome::NoOccurrence};
    // Chunks in holes of a sparse file are zeros: they hold nothing to
    // replace and are not read.
    auto probeChunk = [&](std::uint64_t start, std::uint64_t size) {
        if (!m_split || !m_store.loadHole(start, size, m_fileLength)) loadChunk(start, size);
    };
    probeChunk(0, m_split ? split : m_fileLength);

    const auto overlapBase =
        static_cast<std::int64_t>(m_run.job.regularExpression ? m_run.job.splitMaxOffset : m_pattern->searchBytes.size() - 1);
    for (;;) {
        if (m_store.failure()) return {ReplaceOutcome::Failed};
        // The probe asks only whether there is anything to do: no whole-word test.
        std::optional<Occurrence> found;
        if (!m_store.isHole()) found = m_run.job.regularExpression ? m_matcher.findRegex(0) : m_matcher.findPlain(0, false);
        if (found) {
            if (m_split && !openTempFile()) return {ReplaceOutcome::Failed};
            return {ReplaceOutcome::Occurrence, static_cast<std::int64_t>(m_store.start()) + found->position};
        }
        if (m_lastChunk || m_run.stopRequested()) return {ReplaceOutcome::NoOccurrence};
        const std::int64_t overlap = std::clamp<std::int64_t>(overlapBase, 0, static_cast<std::int64_t>(split) - 1);
        const std::uint64_t start = m_store.start() + split - static_cast<std::uint64_t>(overlap);
        std::uint64_t size = split;
        if (start + split >= m_fileLength) {
            m_lastChunk = true;
            size = m_fileLength - start;
        }
        // Nothing has changed yet: the changed file equals the source up to here.
        m_outputOffset = start;
        probeChunk(start, size);
    }
}

bool ReplaceBuffer::openTempFile()
{
    const SearchJob& job = m_run.job;
    // The temporary file is made beside the file it will replace: pinned now.
    std::error_code error = m_file.pin();
    if (!error) error = CreateReplaceTempFile(job, m_file, m_temp);
    if (!error) {
        // The source bytes before the current chunk are unchanged.
        std::vector<char> block(std::min<std::uint64_t>(std::max<std::uint32_t>(job.splitLength, 1), 1u << 20));
        for (std::uint64_t done = 0; !error && done < m_store.start();) {
            // Holes of a sparse file stay holes.
            const std::uint64_t data = std::min(m_file.nextData(done), m_store.start());
            if (data > done) {
                m_temp.appendHole(data - done);
                m_flushedByte = 0;
                done = data;
                continue;
            }
            const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(block.size(), m_store.start() - done));
            const std::size_t got = m_store.readBytes(done, block.data(), want);
            if (m_store.failure()) {
                abandon();
                return false;
            }
            if (got < want)
                error = ErrnoCode(EIO);
            else
                error = m_temp.append(block.data(), got);
            done += got;
            // The first chunk with an occurrence follows these bytes.
            if (!error && got > 0) m_flushedByte = static_cast<unsigned char>(block[got - 1]);
        }
    }
    if (!error) return true;
    ReportTempCreateFailure(m_run, m_file.path(), error);
    abandon();
    return false;
}

Preceding ReplaceBuffer::precedingAtConsumed()
{
    // The byte in front of m_consumed in the changed text, kept in memory or
    // already written to the temporary file.
    const int lastByte = !m_out.empty() ? static_cast<unsigned char>(m_out.back()) : m_flushedByte;
    return PrecedingBehindReplacement(lastByte, m_outputOffset == 0, m_run.job.regularExpression);
}

std::optional<Occurrence> ReplaceBuffer::findNext()
{
    const Preceding before = m_resume == m_consumed ? precedingAtConsumed() : Preceding{};
    if (m_run.job.regularExpression) return m_matcher.findRegex(m_resume, before);
    return m_matcher.findPlain(m_resume, m_run.job.wholeWords, before);
}

void ReplaceBuffer::copyOriginalUpTo(std::int64_t position)
{
    if (position > m_consumed) m_out.append(m_store.text() + m_consumed, static_cast<std::size_t>(position - m_consumed));
    m_consumed = std::max(m_consumed, position);
}

void ReplaceBuffer::buildContext(const Occurrence& occurrence)
{
    const std::int64_t k = m_run.job.contextLength;
    ContextOptions options;
    options.contextLength = k;
    options.utf8 = m_store.encoding() == Encoding::Utf8;
    options.startsAtBomFile = m_store.hasBom() && m_store.start() == 0;
    options.codePage = &m_run.codePage;
    // The text before the hit is the changed text; the hit and what follows
    // are still the source's.
    const auto beforeLength = std::min<std::int64_t>(static_cast<std::int64_t>(m_out.size()), 2 * k + 1);
    const std::int64_t fromLength = std::min<std::int64_t>(m_store.length() - occurrence.position, occurrence.length + k + 1);
    m_highlightOffset =
        BuildHitContext(std::string_view(m_out).substr(m_out.size() - static_cast<std::size_t>(beforeLength)),
                        std::string_view(m_store.text() + occurrence.position, static_cast<std::size_t>(fromLength)),
                        occurrence.length, options, m_context, m_run.buffers.scratch);
}

ReplaceStep ReplaceBuffer::replaceNextUtf16()
{
    const std::optional<Utf16Replacement> replaced = m_utf16->next();
    if (m_store.failure()) return {ReplaceOutcome::Unreadable};
    if (!replaced) return {ReplaceOutcome::NoOccurrence};
    m_hitLength = replaced->length;
    m_hitCharacters = replaced->characters;
    m_highlightOffset = replaced->highlightOffset;
    ++m_replacements;
    return {ReplaceOutcome::Occurrence, replaced->offset};
}

ReplaceStep ReplaceBuffer::replaceNext()
{
    if (m_utf16) return replaceNextUtf16();
    if (!m_pattern || m_finished) return {ReplaceOutcome::NoOccurrence};
    for (;;) {
        std::int64_t overlap = -1;
        auto occurrence = findNext();
        if (occurrence && leavesToNextChunk(*occurrence)) {
            // The next chunk starts at this match and sees all of it.
            overlap = m_store.length() - occurrence->position;
            occurrence.reset();
        }
        if (occurrence) {
            copyOriginalUpTo(occurrence->position);
            buildContext(*occurrence);
            m_hitLength = occurrence->length;
            const bool utf8 = m_store.encoding() == Encoding::Utf8;
            if (!m_run.job.regularExpression)
                m_hitCharacters = m_pattern->hitCharacters;
            else if (utf8)
                m_hitCharacters = static_cast<std::int64_t>(m_run.codePage.utf8ToAnsiLength(
                    std::string_view(m_store.text() + occurrence->position, static_cast<std::size_t>(occurrence->length))));
            else
                m_hitCharacters = static_cast<std::int64_t>(occurrence->length);
            m_lastPosition = static_cast<std::int64_t>(m_out.size());
            const std::string_view hit(m_store.text() + occurrence->position, static_cast<std::size_t>(occurrence->length));
            AppendReplacement(m_style, m_replacement, hit, m_run.buffers.match, m_filled, m_out);
            m_consumed = occurrence->position + occurrence->length;
            // After an empty match the search goes on one byte further.
            m_resume = occurrence->length == 0 ? m_consumed + 1 : m_consumed;
            ++m_replacements;
            return {ReplaceOutcome::Occurrence, static_cast<std::int64_t>(m_outputOffset) + m_lastPosition};
        }
        if (!m_split) return {ReplaceOutcome::NoOccurrence};
        if (m_lastChunk) {
            if (!flushToTemp(0)) return {ReplaceOutcome::Failed};
            const std::error_code error = m_temp.finishWriting();
            if (error) {
                reportTempWriteFailure(error);
                return {ReplaceOutcome::Failed};
            }
            m_finished = true;
            return {ReplaceOutcome::NoOccurrence};
        }
        if (m_run.stopRequested()) return {ReplaceOutcome::NoOccurrence};

        // Chunks overlap by enough bytes for an occurrence across the border,
        // but a replacement (or an empty match) is never part of the overlap.
        const std::int64_t split = std::max<std::uint32_t>(m_run.job.splitLength, 1);
        const bool replacedHere = m_lastPosition >= 0;
        // A candidate rejected as part of a longer word is not searched again either.
        const std::int64_t searched =
            m_run.job.regularExpression ? (replacedHere ? m_resume : 0) : std::max<std::int64_t>(m_matcher.plainScanStart(), 0);
        const std::int64_t room = m_store.length() - searched;
        const auto base =
            static_cast<std::int64_t>(m_run.job.regularExpression ? m_run.job.splitMaxOffset : m_pattern->searchBytes.size() - 1);
        if (overlap < 0) overlap = std::min(base, room);
        overlap = std::clamp<std::int64_t>(overlap, 0, std::max<std::int64_t>(std::min(split, m_store.length()) - 1, 0));
        if (!flushToTemp(overlap)) return {ReplaceOutcome::Failed};
        const std::uint64_t start = m_store.start() + static_cast<std::uint64_t>(m_store.length() - overlap);
        std::uint64_t size = static_cast<std::uint64_t>(split);
        if (static_cast<double>(start) + 1.1 * static_cast<double>(split) >= static_cast<double>(m_fileLength)) {
            m_lastChunk = true;
            size = m_fileLength - start;
        }
        loadChunk(start, size);
        if (m_store.failure()) return {ReplaceOutcome::Unreadable};
    }
}

bool ReplaceBuffer::leavesToNextChunk(const Occurrence& occurrence) const
{
    // An expression match that runs into the end of a chunk may go on in the
    // file; when the overlap can reach back to its start, the next chunk
    // replaces it whole instead of cut.
    if (!m_split || m_lastChunk || !m_run.job.regularExpression || occurrence.length == 0) return false;
    const std::int64_t fromStart = m_store.length() - occurrence.position;
    const std::int64_t split = std::max<std::uint32_t>(m_run.job.splitLength, 1);
    return occurrence.position + occurrence.length == m_store.length() && fromStart <= m_run.job.splitMaxOffset &&
        fromStart < split && occurrence.position >= m_consumed;
}

bool ReplaceBuffer::flushToTemp(std::int64_t keep)
{
    // The changed chunk, less the last `keep` source bytes, which the next
    // chunk starts with.
    copyOriginalUpTo(m_store.length() - keep);
    const std::error_code error = m_temp.append(m_out.data(), m_out.size());
    if (error) {
        reportTempWriteFailure(error);
        return false;
    }
    if (!m_out.empty()) m_flushedByte = static_cast<unsigned char>(m_out.back());
    m_outputOffset += m_out.size();
    return true;
}

void ReplaceBuffer::reportTempWriteFailure(std::error_code error) { ReportTempWriteFailure(m_run, error); }

bool ReplaceBuffer::finish() { return !m_split || m_utf16 ? finishWhole() : finishSplit(); }

void ReplaceBuffer::reportCommitFailure(std::error_code error) { ReportCommitFailure(m_run, m_file.path(), error); }

bool ReplaceBuffer::finishWhole()
{
    // Nothing was replaced (every candidate lay inside a longer word):
    // the file keeps its bytes and its time stamps.
    if (m_replacements == 0) return true;
    std::string reread;
    std::string_view previous;
    if (m_utf16) {
        previous = m_utf16->completeContents(reread);
        if (m_store.failure()) return false;
    } else {
        copyOriginalUpTo(m_store.length());
        previous = std::string_view(m_store.text(), static_cast<std::size_t>(m_store.length()));
    }
    // A UTF-16 file too large to hold whole is not in memory: the journal reads it.
    const std::string_view* known = previous.size() == m_file.size() ? &previous : nullptr;
    if (m_run.preview) {
        JournalCommitGate gate(m_run, m_file.path(), 0);
        return !commitContents(previous, gate);
    }
    if (m_run.commits && CommitBatch::takes(m_file)) {
        // Committed with others: their syncs are shared.
        const Expected<std::uint64_t> entry = JournalBeforeCommit(m_run, m_file, known, true);
        if (!entry) return false;
        m_queued = m_run.commits->add(std::move(m_file), m_out, previous, entry.value(), m_replacements);
        return m_queued;
    }
    const Expected<std::uint64_t> entry = JournalBeforeCommit(m_run, m_file, known);
    if (!entry) return false;
    const std::uint64_t journalEntry = entry.value();
    JournalCommitGate gate(m_run, m_file.path(), journalEntry);
    const std::error_code error = commitContents(previous, gate);
    JournalAfterCommit(m_run, journalEntry, !error);
    if (error && !gate.failed()) reportCommitFailure(error);
    if (!error && m_run.changed) m_run.changed->note(m_file);
    return !error;
}

bool ReplaceBuffer::finishSplit()
{
    if (!m_finished) return false;
    // Every byte must have arrived before the source is given up.
    if (m_temp.size() != m_outputOffset) {
        reportTempWriteFailure(ErrnoCode(EIO));
        abandon();
        return false;
    }
    std::uint64_t journalEntry = 0;
    if (!m_run.preview) {
        const Expected<std::uint64_t> entry = JournalBeforeCommit(m_run, m_file, nullptr);
        if (!entry) {
            abandon();
            return false;
        }
        journalEntry = entry.value();
    }
    JournalCommitGate gate(m_run, m_file.path(), journalEntry);
    const std::error_code error = installTemporaryFile(gate);
    if (!m_run.preview) JournalAfterCommit(m_run, journalEntry, !error);
    if (error && !gate.failed()) {
        ReportReplaceOriginalFailure(m_run, m_file.path(), error);
    }
    abandon();
    if (!error && m_run.changed) m_run.changed->note(m_file);
    return !error;
}

// The commit points: a preview receives the new contents instead of the file.
std::error_code ReplaceBuffer::commitContents(std::string_view previous, JournalCommitGate& gate)
{
    if (m_run.preview) return m_run.preview->contents(m_file.path(), previous, m_out, m_replacements);
    return CommitContents(m_file, m_out, previous, gate.get());
}

std::error_code ReplaceBuffer::installTemporaryFile(JournalCommitGate& gate)
{
    if (!m_run.preview) return InstallTemporaryFile(m_file, m_temp, gate.get());
    // The unnamed temporary file is read through its descriptor.
    const std::error_code error =
        m_run.preview->splitContents(m_file.path(), "/proc/self/fd/" + std::to_string(m_temp.descriptor()), m_replacements);
    abandon();
    return error;
}

void ReplaceBuffer::abandon()
{
    m_temp.discard();
    m_finished = true;
}

}  // namespace tarnwick
