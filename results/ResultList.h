#pragma once
// The one store of what a run found: a two-level tree of result items under
// an invisible root. Top-level items (files, errors, info lines, name hits)
// keep the order in which they were added; hits are children of the file item
// that was current when they were added.
//
// Ownership: the store owns every item and its texts (kept in one arena).
// Thread safety: every member may be called from any thread; one writer (the
// worker) and one reader (the user interface) at a time is the intended use.
// Handles are plain indices; they stay valid until the next ClearResults.
//
// Failures in this layer: an operation on a handle that is no longer valid
// (the list was cleared meanwhile) does nothing and returns false or an
// empty value, as the other thread may legitimately have cleared it. File
// work (ExportFile, CXmlDocument) passes the platform's std::error_code on,
// and the export's face returns an Expected (platform/Expected.h) whose
// failure's detail is what the user is told. Only running out of memory
// throws (std::bad_alloc).
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "results/BlockVector.h"
#include "results/ItemKind.h"
#include "results/TextArena.h"

namespace tarnwick {

class HitBatch;

// The columns of an item: the path of a file (the context of a hit), the
// position of a hit, and an error or remark.
enum class ResultColumn : std::uint8_t {
    FileOrContext = 0,
    Position = 1,
    Remark = 2,
};

// What UpdateItem changes: a bit for the column text, a bit for the kind.
enum class UpdateWhat : std::uint8_t {
    Nothing = 0,
    Text = 1,
    Kind = 2,
    TextAndKind = 3,
};

constexpr bool UpdatesText(UpdateWhat what) { return (static_cast<unsigned>(what) & 1u) != 0; }
constexpr bool UpdatesKind(UpdateWhat what) { return (static_cast<unsigned>(what) & 2u) != 0; }

enum class ItemDataKind : std::uint8_t {
    None,  // no item data
    Record,  // two integers: (encoding, 0) for a file, (match length, highlight length) for a hit
    Plain,  // one integer: the search-text length of a name hit
};

struct ItemData {
    ItemDataKind kind = ItemDataKind::None;
    std::int64_t first = 0;
    std::int64_t second = 0;
};

// A copy of everything the store holds about one item.
struct ResultItem {
    ItemHandle handle = kNoItem;
    ItemHandle parent = kNoItem;
    ItemKind kind = ItemKind::None;
    std::string columns[3];  // by ResultColumn
    std::int32_t highlightStart = 0;
    std::int32_t highlightEnd = 0;  // exclusive; equal to start when nothing is highlighted
    ItemData data;
    bool hasCheckBox = true;
    bool checked = false;
    bool expanded = false;
    bool isHit = false;
};

// Every operation keeps the name it is documented and logged under (README.md, "Names").
// NOLINTBEGIN(readability-identifier-naming)
class ResultList {
public:
    static constexpr int kColumnCount = 3;

    // --- operations of a run ---
    // A large list's memory goes back to the system (platform/FreedMemory.h).
    void ClearResults(bool redrawSuppressed = true);
    void SetAutoScroll(bool on);
    ItemHandle AddFileItem(std::string_view text, ItemKind kind, bool asChild = false);
    void SetItemColumnText(ItemHandle item, std::string_view text, ResultColumn column);
    // False when the item does not exist or a text is to go into no column.
    bool UpdateItem(ItemHandle item, ResultColumn column, UpdateWhat what, std::string_view text, ItemKind kind);
    bool UpdateCurrentFileItem(ResultColumn column, UpdateWhat what, std::string_view text, ItemKind kind);
    ItemHandle AddNoteItem(std::string_view text, ItemKind kind, std::int32_t value);
    // A highlight longer than the context can show is cut to what it shows.
    ItemHandle AddHitItem(std::int64_t position, std::int64_t matchLength, std::string_view context, std::int32_t highlightStart,
                          ItemKind kind, std::int64_t highlightLength);
    // AddHitItem for each hit of the batch, in order, under one lock; returns
    // the last hit (kNoItem when there is no current file item).
    ItemHandle AddHitItems(const HitBatch& hits);
    // The two-integer item data record of a file item or a hit.
    void SetItemData(ItemHandle item, std::int64_t first, std::int64_t second);
    // The plain-integer item data of a name hit.
    void SetItemDataValue(ItemHandle item, std::int64_t value);
    // Asks the view to bring the item into sight; see TakeScrollRequest.
    void ScrollToItem(ItemHandle item);

    // --- marks ---
    ItemHandle FirstMarkedItem() const;
    ItemHandle NextMarkedItem(ItemHandle item) const;
    void SetChecked(ItemHandle item, bool checked);
    void SetHasCheckBox(ItemHandle item, bool hasCheckBox);
    void SetAllChecked(bool checked);

    // --- read accessors ---
    std::size_t ItemCount() const;
    std::size_t TopLevelCount() const;
    ItemHandle TopLevelItem(std::size_t row) const;
    ItemHandle FirstTopLevelItem() const;
    ItemHandle NextSibling(ItemHandle item) const;
    ItemHandle FirstChild(ItemHandle item) const;
    ItemHandle Parent(ItemHandle item) const;
    std::size_t ChildCount(ItemHandle item) const;
    ItemHandle Child(ItemHandle item, std::size_t row) const;
    // Row of the item among its siblings.
    std::size_t Row(ItemHandle item) const;
    bool HasChildren(ItemHandle item) const;
    ItemKind Kind(ItemHandle item) const;
    std::string ColumnText(ItemHandle item, ResultColumn column) const;
    ItemData Data(ItemHandle item) const;
    bool IsChecked(ItemHandle item) const;
    bool HasCheckBox(ItemHandle item) const;
    std::optional<ResultItem> Item(ItemHandle item) const;
    ItemHandle CurrentFileItem() const;
    bool AutoScroll() const;
    void SetExpanded(ItemHandle item, bool expanded);
    bool IsExpanded(ItemHandle item) const;
    // The items the user selected, in the order they were selected (the
    // first one decides which commands apply). Kept by the view.
    void SetSelectedItems(std::vector<ItemHandle> items);
    std::vector<ItemHandle> SelectedItems() const;

    // Increases with every change; a view compares it to learn of new items.
    std::uint64_t Revision() const;
    // Increases with every ClearResults; a view that sees it change knows
    // that every handle it held is gone, even if as many items came since.
    std::uint64_t ClearCount() const;
    // The item most recently asked to be scrolled into view since the last
    // call, or kNoItem.
    ItemHandle TakeScrollRequest();

private:
    using TextRef = TextArena::Ref;
    enum Flag : std::uint8_t {
        kHasCheckBox = 1,
        kChecked = 2,
        kExpanded = 4,
        kIsHit = 8,
    };
    // One item. Items lie in depth-first order: each top-level item is
    // followed by its children, because hits are only ever appended under
    // the newest top-level item.
    struct Node {
        TextRef text[kColumnCount];
        std::int64_t position = 0;  // column 1 of a hit, formatted on reading
        std::int32_t highlightStart = 0;
        std::int32_t highlightLength = 0;
        std::int64_t data1 = 0;
        std::int64_t data2 = 0;
        std::uint32_t parent = kNoItem;
        std::uint32_t childCount = 0;  // top-level items only
        std::uint32_t topRow = 0;  // row of a top-level item
        ItemKind kind = ItemKind::None;
        std::uint8_t flags = 0;
        ItemDataKind dataKind = ItemDataKind::None;
        bool positionIsText = false;  // column 1 was set explicitly
    };

    bool isValid(ItemHandle item) const { return item < m_nodes.size(); }
    TextRef store(std::string_view text);
    std::string_view view(TextRef ref) const;
    static bool isColumn(ResultColumn column) { return static_cast<int>(column) < kColumnCount; }
    std::string columnTextLocked(const Node& node, ResultColumn column) const;
    bool updateLocked(ItemHandle item, ResultColumn column, UpdateWhat what, std::string_view text, ItemKind kind);
    ItemHandle appendTopLevelLocked(std::string_view text, ItemKind kind);
    ItemHandle addHitLocked(std::int64_t position, std::int64_t matchLength, std::string_view context,
                            std::int32_t highlightStart, ItemKind kind, std::int64_t highlightLength);
    ItemHandle nextMarkedLocked(std::size_t from) const;
    void changed() { ++m_revision; }

    mutable std::mutex m_mutex;
    BlockVector<Node> m_nodes;  // guarded by m_mutex
    std::vector<std::uint32_t> m_top;  // guarded by m_mutex
    TextArena m_arena;  // guarded by m_mutex
    ItemHandle m_current = kNoItem;  // guarded by m_mutex
    ItemHandle m_scrollRequest = kNoItem;  // guarded by m_mutex
    std::vector<ItemHandle> m_selected;  // guarded by m_mutex
    bool m_autoScroll = true;  // guarded by m_mutex
    std::uint64_t m_revision = 0;  // guarded by m_mutex
    std::uint64_t m_clearCount = 0;  // guarded by m_mutex
};
// NOLINTEND(readability-identifier-naming)

}  // namespace tarnwick
