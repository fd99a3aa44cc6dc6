#include "engine/inside/InnerFileExtract.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <vector>

#include "engine/inside/InsideFormat.h"
#include "engine/inside/InsideMessages.h"
#include "engine/inside/InsidePath.h"
#include "engine/inside/OfficeText.h"
#include "engine/inside/PdfPages.h"

namespace tarnwick::inside {
namespace {

bool isRegularFile(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string firstBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::string head(kSniffLength, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
    return head;
}

// Keeps the bytes of the one inner file asked for and stops the walk there.
class ExtractingVisitor : public InnerFileVisitor {
public:
    ExtractingVisitor(const std::string& wanted, std::uint64_t maxBytes) : m_wanted(wanted), m_maxBytes(maxBytes) {}

    void visitFile(const InnerFile& file, ByteReader& bytes) override
    {
        if (file.path != m_wanted) return;
        // Recorded here: the walk reports only what the reader failed with.
        if (file.size && *file.size > m_maxBytes) return tooLarge();
        std::vector<char> piece(64 * 1024);
        for (;;) {
            const Expected<std::size_t> got = bytes.read(piece.data(), piece.size());
            if (!got) return;  // the walk hands it to visitError
            if (got.value() == 0) break;
            if (m_bytes.size() + got.value() > m_maxBytes) return tooLarge();
            m_bytes.append(piece.data(), got.value());
        }
        m_found = true;
    }

    // Only a failure on the way to the wanted file, or of it, concerns the
    // caller: the archive that holds it, or the file itself.
    void visitError(const std::string& path, const Failure& error) override
    {
        const bool onTheWay = path == m_wanted ||
            (m_wanted.size() > path.size() && m_wanted.compare(0, path.size(), path) == 0 &&
             m_wanted.compare(path.size(), kInsideSeparator.size(), kInsideSeparator) == 0);
        if (onTheWay && !m_error) m_error = error;
    }

    bool isStopRequested() const override { return m_found || m_error.has_value(); }

    Expected<std::string> take()
    {
        if (m_found) return std::move(m_bytes);
        if (m_error) return *m_error;
        return InsideFailure(InsideErrorKind::CannotOpen, text::kInsideEntryMissing);
    }

private:
    void tooLarge()
    {
        m_bytes.clear();
        m_error = InsideFailure(InsideErrorKind::ExpandsTooFar, text::kInsideTooLargeToShow);
    }

    const std::string& m_wanted;
    std::uint64_t m_maxBytes;
    std::string m_bytes;
    bool m_found = false;
    std::optional<Failure> m_error;
};

Expected<InnerContent> pageText(const Expected<std::vector<TextPage>>& pages, const std::string& name)
{
    if (!pages) return pages.error();
    const auto page = std::find_if(pages.value().begin(), pages.value().end(), [&](const TextPage& p) { return p.name == name; });
    if (page == pages.value().end()) return InsideFailure(InsideErrorKind::CannotOpen, text::kInsidePageMissing);
    return InnerContent{page->text, true};
}

Expected<InnerContent> pdfPageText(const OuterFileSplit& split)
{
    const std::optional<int> number = PdfPageOf(split);
    const Expected<PdfPages> pages = PdfPages::open(split.outer);
    if (!pages) return pages.error();
    if (!number || *number < 1 || *number > pages.value().pageCount())
        return InsideFailure(InsideErrorKind::CannotOpen, text::kInsidePageMissing);
    Expected<TextPage> page = pages.value().page(*number);
    if (!page) return page.error();
    return InnerContent{std::move(page).value().text, true};
}

}  // namespace

std::optional<OuterFileSplit> SplitAtOuterFile(std::string_view composite)
{
    for (std::size_t at = composite.rfind(kInsideSeparator); at != std::string_view::npos && at > 0;
         at = composite.rfind(kInsideSeparator, at - 1)) {
        std::string outer(composite.substr(0, at));
        if (isRegularFile(outer))
            return OuterFileSplit{std::move(outer), std::string(composite.substr(at + kInsideSeparator.size()))};
    }
    return std::nullopt;
}

std::optional<int> PdfPageOf(const OuterFileSplit& split)
{
    std::string suffix = split.outer.substr(split.outer.size() - std::min<std::size_t>(split.outer.size(), 4));
    std::transform(suffix.begin(), suffix.end(), suffix.begin(), [](unsigned char c) { return std::tolower(c); });
    const std::string_view prefix = text::kInsidePdfPage;
    const std::string& name = split.inner;
    if (suffix != ".pdf" || name.size() <= prefix.size() || name.size() - prefix.size() > 8 ||
        name.compare(0, prefix.size(), prefix) != 0 || name.find_first_not_of("0123456789", prefix.size()) != std::string::npos)
        return std::nullopt;
    return std::stoi(name.substr(prefix.size()));
}

Expected<InnerContent> ExtractInnerFile(const std::string& composite, std::uint64_t maxBytes, const ArchiveLimits& limits)
{
    const std::optional<OuterFileSplit> split = SplitAtOuterFile(composite);
    if (!split) return InsideFailure(InsideErrorKind::CannotOpen, text::kInsideEntryMissing);
    const InsideFormat format = SniffInsideFormat(split->outer, firstBytes(split->outer));
    switch (format) {
    case InsideFormat::Archive:
    case InsideFormat::Compressed: {
        ExtractingVisitor visitor(composite, maxBytes);
        ReadArchive(split->outer, format, visitor, limits);
        Expected<std::string> bytes = visitor.take();
        if (!bytes) return bytes.error();
        return InnerContent{std::move(bytes).value(), false};
    }
    case InsideFormat::Pdf: return pdfPageText(*split);
    case InsideFormat::Spreadsheet: return pageText(ReadSpreadsheetText(split->outer), split->inner);
    case InsideFormat::Presentation: return pageText(ReadPresentationText(split->outer), split->inner);
    case InsideFormat::None: break;
    }
    return InsideFailure(InsideErrorKind::CannotOpen, text::kInsideEntryMissing);
}

}  // namespace tarnwick::inside
