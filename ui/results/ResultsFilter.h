#pragma once
// The filter above the results list: which items it lets through and how
// many. An item matches when its text (the path of a file item, the context
// of a hit, the text of a message) contains the filter text, ignoring case.
// A file shows with all its hits when its path matches, and with just the
// matching ones otherwise; a file none of whose hits match and whose path
// does not is hidden. The store itself is never changed: marks, export and
// replace in the marked results act on the store as before.
#include <QSortFilterProxyModel>
#include <QString>

#include <cstddef>
#include <memory>

#include "results/ResultList.h"

namespace tarnwick {
class CodePage;
}

namespace tarnwick::ui {

class ResultsFilter {
public:
    ResultsFilter() = default;
    explicit ResultsFilter(QString text) : m_text(std::move(text)) {}

    const QString& text() const { return m_text; }
    // An empty filter lets everything through.
    bool isActive() const { return !m_text.isEmpty(); }
    // The item's own text contains the filter text.
    bool matches(const ResultList& list, ItemHandle item, const CodePage& codePage) const;
    // The item shows: it or its file matches (a file also shows when one of its hits does).
    bool shows(const ResultList& list, ItemHandle item, const CodePage& codePage) const;

private:
    QString m_text;
};

struct FilteredCount {
    std::size_t shownHits = 0;
    std::size_t hits = 0;
    std::size_t shownEntries = 0;  // top-level items: files, folders, messages
    std::size_t entries = 0;
    bool operator==(const FilteredCount&) const = default;
};

FilteredCount CountFiltered(const ResultList& list, const ResultsFilter& filter, const CodePage& codePage);
// "12 von 340 Treffern in 3 von 57 Einträgen"
QString FilteredCountText(const FilteredCount& count);

// The result model as the filter shows it. The source model gives each
// row's store item through `handleRole`.
class ResultsFilterModel : public QSortFilterProxyModel {
    Q_OBJECT

public:
    ResultsFilterModel(std::shared_ptr<ResultList> list, const CodePage& codePage, int handleRole, QObject* parent = nullptr);

    const ResultsFilter& filter() const { return m_filter; }
    void setFilter(ResultsFilter filter);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    std::shared_ptr<ResultList> m_list;
    const CodePage& m_codePage;
    int m_handleRole;
    ResultsFilter m_filter;
};

}  // namespace tarnwick::ui
