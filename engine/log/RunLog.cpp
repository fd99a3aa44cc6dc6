#include "engine/log/RunLog.h"

#include "engine/Messages.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace tarnwick {
namespace {

void appendNumber(std::string& out, std::int64_t value)
{
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, result.ptr);
}

}  // namespace

namespace logline {

void Hit(std::string& out, std::string_view path, std::int64_t offset, std::int64_t length, std::string_view context)
{
    out.append(path);
    out.append("; P: ");
    appendNumber(out, offset);
    out.append("; L: ");
    appendNumber(out, length);
    out.append("; T: ");
    out.append(context);
    out.append("\r\n");
}

void Hit(std::string& out, std::string_view path, std::string_view position, std::int64_t length, std::string_view context)
{
    out.append(path);
    out.append("; P: ");
    out.append(position);
    out.append("; L: ");
    appendNumber(out, length);
    out.append("; T: ");
    out.append(context);
    out.append("\r\n");
}

void Replacement(std::string& out, std::string_view path, std::int64_t offset, std::string_view context)
{
    out.append(path);
    out.append("; P: ");
    appendNumber(out, offset);
    out.append("; T: ");
    out.append(context);
    out.append("\r\n");
}

void NameHit(std::string& out, std::string_view reason, std::string_view path)
{
    out.append(reason);
    out.append(path);
    out.append("\r\n");
}

void CannotOpen(std::string& out)
{
    out.append(text::kCannotOpenFile);
    out.append("\r\n");
}

void Message(std::string& out, std::string_view message, std::string_view path)
{
    out.append(message);
    out.append(": ");
    out.append(path);
    out.append("\r\n");
}

}  // namespace logline

void RunLog::append(std::string_view bytes)
{
    while (!bytes.empty()) {
        if (m_pieces.empty() || m_pieces.back().size() >= kPieceSize) {
            m_pieces.emplace_back();
            // The first piece grows as needed, so a short run stays small.
            if (m_pieces.size() > 1) m_pieces.back().reserve(kPieceSize);
        }
        std::string& piece = m_pieces.back();
        const std::size_t n = std::min(bytes.size(), kPieceSize - piece.size());
        piece.append(bytes.data(), n);
        bytes.remove_prefix(n);
    }
}

void RunLog::clear()
{
    std::vector<std::string>().swap(m_pieces);
    std::string().swap(m_line);
}

std::string RunLog::text() const
{
    std::size_t size = 0;
    for (const std::string& piece : m_pieces) size += piece.size();
    std::string text;
    text.reserve(size);
    for (const std::string& piece : m_pieces) text += piece;
    return text;
}

void RunLog::appendHitLine(std::string_view path, std::int64_t offset, std::int64_t length, std::string_view context)
{
    using NumberedHit = void (*)(std::string&, std::string_view, std::int64_t, std::int64_t, std::string_view);
    appendLine(static_cast<NumberedHit>(logline::Hit), path, offset, length, context);
}

void RunLog::appendReplacementLine(std::string_view path, std::int64_t offset, std::string_view context)
{
    appendLine(logline::Replacement, path, offset, context);
}

void RunLog::appendNameHitLine(std::string_view reason, std::string_view path) { appendLine(logline::NameHit, reason, path); }

void RunLog::appendCannotOpenLine() { appendLine(logline::CannotOpen); }

void RunLog::appendMessageLine(std::string_view message, std::string_view path) { appendLine(logline::Message, message, path); }

std::string SearchHeaderLine(std::string_view searchText)
{
    std::string line = text::kSearchFor;
    line += ": ";
    line += searchText;
    return line;
}

namespace {

// A summary with its counters filled in (each a %d of `format`).
template <typename... Counts>
std::string formatCounts(const char* format, Counts... counts)
{
    char buffer[200];
    std::snprintf(buffer, sizeof buffer, format, counts...);
    return buffer;
}

}  // namespace

std::string SearchSummary(std::int32_t hits, std::int32_t files) { return formatCounts(text::kSearchDone, hits, files); }

std::string WithoutHitsSummary(std::int32_t files) { return formatCounts(text::kSearchDoneWithoutHits, files); }

std::string ReplaceSummary(std::int32_t hits, std::int32_t files) { return formatCounts(text::kReplaceDone, hits, files); }

std::string RenameSummary(std::int32_t hits, std::int32_t files) { return formatCounts(text::kRenameDone, hits, files); }

std::string ReplaceHeaderLine(std::string_view searchText, std::string_view replacementText)
{
    std::string line = text::kReplaceHeader;
    line += ' ';
    line += searchText;
    line += ' ';
    line += text::kReplaceBy;
    line += ' ';
    line += replacementText;
    return line;
}

}  // namespace tarnwick
