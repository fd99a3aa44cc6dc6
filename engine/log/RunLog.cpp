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

void RunLog::AppendHitLine(std::string_view path, std::int64_t offset, std::int64_t length, std::string_view context)
{
    m_text.append(path);
    m_text.append("; P: ");
    appendNumber(m_text, offset);
    m_text.append("; L: ");
    appendNumber(m_text, length);
    m_text.append("; T: ");
    m_text.append(context);
    m_text.append("\r\n");
}

void RunLog::AppendReplacementLine(std::string_view path, std::int64_t offset, std::string_view context)
{
    m_text.append(path);
    m_text.append("; P: ");
    appendNumber(m_text, offset);
    m_text.append("; T: ");
    m_text.append(context);
    m_text.append("\r\n");
}

void RunLog::AppendNameHitLine(std::string_view reason, std::string_view path)
{
    m_text.append(reason);
    m_text.append(path);
    m_text.append("\r\n");
}

void RunLog::AppendCannotOpenLine()
{
    m_text.append(text::kCannotOpenFile);
    m_text.append("\r\n");
}

void RunLog::AppendMessageLine(std::string_view message, std::string_view path)
{
    m_text.append(message);
    m_text.append(": ");
    m_text.append(path);
    m_text.append("\r\n");
}

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
