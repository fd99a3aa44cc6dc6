#include "engine/replace/MarkedFileEditor.h"

#include "engine/Messages.h"
#include "engine/job/RunContext.h"
#include "engine/job/RunReplacement.h"
#include "engine/job/RunReports.h"
#include "engine/job/SearchJob.h"
#include "engine/match/ChunkStore.h"
#include "engine/match/PatternCache.h"
#include "engine/match/Utf16Pattern.h"
#include "engine/match/Utf16Units.h"
#include "engine/replace/JournalHooks.h"
#include "engine/replace/ReplaceTempFile.h"
#include "platform/CodePage.h"
#include "platform/FileCommit.h"
#include "platform/SystemError.h"

#include <unistd.h>

#include <algorithm>
#include <vector>

namespace tarnwick {

MarkedFileEditor::MarkedFileEditor(RunContext& run) : m_run(run) {}

MarkedFileEditor::~MarkedFileEditor() { abandon(); }

std::error_code MarkedFileEditor::open(const std::string& path) { return m_file.open(path, InputFile::Mode::Replace); }

Expected<void> MarkedFileEditor::begin()
{
    const std::uint64_t length = m_file.size();
    const std::uint64_t split = std::max<std::uint32_t>(m_run.job.splitLength, 1);
    m_split = static_cast<double>(length) > 1.1 * static_cast<double>(split);
    ChunkStore store(m_file, m_run.job, m_run.codePage, m_run.buffers);
    const Encoding encoding = store.detectEncodingFromFile(length);
    if (const Failure* failure = store.failure()) {
        m_readFailure = *failure;
        return *failure;
    }
    m_pattern = &m_run.patterns.forEncoding(encoding);
    m_replacement = encoding == Encoding::Utf8 ? m_run.codePage.ansiToUtf8(m_run.replacementText) : m_run.replacementText;
    m_utf16 = IsUtf16(encoding);
    m_bigEndian = encoding == Encoding::Utf16BigEndian;
    if (m_utf16) m_replacement = EncodeUtf16(m_run.replacementText, m_run.codePage, m_bigEndian);
    m_captures = UsesCaptures(m_run.job);
    m_style = ReplacementStyleOf(m_run.job, m_run.codePage, encoding == Encoding::Utf8);
    if (m_utf16) m_replacementUnits = ToUtf16Units(m_run.replacementText, m_run.codePage);
    if (m_captures && m_utf16) m_utf16Format = word::ToFormatCodePoints(ToUtf16Units(m_run.replacementText, m_run.codePage));
    if (!m_split) {
        m_text.resize(length);
        const Expected<std::size_t> got = readAt(0, m_text.data(), length);
        if (!got) return got.error();
        m_text.resize(got.value());
        return succeeded();
    }
    // The temporary file is made beside the file it will replace: pinned now.
    std::error_code error = m_file.pin();
    if (!error) error = CreateReplaceTempFile(m_run.job, m_file, m_temp);
    if (error) return systemFailure(error, TempCreateFailureText(error));
    return succeeded();
}

Expected<std::size_t> MarkedFileEditor::readAt(std::uint64_t offset, char* buffer, std::size_t n)
{
    Expected<std::size_t> got = m_file.readAt(offset, buffer, n);
    if (!got && !m_readFailure) m_readFailure = got.error();
    return got;
}

bool MarkedFileEditor::holdsUtf16Text(const char* bytes, std::int64_t length)
{
    if (length % 2 != 0) return false;
    std::u16string& units = m_units;
    units.assign(static_cast<std::size_t>(length / 2), u'\0');
    DecodeUtf16(bytes, units.size(), m_bigEndian, units.data());
    const Utf16Pattern& pattern = m_run.patterns.forUtf16();
    if (m_run.job.regularExpression) {
        if (!pattern.regex) return false;
        using Iterator = word::CodePointIterator<const UChar*>;
        const UChar* first = units.data();
        const UChar* last = first + units.size();
        return boost::regex_match(Iterator(first, first, last), Iterator(last, first, last), m_utf16Match, *pattern.regex);
    }
    if (!m_run.job.matchCase) FoldUtf16(units.data(), units.data(), units.size());
    return units == pattern.units;
}

bool MarkedFileEditor::holdsSearchText(const char* bytes, std::int64_t length)
{
    if (m_utf16) return holdsUtf16Text(bytes, length);
    const std::string& search = m_pattern->searchBytes;
    if (m_run.job.regularExpression)
        return m_pattern->regex && boost::regex_match(bytes, bytes + length, m_match, *m_pattern->regex);
    if (length != static_cast<std::int64_t>(search.size())) return false;
    if (m_run.job.matchCase) return std::equal(search.begin(), search.end(), bytes);
    std::string folded(bytes, static_cast<std::size_t>(length));
    if (m_pattern->utf8)
        CodePage::foldUtf8Text(folded.data(), folded.data(), folded.size());
    else
        m_run.codePage.foldCase(folded.data(), folded.data(), folded.size());
    return folded == search;
}

bool MarkedFileEditor::copySourceTo(std::uint64_t end)
{
    std::vector<char> block(1 << 20);
    while (m_sourceOffset < end) {
        const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(block.size(), end - m_sourceOffset));
        const Expected<std::size_t> read = readAt(m_sourceOffset, block.data(), want);
        if (!read) return false;
        const std::size_t got = read.value();
        if (got < want || m_temp.append(block.data(), got)) return false;
        m_sourceOffset += got;
    }
    return true;
}

const std::string& MarkedFileEditor::insertion(std::string_view hit)
{
    if (!m_captures && !m_style.preserveCase) return m_replacement;
    m_formatted.clear();
    if (!m_utf16) {
        AppendReplacement(m_style, m_replacement, hit, m_match, m_filled, m_formatted);
        return m_formatted;
    }
    m_formattedUnits.clear();
    if (m_captures)
        word::AppendExpressionFormat(m_utf16Match, m_utf16Format, *m_run.patterns.forUtf16().regex, m_formattedUnits);
    else
        m_formattedUnits = m_replacementUnits;
    if (m_style.preserveCase) {
        // m_units may hold the hit folded: decoded again as it is.
        m_hitUnits.resize(hit.size() / 2);
        DecodeUtf16(hit.data(), m_hitUnits.size(), m_bigEndian, m_hitUnits.data());
        m_casedUnits.clear();
        AppendCasePreserved(m_hitUnits, m_formattedUnits, m_casedUnits);
        m_formattedUnits.swap(m_casedUnits);
    }
    AppendUtf16Bytes(m_formattedUnits, m_bigEndian, m_formatted);
    return m_formatted;
}

bool MarkedFileEditor::replaceAt(std::int64_t position, std::int64_t length)
{
    if (position < 0 || length < 0) return false;
    if (!m_split) {
        if (position + length > static_cast<std::int64_t>(m_text.size())) return false;
        if (!holdsSearchText(m_text.data() + position, length)) return false;
        // Formatted before the text changes under the match.
        const std::string& inserted =
            insertion(std::string_view(m_text).substr(static_cast<std::size_t>(position), static_cast<std::size_t>(length)));
        m_insertedLength = static_cast<std::int64_t>(inserted.size());
        m_text.replace(static_cast<std::size_t>(position), static_cast<std::size_t>(length), inserted);
        m_changed = true;
        return true;
    }
    // Positions come in increasing order; the stored position is one in the
    // changed file, so the growth so far leads back to the source.
    const std::int64_t source = position - m_delta;
    if (source < static_cast<std::int64_t>(m_sourceOffset) || static_cast<std::uint64_t>(source + length) > m_file.size())
        return false;
    std::string old(static_cast<std::size_t>(length), '\0');
    const Expected<std::size_t> got = readAt(static_cast<std::uint64_t>(source), old.data(), old.size());
    if (!got || got.value() != old.size()) return false;
    // Streamed files are checked like files in memory.
    if (!holdsSearchText(old.data(), length)) return false;
    const std::string& inserted = insertion(old);
    m_insertedLength = static_cast<std::int64_t>(inserted.size());
    if (!copySourceTo(static_cast<std::uint64_t>(source))) return false;
    if (m_temp.append(inserted.data(), inserted.size())) return false;
    m_sourceOffset = static_cast<std::uint64_t>(source + length);
    m_delta += m_insertedLength - length;
    m_changed = true;
    return true;
}

Expected<void> MarkedFileEditor::finish()
{
    if (!m_changed) {
        abandon();
        return succeeded();
    }
    if (!m_split) {
        // The previous contents are read again only for a hard-linked file
        // whose in-place rewrite must be undone.
        std::string previous;
        if (m_file.linkCount() > 1) {
            previous.resize(m_file.size());
            const Expected<std::size_t> got = readAt(0, previous.data(), previous.size());
            if (!got) return got.error();
            previous.resize(got.value());
        }
        const Expected<std::uint64_t> entry = JournalBeforeCommit(m_run, m_file, nullptr);
        if (!entry) return systemFailure(entry.error().code, text::kFileNotChanged);
        const std::uint64_t journalEntry = entry.value();
        JournalCommitGate gate(m_run, m_file.path(), journalEntry);
        const std::error_code error = CommitContents(m_file, m_text, previous, gate.get());
        JournalAfterCommit(m_run, journalEntry, !error);
        if (error) return systemFailure(error, gate.failed() ? text::kFileNotChanged : text::kSaveFileFailed);
        m_changed = false;
        return succeeded();
    }
    const bool copied = copySourceTo(m_file.size());
    if (m_readFailure) return *m_readFailure;
    std::error_code error = copied ? std::error_code() : ErrnoCode(EIO);
    if (!error) error = m_temp.finishWriting();
    if (!error && m_temp.size() != static_cast<std::uint64_t>(static_cast<std::int64_t>(m_file.size()) + m_delta))
        error = ErrnoCode(EIO);
    std::uint64_t journalEntry = 0;
    if (!error) {
        const Expected<std::uint64_t> entry = JournalBeforeCommit(m_run, m_file, nullptr);
        if (!entry) {
            abandon();
            return systemFailure(entry.error().code, text::kFileNotChanged);
        }
        journalEntry = entry.value();
    }
    if (!error) {
        JournalCommitGate gate(m_run, m_file.path(), journalEntry);
        error = InstallTemporaryFile(m_file, m_temp, gate.get());
        JournalAfterCommit(m_run, journalEntry, !error);
        if (error && gate.failed()) {
            abandon();
            return systemFailure(error, text::kFileNotChanged);
        }
    }
    if (error) {
        abandon();
        return systemFailure(error,
                             std::string(text::kReplaceOriginalFailed) + " " + m_file.path() + ": " + SystemErrorText(error));
    }
    m_changed = false;
    return succeeded();
}

void MarkedFileEditor::abandon()
{
    m_temp.discard();
    m_changed = false;
}

}  // namespace tarnwick
