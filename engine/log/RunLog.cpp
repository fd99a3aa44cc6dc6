#include "engine/log/RunLog.h"

#include "engine/Messages.h"

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

void RunLog::AppendHitLine(std::string_view path, std::int64_t offset, std::int64_t length, std::string_view context)
{
    logline::Hit(m_text, path, offset, length, context);
}

void RunLog::AppendReplacementLine(std::string_view path, std::int64_t offset, std::string_view context)
{
    logline::Replacement(m_text, path, offset, context);
}

void RunLog::AppendNameHitLine(std::string_view reason, std::string_view path) { logline::NameHit(m_text, reason, path); }

void RunLog::AppendCannotOpenLine() { logline::CannotOpen(m_text); }

void RunLog::AppendMessageLine(std::string_view message, std::string_view path) { logline::Message(m_text, message, path); }

std::string SearchHeaderLine(std::string_view searchText)
{
    std::string line = text::kSearchFor;
    line += ": ";
    line += searchText;
    return line;
}

namespace {

std::string formatCounts(const char* format, std::int32_t hits, std::int32_t files)
{
    char buffer[200];
    std::snprintf(buffer, sizeof buffer, format, hits, files);
    return buffer;
}

}  // namespace

std::string SearchSummary(std::int32_t hits, std::int32_t files) { return formatCounts(text::kSearchDone, hits, files); }

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
