#include "cli/CliPrinter.h"

#include "engine/job/RunEventLines.h"
#include "engine/log/RunLog.h"
#include "platform/FileOps.h"

namespace tarnwick {
namespace {

// Output is handed to the system in pieces of about this size.
constexpr std::size_t kOutputBlock = 64 * 1024;

}  // namespace

CliPrinter::CliPrinter(int outFd, int errFd, ResultList* keepResults, RunLog* keepLog)
    : m_outFd(outFd), m_errFd(errFd), m_keepLog(keepLog)
{
    if (keepResults) m_keepResults.emplace(*keepResults);
    m_out.reserve(2 * kOutputBlock);
}

CliPrinter::~CliPrinter() = default;

void CliPrinter::flush() { handOver(true); }

void CliPrinter::handOver(bool now)
{
    std::lock_guard lock(m_waitingMutex);
    if (m_waiting.empty()) {
        m_waiting.swap(m_out);
        m_waitingSince = std::chrono::steady_clock::now();
    } else {
        m_waiting.append(m_out);
    }
    m_out.clear();
    if (now || m_waiting.size() >= kOutputBlock) writeWaiting();
}

void CliPrinter::flushStale(std::chrono::steady_clock::duration age)
{
    std::lock_guard lock(m_waitingMutex);
    if (!m_waiting.empty() && std::chrono::steady_clock::now() - m_waitingSince >= age) writeWaiting();
}

void CliPrinter::writeWaiting()
{
    if (m_waiting.empty()) return;
    if (!m_closed.load(std::memory_order_relaxed) && WriteAll(m_outFd, m_waiting.data(), m_waiting.size())) {
        // The reader has gone (EPIPE) or the output cannot take more: there
        // is no one to print for, so the run ends.
        m_closed.store(true, std::memory_order_relaxed);
        if (m_onClosed) m_onClosed();
    }
    m_waiting.clear();
}

void CliPrinter::printLog(std::string_view bytes)
{
    // CR LF becomes LF; everything else goes out as it is.
    std::size_t start = 0;
    for (std::size_t cr = bytes.find("\r\n"); cr != std::string_view::npos; cr = bytes.find("\r\n", start)) {
        m_out.append(bytes.data() + start, cr - start);
        m_out.push_back('\n');
        start = cr + 2;
    }
    m_out.append(bytes.data() + start, bytes.size() - start);
    if (m_out.size() >= kOutputBlock) handOver(true);
}

template <typename Event>
void CliPrinter::printLine(const Event& event)
{
    m_line.clear();
    if (!AppendRunLogLine(m_line, event)) return;
    if (m_keepLog) m_keepLog->append(m_line);
    if (!outputClosed()) printLog(m_line);
}

CliPrinter::Item& CliPrinter::addItem(std::string_view text)
{
    if (m_itemCount == m_items.size()) m_items.emplace_back();
    Item& item = m_items[m_itemCount++];
    item.error = false;
    item.text.assign(text);
    item.remark.clear();
    return item;
}

SinkReply CliPrinter::onBeginEntry(const EntryStart& entry)
{
    if (m_keepResults) m_keepResults->beginEntry(entry);
    addItem(entry.path);
    m_current = m_itemCount - 1;
    return reply();
}

SinkReply CliPrinter::onHit(const HitEvent& hit)
{
    if (m_keepResults) m_keepResults->hit(hit);
    printLine(hit);
    return reply();
}

SinkReply CliPrinter::onNameHit(const NameHitEvent& hit)
{
    if (m_keepResults) m_keepResults->nameHit(hit);
    printLine(hit);
    return reply();
}

SinkReply CliPrinter::onError(const RunError& error)
{
    if (m_keepResults) m_keepResults->error(error);
    printLine(error);
    // Printed as the list shows it: the path and the message, or the message alone.
    switch (error.place) {
    case ErrorPlace::Entry:
    case ErrorPlace::Occurrence: {
        Item& item = addItem(error.path);
        item.error = true;
        item.remark.assign(error.message);
        break;
    }
    case ErrorPlace::Message: addItem(error.message).error = true; break;
    case ErrorPlace::CurrentEntry:
        if (m_current < m_itemCount) {
            m_items[m_current].error = true;
            m_items[m_current].remark.assign(error.message);
        }
        break;
    }
    return reply();
}

SinkReply CliPrinter::onNote(const RunNote& note)
{
    if (m_keepResults) m_keepResults->note(note);
    printLine(note);
    return reply();
}

void CliPrinter::printErrors()
{
    std::string line;
    for (std::size_t i = 0; i < m_itemCount; ++i) {
        const Item& item = m_items[i];
        if (!item.error) continue;
        // A reader of both streams sees the error after the lines before it.
        if (line.empty()) flush();
        ++m_errorCount;
        line.assign(item.text);
        if (!item.remark.empty()) line.append(": ").append(item.remark);
        line.push_back('\n');
        WriteAll(m_errFd, line.data(), line.size());
    }
    m_itemCount = 0;
    m_current = SIZE_MAX;
}

SinkReply CliPrinter::onEndEntry(const EntryEnd& end)
{
    if (m_keepResults) m_keepResults->endEntry(end);
    if (!m_out.empty()) handOver(false);
    printErrors();
    return reply();
}

SinkReply CliPrinter::onEndOfRun() { return onEndEntry({}); }

}  // namespace tarnwick
