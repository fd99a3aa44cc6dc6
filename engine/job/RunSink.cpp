#include "engine/job/RunSink.h"

#include "engine/log/RunLog.h"

namespace tarnwick {

void RunSink::LogHitLine(std::string_view path, std::int64_t offset, std::int64_t length, std::string_view context)
{
    m_line.clear();
    logline::Hit(m_line, path, offset, length, context);
    AppendLog(m_line);
}

void RunSink::LogHitLine(std::string_view path, std::string_view position, std::int64_t length, std::string_view context)
{
    m_line.clear();
    logline::Hit(m_line, path, position, length, context);
    AppendLog(m_line);
}

void RunSink::LogReplacementLine(std::string_view path, std::int64_t offset, std::string_view context)
{
    m_line.clear();
    logline::Replacement(m_line, path, offset, context);
    AppendLog(m_line);
}

void RunSink::LogNameHitLine(std::string_view reason, std::string_view path)
{
    m_line.clear();
    logline::NameHit(m_line, reason, path);
    AppendLog(m_line);
}

void RunSink::LogCannotOpenLine()
{
    m_line.clear();
    logline::CannotOpen(m_line);
    AppendLog(m_line);
}

void RunSink::LogMessageLine(std::string_view message, std::string_view path)
{
    m_line.clear();
    logline::Message(m_line, message, path);
    AppendLog(m_line);
}

}  // namespace tarnwick
