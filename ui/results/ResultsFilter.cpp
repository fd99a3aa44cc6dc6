#include "ui/results/ResultsFilter.h"

#include "ui/results/ResultsText.h"

namespace tarnwick::ui {

bool ResultsFilter::matches(const ResultList& list, ItemHandle item, const CodePage& codePage) const
{
    if (!isActive()) return true;
    const std::u16string text = ToDisplayText(list.ColumnText(item, ResultColumn::FileOrContext), codePage);
    return QStringView(text).contains(m_text, Qt::CaseInsensitive);
}

bool ResultsFilter::shows(const ResultList& list, ItemHandle item, const CodePage& codePage) const
{
    if (!isActive() || matches(list, item, codePage)) return true;
    const ItemHandle file = list.Parent(item);
    if (file != kNoItem) return matches(list, file, codePage);
    for (ItemHandle hit = list.FirstChild(item); hit != kNoItem; hit = list.NextSibling(hit))
        if (matches(list, hit, codePage)) return true;
    return false;
}

FilteredCount CountFiltered(const ResultList& list, const ResultsFilter& filter, const CodePage& codePage)
{
    FilteredCount count;
    for (ItemHandle entry = list.FirstTopLevelItem(); entry != kNoItem; entry = list.NextSibling(entry)) {
        ++count.entries;
        const bool entryMatches = filter.matches(list, entry, codePage);
        bool anyHitShown = false;
        for (ItemHandle hit = list.FirstChild(entry); hit != kNoItem; hit = list.NextSibling(hit)) {
            ++count.hits;
            if (entryMatches || filter.matches(list, hit, codePage)) {
                ++count.shownHits;
                anyHitShown = true;
            }
        }
        if (entryMatches || anyHitShown) ++count.shownEntries;
    }
    return count;
}

QString FilteredCountText(const FilteredCount& count)
{
    return QStringLiteral("%1 von %2 Treffern in %3 von %4 Einträgen")
        .arg(count.shownHits)
        .arg(count.hits)
        .arg(count.shownEntries)
        .arg(count.entries);
}

ResultsFilterModel::ResultsFilterModel(std::shared_ptr<ResultList> list, const CodePage& codePage, int handleRole,
                                       QObject* parent)
    : QSortFilterProxyModel(parent), m_list(std::move(list)), m_codePage(codePage), m_handleRole(handleRole)
{
    // Rows keep the store's order; new rows of a running search are filtered as they come.
    setDynamicSortFilter(true);
}

void ResultsFilterModel::setFilter(ResultsFilter filter)
{
    m_filter = std::move(filter);
    invalidateFilter();
}

bool ResultsFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const
{
    const QModelIndex index = sourceModel()->index(sourceRow, 0, sourceParent);
    const auto item = static_cast<ItemHandle>(index.data(m_handleRole).toUInt());
    return m_filter.shows(*m_list, item, m_codePage);
}

}  // namespace tarnwick::ui
