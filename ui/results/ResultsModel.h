#pragma once
// The result list as a Qt item model. The store is the only owner of the
// items; the model keeps just the shape it has announced to views (per
// top-level row: its handle and how many children views know of) and reads
// everything else from the store when asked.
//
//   root
//    +- top-level row r      internalId 0,     handle m_rows[r].handle
//        +- child row c      internalId r + 1, handle m_rows[r].handle + 1 + c
//
// index() and parent() are O(1) and never lock the store; neither do the
// flags of a top-level row. The worker appends
// to the store on its own thread; the model learns of it only in
// catchUp(), which the owner calls on the user interface thread (a batching
// timer): it compares the store's revision, announces the new top-level rows
// and the new children of the newest row, and resets after ClearResults.
// Until then views see the shape last announced, so every row they ask
// about exists in the store (items are never removed except by a clear).
#include <QAbstractItemModel>
#include <cstdint>
#include <memory>
#include <vector>

#include "results/ResultList.h"

namespace tarnwick {
class CodePage;
}

namespace tarnwick::ui {

class ResultsModel : public QAbstractItemModel {
    Q_OBJECT

public:
    enum Role {
        HandleRole = Qt::UserRole + 1,  // the item's store handle (uint)
        HighlightRole,  // column 0 of a hit: QPoint(start, end) in display characters
        IsHitRole,  // bool
    };

    ResultsModel(std::shared_ptr<ResultList> list, const CodePage& codePage, QObject* parent = nullptr);

    ResultList& list() const { return *m_list; }

    // Announces what the store gained since the last call; returns whether
    // the shape or any item changed. Call on the thread the model lives on.
    bool catchUp();
    // Whether views have been told of everything the store holds.
    bool isCaughtUp() const { return m_revision == m_list->Revision(); }
    // Tells views that any item may look different (marks, kinds).
    void refreshAll();

    ItemHandle handleOf(const QModelIndex& index) const;
    // The index of a store item the model has announced; invalid otherwise.
    QModelIndex indexOf(ItemHandle item) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    struct Row {
        ItemHandle handle;
        std::uint32_t childCount;
        // Kept here because the tree asks for the flags of every top-level
        // row each time it lays them out, which would otherwise reach into
        // the store (its lock, and a node far from the last) tens of
        // thousands of times per catch-up. Read again in catchUp() for the
        // newest row and in refreshAll() for every row: only the newest row
        // changes during a run, and only a replace in the marked results
        // (which refreshes every row) takes check boxes away.
        bool hasCheckBox;
    };

    void reload();
    bool hasCheckBox(const QModelIndex& index, ItemHandle item) const;
    QVariant displayText(ItemHandle item, ResultColumn column) const;
    QVariant highlight(ItemHandle item) const;

    std::shared_ptr<ResultList> m_list;
    const CodePage& m_codePage;
    std::vector<Row> m_rows;
    std::uint64_t m_revision = 0;
    std::uint64_t m_clearCount = 0;
};

}  // namespace tarnwick::ui
