#include "cli/CliPrinter.h"

#include "engine/log/RunLog.h"
#include "platform/FileOps.h"

namespace tarnwick {
namespace {

// Output is handed to the system in pieces of about this size.
constexpr std::size_t kOutputBlock = 64 * 1024;

}  // namespace

CliPrinter::CliPrinter(int outFd, int errFd, ResultList* keepResults, RunLog* keepLog)
    : m_outFd(outFd), m_errFd(errFd), m_keepResults(keepResults), m_keepLog(keepLog)
{
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

void CliPrinter::AppendLog(std::string_view bytes)
{
    if (m_keepLog) m_keepLog->Append(bytes);
    if (!outputClosed()) printLog(bytes);
}

CliPrinter::Item* CliPrinter::find(ItemHandle handle)
{
    for (std::size_t i = 0; i < m_itemCount; ++i)
        if (m_items[i].handle == handle) return &m_items[i];
    return nullptr;
}

ItemHandle CliPrinter::addItem(ItemHandle handle, std::string_view text, ItemKind kind)
{
    if (!m_keepResults) handle = m_nextHandle++ & 0x7FFFFFFFu;
    if (m_itemCount == m_items.size()) m_items.emplace_back();
    Item& item = m_items[m_itemCount++];
    item.handle = handle;
    item.kind = kind;
    item.text.assign(text);
    item.remark.clear();
    return handle;
}

void CliPrinter::apply(Item* item, ResultColumn column, UpdateWhat what, std::string_view text, ItemKind kind)
{
    if (!item) return;
    if (UpdatesText(what)) {
        if (column == ResultColumn::FileOrContext) item->text.assign(text);
        if (column == ResultColumn::Remark) item->remark.assign(text);
    }
    if (UpdatesKind(what)) item->kind = kind;
}

ItemHandle CliPrinter::AddFileItem(std::string_view text, ItemKind kind, bool asChild)
{
    const ItemHandle kept = m_keepResults ? m_keepResults->AddFileItem(text, kind, asChild) : kNoItem;
    return addItem(kept, text, kind);
}

ItemHandle CliPrinter::AddNoteItem(std::string_view text, ItemKind kind, std::int32_t value)
{
    const ItemHandle kept = m_keepResults ? m_keepResults->AddNoteItem(text, kind, value) : kNoItem;
    m_current = addItem(kept, text, kind);
    return m_current;
}

void CliPrinter::AddHitItem(std::int64_t position, std::int64_t matchLength, std::string_view context,
                            std::int32_t highlightStart, ItemKind kind, std::int64_t highlightLength)
{
    if (m_keepResults)
        m_lastHit = m_keepResults->AddHitItem(position, matchLength, context, highlightStart, kind, highlightLength);
}

void CliPrinter::SetLastHitPosition(std::string_view text)
{
    if (m_keepResults) m_keepResults->SetItemColumnText(m_lastHit, text, ResultColumn::Position);
}

void CliPrinter::UpdateItem(ItemHandle item, ResultColumn column, UpdateWhat what, std::string_view text, ItemKind kind)
{
    if (m_keepResults) m_keepResults->UpdateItem(item, column, what, text, kind);
    apply(find(item), column, what, text, kind);
}

void CliPrinter::UpdateCurrentFileItem(ResultColumn column, UpdateWhat what, std::string_view text, ItemKind kind)
{
    if (m_keepResults) m_keepResults->UpdateCurrentFileItem(column, what, text, kind);
    apply(find(m_current), column, what, text, kind);
}

void CliPrinter::SetItemColumnText(ItemHandle item, std::string_view text, ResultColumn column)
{
    if (m_keepResults) m_keepResults->SetItemColumnText(item, text, column);
    apply(find(item), column, UpdateWhat::Text, text, ItemKind::Info);
}

void CliPrinter::SetItemDataValue(ItemHandle item, std::int64_t value)
{
    if (m_keepResults) m_keepResults->SetItemDataValue(item, value);
}

void CliPrinter::ScrollToItem(ItemHandle item)
{
    if (m_keepResults) m_keepResults->ScrollToItem(item);
}

void CliPrinter::printErrors()
{
    std::string line;
    for (std::size_t i = 0; i < m_itemCount; ++i) {
        const Item& item = m_items[i];
        if (item.kind != ItemKind::Error) continue;
        // A reader of both streams sees the error after the lines before it.
        if (line.empty()) flush();
        ++m_errorCount;
        line.assign(item.text);
        if (!item.remark.empty()) line.append(": ").append(item.remark);
        line.push_back('\n');
        WriteAll(m_errFd, line.data(), line.size());
    }
    m_itemCount = 0;
    m_current = kNoItem;
}

void CliPrinter::EndOfOutcome()
{
    if (!m_out.empty()) handOver(false);
    printErrors();
}

}  // namespace tarnwick
