#include "results/ResultList.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "platform/FreedMemory.h"
#include "results/HitBatch.h"

namespace tarnwick {
namespace {

constexpr std::size_t kKeptNodeBlocks = 64;
// Below this many items a clear leaves the C library's free memory alone.
constexpr std::size_t kItemsWorthReturning = 100'000;

}  // namespace

using Lock = std::lock_guard<std::mutex>;

ResultList::TextRef ResultList::store(std::string_view text) { return m_arena.append(text); }

std::string_view ResultList::view(TextRef ref) const { return m_arena.view(ref); }

std::string ResultList::columnTextLocked(const Node& node, ResultColumn column) const
{
    if (column == ResultColumn::Position && (node.flags & kIsHit) && !node.positionIsText) return std::to_string(node.position);
    return std::string(view(node.text[static_cast<int>(column)]));
}

void ResultList::ClearResults(bool /*redrawSuppressed*/)
{
    TextArena texts;
    std::size_t items = 0;
    {
        Lock lock(m_mutex);
        // Drawing is the view's business; it learns of the change by the revision.
        // About 16 MB of items stay for the next run; beyond, memory goes back.
        items = m_nodes.size();
        m_nodes.clear(kKeptNodeBlocks);
        m_top.clear();
        if (m_top.capacity() > (1u << 16)) m_top.shrink_to_fit();
        std::swap(texts, m_arena);
        m_current = kNoItem;
        m_scrollRequest = kNoItem;
        m_selected.clear();
        ++m_clearCount;
        changed();
    }
    // The texts are freed, and the memory returned, without holding up a reader.
    texts.clear();
    if (items > kItemsWorthReturning) ReturnFreedMemory();
}

void ResultList::SetAutoScroll(bool on)
{
    Lock lock(m_mutex);
    m_autoScroll = on;
}

bool ResultList::AutoScroll() const
{
    Lock lock(m_mutex);
    return m_autoScroll;
}

ItemHandle ResultList::appendTopLevelLocked(std::string_view text, ItemKind kind)
{
    Node node;
    node.text[0] = store(text);
    node.kind = kind;
    node.topRow = static_cast<std::uint32_t>(m_top.size());
    const auto handle = static_cast<ItemHandle>(m_nodes.size());
    m_nodes.push_back(node);
    m_top.push_back(handle);
    m_current = handle;
    changed();
    return handle;
}

ItemHandle ResultList::AddFileItem(std::string_view text, ItemKind kind, bool asChild)
{
    Lock lock(m_mutex);
    if (!asChild) {
        const ItemHandle handle = appendTopLevelLocked(text, kind);
        if (kind == ItemKind::FileNameHit || kind == ItemKind::DirNameHit) m_nodes[handle].flags |= kHasCheckBox;
        return handle;
    }
    if (m_current == kNoItem) return kNoItem;
    Node node;
    node.text[0] = store(text);
    node.kind = kind;
    node.parent = m_current;
    node.flags = kHasCheckBox;
    const auto handle = static_cast<ItemHandle>(m_nodes.size());
    m_nodes.push_back(node);
    ++m_nodes[m_current].childCount;
    changed();
    return handle;
}

ItemHandle ResultList::AddNoteItem(std::string_view text, ItemKind kind, std::int32_t value)
{
    Lock lock(m_mutex);
    const ItemHandle handle = appendTopLevelLocked(text, kind);
    Node& node = m_nodes[handle];
    node.flags |= kHasCheckBox;
    node.dataKind = ItemDataKind::Record;
    node.data1 = value;
    node.data2 = 0;
    if (m_autoScroll) m_scrollRequest = handle;
    return handle;
}

ItemHandle ResultList::addHitLocked(std::int64_t position, std::int64_t matchLength, std::string_view context,
                                    std::int32_t highlightStart, ItemKind kind, std::int64_t highlightLength)
{
    if (m_current == kNoItem) return kNoItem;
    if (highlightLength == -1) highlightLength = matchLength;
    Node node;
    node.text[0] = store(context);
    node.position = position;
    node.highlightStart = highlightStart;
    node.highlightLength = static_cast<std::int32_t>(std::min<std::int64_t>(highlightLength, INT32_MAX));
    node.dataKind = ItemDataKind::Record;
    node.data1 = matchLength;
    node.data2 = highlightLength;
    node.parent = m_current;
    node.flags = kHasCheckBox | kIsHit;
    if (kind != ItemKind::None) node.kind = kind;
    const auto handle = static_cast<ItemHandle>(m_nodes.size());
    m_nodes.push_back(node);
    Node& parent = m_nodes[m_current];
    ++parent.childCount;
    if ((parent.flags & kExpanded) && m_autoScroll) m_scrollRequest = handle;
    changed();
    return handle;
}

ItemHandle ResultList::AddHitItem(std::int64_t position, std::int64_t matchLength, std::string_view context,
                                  std::int32_t highlightStart, ItemKind kind, std::int64_t highlightLength)
{
    Lock lock(m_mutex);
    return addHitLocked(position, matchLength, context, highlightStart, kind, highlightLength);
}

ItemHandle ResultList::AddHitItems(const HitBatch& hits)
{
    Lock lock(m_mutex);
    ItemHandle last = kNoItem;
    for (const HitBatch::Hit& hit : hits.hits())
        last = addHitLocked(hit.position, hit.matchLength, hits.context(hit), hit.highlightStart, hit.kind, hit.highlightLength);
    return last;
}

void ResultList::SetItemColumnText(ItemHandle item, std::string_view text, ResultColumn column)
{
    Lock lock(m_mutex);
    if (!isValid(item) || !isColumn(column)) return;
    m_nodes[item].text[static_cast<int>(column)] = store(text);
    if (column == ResultColumn::Position) m_nodes[item].positionIsText = true;
    changed();
}

bool ResultList::updateLocked(ItemHandle item, ResultColumn column, UpdateWhat what, std::string_view text, ItemKind kind)
{
    if (!isValid(item)) return false;
    Node& node = m_nodes[item];
    if (UpdatesKind(what)) node.kind = kind;
    bool result = true;
    if (UpdatesText(what)) {
        if (!isColumn(column)) {
            result = false;
        } else {
            node.text[static_cast<int>(column)] = store(text);
            if (column == ResultColumn::Position) node.positionIsText = true;
        }
    }
    changed();
    return result;
}

bool ResultList::UpdateItem(ItemHandle item, ResultColumn column, UpdateWhat what, std::string_view text, ItemKind kind)
{
    Lock lock(m_mutex);
    return updateLocked(item, column, what, text, kind);
}

bool ResultList::UpdateCurrentFileItem(ResultColumn column, UpdateWhat what, std::string_view text, ItemKind kind)
{
    Lock lock(m_mutex);
    const bool result = updateLocked(m_current, column, what, text, kind);
    if (result) m_scrollRequest = m_current;
    return result;
}

void ResultList::SetItemData(ItemHandle item, std::int64_t first, std::int64_t second)
{
    Lock lock(m_mutex);
    if (!isValid(item)) return;
    m_nodes[item].dataKind = ItemDataKind::Record;
    m_nodes[item].data1 = first;
    m_nodes[item].data2 = second;
    changed();
}

void ResultList::SetItemDataValue(ItemHandle item, std::int64_t value)
{
    Lock lock(m_mutex);
    if (!isValid(item)) return;
    m_nodes[item].dataKind = ItemDataKind::Plain;
    m_nodes[item].data1 = value;
    m_nodes[item].data2 = 0;
    changed();
}

void ResultList::ScrollToItem(ItemHandle item)
{
    Lock lock(m_mutex);
    if (isValid(item)) m_scrollRequest = item;
}

ItemHandle ResultList::TakeScrollRequest()
{
    Lock lock(m_mutex);
    const ItemHandle item = m_scrollRequest;
    m_scrollRequest = kNoItem;
    return item;
}

ItemHandle ResultList::nextMarkedLocked(std::size_t from) const
{
    // Node order is the depth-first order: each top-level item, then its children.
    for (std::size_t i = from; i < m_nodes.size(); ++i)
        if ((m_nodes[i].flags & (kHasCheckBox | kChecked)) == (kHasCheckBox | kChecked)) return static_cast<ItemHandle>(i);
    return kNoItem;
}

ItemHandle ResultList::FirstMarkedItem() const
{
    Lock lock(m_mutex);
    return nextMarkedLocked(0);
}

ItemHandle ResultList::NextMarkedItem(ItemHandle item) const
{
    Lock lock(m_mutex);
    if (!isValid(item)) return kNoItem;
    return nextMarkedLocked(static_cast<std::size_t>(item) + 1);
}

void ResultList::SetChecked(ItemHandle item, bool checked)
{
    Lock lock(m_mutex);
    if (!isValid(item) || !(m_nodes[item].flags & kHasCheckBox)) return;
    if (checked)
        m_nodes[item].flags |= kChecked;
    else
        m_nodes[item].flags &= static_cast<std::uint8_t>(~kChecked);
    changed();
}

void ResultList::SetHasCheckBox(ItemHandle item, bool hasCheckBox)
{
    Lock lock(m_mutex);
    if (!isValid(item)) return;
    if (hasCheckBox)
        m_nodes[item].flags |= kHasCheckBox;
    else
        m_nodes[item].flags &= static_cast<std::uint8_t>(~(kHasCheckBox | kChecked));
    changed();
}

void ResultList::SetAllChecked(bool checked)
{
    Lock lock(m_mutex);
    for (std::size_t i = 0; i < m_nodes.size(); ++i) {
        Node& node = m_nodes[i];
        if (!(node.flags & kHasCheckBox)) continue;
        if (checked)
            node.flags |= kChecked;
        else
            node.flags &= static_cast<std::uint8_t>(~kChecked);
    }
    changed();
}

std::size_t ResultList::ItemCount() const
{
    Lock lock(m_mutex);
    return m_nodes.size();
}

std::size_t ResultList::TopLevelCount() const
{
    Lock lock(m_mutex);
    return m_top.size();
}

ItemHandle ResultList::TopLevelItem(std::size_t row) const
{
    Lock lock(m_mutex);
    return row < m_top.size() ? m_top[row] : kNoItem;
}

ItemHandle ResultList::FirstTopLevelItem() const { return TopLevelItem(0); }

ItemHandle ResultList::NextSibling(ItemHandle item) const
{
    Lock lock(m_mutex);
    if (!isValid(item)) return kNoItem;
    const Node& node = m_nodes[item];
    if (node.parent == kNoItem) return node.topRow + 1 < m_top.size() ? m_top[node.topRow + 1] : kNoItem;
    const std::size_t next = static_cast<std::size_t>(item) + 1;
    return (next < m_nodes.size() && m_nodes[next].parent == node.parent) ? static_cast<ItemHandle>(next) : kNoItem;
}

ItemHandle ResultList::FirstChild(ItemHandle item) const
{
    Lock lock(m_mutex);
    if (!isValid(item) || m_nodes[item].parent != kNoItem || m_nodes[item].childCount == 0) return kNoItem;
    return item + 1;
}

ItemHandle ResultList::Parent(ItemHandle item) const
{
    Lock lock(m_mutex);
    return isValid(item) ? m_nodes[item].parent : kNoItem;
}

std::size_t ResultList::ChildCount(ItemHandle item) const
{
    Lock lock(m_mutex);
    return (isValid(item) && m_nodes[item].parent == kNoItem) ? m_nodes[item].childCount : 0;
}

ItemHandle ResultList::Child(ItemHandle item, std::size_t row) const
{
    Lock lock(m_mutex);
    if (!isValid(item) || m_nodes[item].parent != kNoItem || row >= m_nodes[item].childCount) return kNoItem;
    return static_cast<ItemHandle>(item + 1 + row);
}

std::size_t ResultList::Row(ItemHandle item) const
{
    Lock lock(m_mutex);
    if (!isValid(item)) return 0;
    const Node& node = m_nodes[item];
    return node.parent == kNoItem ? node.topRow : item - node.parent - 1;
}

bool ResultList::HasChildren(ItemHandle item) const { return ChildCount(item) > 0; }

ItemKind ResultList::Kind(ItemHandle item) const
{
    Lock lock(m_mutex);
    return isValid(item) ? m_nodes[item].kind : ItemKind::None;
}

std::string ResultList::ColumnText(ItemHandle item, ResultColumn column) const
{
    Lock lock(m_mutex);
    if (!isValid(item) || !isColumn(column)) return {};
    return columnTextLocked(m_nodes[item], column);
}

ItemData ResultList::Data(ItemHandle item) const
{
    Lock lock(m_mutex);
    if (!isValid(item)) return {};
    const Node& node = m_nodes[item];
    return {node.dataKind, node.data1, node.data2};
}

bool ResultList::IsChecked(ItemHandle item) const
{
    Lock lock(m_mutex);
    return isValid(item) && (m_nodes[item].flags & kChecked);
}

bool ResultList::HasCheckBox(ItemHandle item) const
{
    Lock lock(m_mutex);
    return isValid(item) && (m_nodes[item].flags & kHasCheckBox);
}

std::optional<ResultItem> ResultList::Item(ItemHandle item) const
{
    Lock lock(m_mutex);
    if (!isValid(item)) return std::nullopt;
    const Node& node = m_nodes[item];
    ResultItem out;
    out.handle = item;
    out.parent = node.parent;
    out.kind = node.kind;
    for (int c = 0; c < kColumnCount; ++c) out.columns[c] = columnTextLocked(node, static_cast<ResultColumn>(c));
    out.isHit = node.flags & kIsHit;
    if (out.isHit) {
        out.highlightStart = node.highlightStart;
        out.highlightEnd = node.highlightStart + node.highlightLength;
    }
    out.data = {node.dataKind, node.data1, node.data2};
    out.hasCheckBox = node.flags & kHasCheckBox;
    out.checked = node.flags & kChecked;
    out.expanded = node.flags & kExpanded;
    return out;
}

ItemHandle ResultList::CurrentFileItem() const
{
    Lock lock(m_mutex);
    return m_current;
}

void ResultList::SetExpanded(ItemHandle item, bool expanded)
{
    Lock lock(m_mutex);
    if (!isValid(item)) return;
    if (expanded)
        m_nodes[item].flags |= kExpanded;
    else
        m_nodes[item].flags &= static_cast<std::uint8_t>(~kExpanded);
}

bool ResultList::IsExpanded(ItemHandle item) const
{
    Lock lock(m_mutex);
    return isValid(item) && (m_nodes[item].flags & kExpanded);
}

void ResultList::SetSelectedItems(std::vector<ItemHandle> items)
{
    Lock lock(m_mutex);
    std::erase_if(items, [&](ItemHandle item) { return !isValid(item); });
    m_selected = std::move(items);
}

std::vector<ItemHandle> ResultList::SelectedItems() const
{
    Lock lock(m_mutex);
    return m_selected;
}

std::uint64_t ResultList::Revision() const
{
    Lock lock(m_mutex);
    return m_revision;
}

std::uint64_t ResultList::ClearCount() const
{
    Lock lock(m_mutex);
    return m_clearCount;
}

}  // namespace tarnwick
