#include "engine/walk/InsideSearch.h"

#include "engine/content/ContentSearch.h"
#include "engine/content/FileBuffer.h"
#include "engine/inside/ArchiveReader.h"
#include "engine/inside/InsidePath.h"
#include "engine/inside/OfficeText.h"
#include "engine/inside/PdfPages.h"
#include "engine/job/RunContext.h"
#include "engine/job/RunReports.h"
#include "engine/walk/EntryFilter.h"
#include "engine/walk/NameSearch.h"
#include "engine/walk/StreamSource.h"
#include "platform/InputFile.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

namespace tarnwick {
namespace {

using inside::InsideErrorKind;
using inside::InsideFormat;

void reportInsideError(RunContext& run, const std::string& path, const Failure& failure)
{
    switch (inside::InsideKindOf(failure)) {
    case InsideErrorKind::Encrypted: ReportInsideEncrypted(run, path, failure.detail); break;
    case InsideErrorKind::ExpandsTooFar: ReportInsideExpandsTooFar(run, path, failure.detail); break;
    case InsideErrorKind::CannotOpen:
    case InsideErrorKind::Damaged: ReportInsideDamaged(run, path, failure.detail); break;
    }
    run.sink.endEntry();
}

// What the file's name and first bytes say; None when it cannot be read
// (the ordinary search then reports why).
InsideFormat sniff(const std::string& path)
{
    InputFile file;
    if (file.open(path)) return InsideFormat::None;
    char head[inside::kSniffLength];
    const Expected<std::size_t> got = file.readAt(0, head, sizeof head);
    if (!got) return InsideFormat::None;
    return inside::SniffInsideFormat(path, std::string_view(head, got.value()));
}

// The bytes a split chunk reads again from the one before it, with room.
std::size_t overlapBytes(const RunContext& run)
{
    const std::size_t overlap = std::max<std::size_t>(run.job.splitMaxOffset, 4 * run.searchText.size());
    return std::min<std::size_t>(overlap, std::max<std::uint32_t>(run.job.splitLength, 1)) + 64;
}

class InnerFileSearch final : public inside::InnerFileVisitor {
public:
    // An archive the list of file types names ("*.gz") is searched whole;
    // otherwise its files are held to the list.
    InnerFileSearch(RunContext& run, const EntryFilter& filter, bool archiveTyped)
        : m_run(run), m_filter(filter), m_archiveTyped(archiveTyped)
    {
    }

    void visitFile(const inside::InnerFile& file, inside::ByteReader& bytes) override
    {
        // An inner file passes the filters a file on disk passes, its size
        // where the archive states it.
        if (!(m_archiveTyped || m_filter.passesType(file.name)) || !m_filter.passesNameStrings(file.name)) return;
        if (file.size && !m_filter.passesSize(*file.size)) return;
        if (m_run.job.searchContents) {
            StreamSource source(bytes, overlapBytes(m_run));
            FileBuffer buffer(m_run, source, file.size);
            const Expected<std::int64_t> found = SearchBufferContents(m_run, buffer, file.path);
            // The walk reports a failed read of the inner file itself, under its name.
            if (!found && source.readerFailed()) return;
            if (!found) {
                // The archive is read no further.
                failure = found.error();
                return;
            }
            hits += found.value();
        }
        if (m_run.job.searchFileNames) CheckFileName(m_run, file.path, file.name);
        m_run.sink.endEntry();
    }

    void visitError(const std::string& path, const Failure& error) override
    {
        // After a failure the walk only winds up: the failure is the file's one error.
        if (!failure) reportInsideError(m_run, path, error);
    }

    bool isStopRequested() const override { return failure || m_run.stopRequested(); }

    std::int64_t hits = 0;
    std::optional<Failure> failure;  // what ended the search of an inner file

private:
    RunContext& m_run;
    const EntryFilter& m_filter;
    bool m_archiveTyped;
};

// Searches one page, sheet or slide as UTF-8 text: the text follows a
// UTF-8 mark, so that it is read as UTF-8 whatever the run's detection.
class PageSource final : public ByteSource {
public:
    explicit PageSource(const std::string& text) : m_text(text) {}

    Expected<std::size_t> read(std::uint64_t offset, char* buffer, std::size_t n) override
    {
        std::size_t done = 0;
        for (; done < n && offset + done < kMark.size(); ++done) buffer[done] = kMark[offset + done];
        const std::uint64_t at = offset + done;
        if (at >= kMark.size() && done < n) {
            const std::uint64_t from = at - kMark.size();
            if (from < m_text.size()) {
                const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(n - done, m_text.size() - from));
                std::memcpy(buffer + done, m_text.data() + from, count);
                done += count;
            }
        }
        return done;
    }

    std::uint64_t length() const { return kMark.size() + m_text.size(); }
    static constexpr std::string_view kMark = "\xEF\xBB\xBF";

private:
    const std::string& m_text;
};

Expected<std::int64_t> searchPage(RunContext& run, const std::string& path, const inside::TextPage& page)
{
    if (!run.job.searchContents || run.stopRequested()) return 0;
    const std::string name = inside::InsidePath(path, page.name);
    PageSource source(page.text);
    FileBuffer buffer(run, source, source.length());
    const CharacterPositions characters{page.text, static_cast<std::int64_t>(PageSource::kMark.size())};
    const Expected<std::int64_t> hits = SearchBufferContents(run, buffer, name, &characters);
    if (hits) run.sink.endEntry();
    return hits;
}

Expected<std::int64_t> searchPdf(RunContext& run, const std::string& path)
{
    const Expected<inside::PdfPages> pdf = inside::PdfPages::open(path);
    if (!pdf) {
        reportInsideError(run, path, pdf.error());
        return 0;
    }
    std::int64_t hits = 0;
    for (int number = 1; number <= pdf.value().pageCount() && !run.stopRequested(); ++number) {
        const Expected<inside::TextPage> page = pdf.value().page(number);
        if (!page) {
            // One unreadable page: the others are still searched.
            reportInsideError(run, inside::InsidePath(path, inside::PdfPages::pageName(number)), page.error());
            continue;
        }
        const Expected<std::int64_t> found = searchPage(run, path, page.value());
        if (!found) return found.error();
        hits += found.value();
    }
    return hits;
}

Expected<std::int64_t> searchPackage(RunContext& run, const std::string& path, InsideFormat format)
{
    const Expected<std::vector<inside::TextPage>> pages =
        format == InsideFormat::Spreadsheet ? inside::ReadSpreadsheetText(path) : inside::ReadPresentationText(path);
    if (!pages) {
        reportInsideError(run, path, pages.error());
        return 0;
    }
    std::int64_t hits = 0;
    for (const inside::TextPage& page : pages.value()) {
        const Expected<std::int64_t> found = searchPage(run, path, page);
        if (!found) return found.error();
        hits += found.value();
    }
    return hits;
}

}  // namespace

Expected<InsideOutcome> SearchInside(RunContext& run, const EntryFilter& filter, const std::string& path)
{
    if (!run.job.searchInside) return InsideOutcome{};
    const InsideFormat format = sniff(path);
    InsideOutcome outcome{format != InsideFormat::None, 0};
    switch (format) {
    case InsideFormat::None: break;
    case InsideFormat::Archive:
    case InsideFormat::Compressed: {
        InnerFileSearch search(run, filter, filter.typeListed(path));
        inside::ReadArchive(path, format, search);
        if (search.failure) return *search.failure;
        outcome.hits = search.hits;
        break;
    }
    case InsideFormat::Pdf:
    case InsideFormat::Spreadsheet:
    case InsideFormat::Presentation: {
        const Expected<std::int64_t> hits = format == InsideFormat::Pdf ? searchPdf(run, path) : searchPackage(run, path, format);
        if (!hits) return hits.error();
        outcome.hits = hits.value();
        break;
    }
    }
    return outcome;
}

}  // namespace tarnwick

namespace tarnwick {

Expected<void> SearchFileOrInside(RunContext& run, const EntryFilter& filter, const std::string& path, FileLocation location)
{
    const Expected<InsideOutcome> inside = SearchInside(run, filter, path);
    if (!inside) return inside.error();
    if (inside.value().searchedInside) return succeeded();
    return SearchFileContents(run, path, location);
}

}  // namespace tarnwick
