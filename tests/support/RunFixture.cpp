#include "tests/support/RunFixture.h"

#include "results/HitPosition.h"

#include "engine/match/SearchPattern.h"

#include <limits>

namespace tarnwick::test {

SearchJob TestJob()
{
    SearchJob job = DefaultSearchJob(1'700'000'000);
    job.allFileTypes = 1;
    job.dateFrom = std::numeric_limits<std::int64_t>::min();
    job.dateTo = std::numeric_limits<std::int64_t>::max();
    return job;
}

const CodePage& RunFixture::utF8()
{
    static const CodePage page("UTF-8");
    return page;
}

RunFixture::RunFixture(const SearchJob& job, const std::string& typedSearchText, const CodePage& codePage)
    : m_job(job), m_searchText(PrepareSearchText(typedSearchText, job, codePage))
{
    m_run = std::make_unique<RunContext>(m_job, m_searchText, m_replacement, codePage, m_sink, m_counters, m_stop, m_buffers);
    m_run->list = &m_results;
}

std::vector<HitRecord> RunFixture::hits() const
{
    std::vector<HitRecord> out;
    for (ItemHandle top = m_results.FirstTopLevelItem(); top != kNoItem; top = m_results.NextSibling(top)) {
        const std::string file = m_results.ColumnText(top, ResultColumn::FileOrContext);
        for (ItemHandle hit = m_results.FirstChild(top); hit != kNoItem; hit = m_results.NextSibling(hit)) {
            const auto item = m_results.Item(hit);
            HitRecord record;
            record.file = file;
            // A hit in a part of a document names the part before its position.
            record.position = ParseHitPosition(item->columns[1]).value().position;
            record.length = item->data.first;
            record.context = item->columns[0];
            record.highlightStart = item->highlightStart;
            record.highlightLength = item->highlightEnd - item->highlightStart;
            out.push_back(record);
        }
    }
    return out;
}

std::vector<std::pair<std::string, std::string>> RunFixture::errors() const
{
    std::vector<std::pair<std::string, std::string>> out;
    for (ItemHandle top = m_results.FirstTopLevelItem(); top != kNoItem; top = m_results.NextSibling(top))
        if (m_results.Kind(top) == ItemKind::Error)
            out.emplace_back(m_results.ColumnText(top, ResultColumn::FileOrContext),
                             m_results.ColumnText(top, ResultColumn::Remark));
    return out;
}

std::vector<std::string> RunFixture::topLevel(ItemKind kind) const
{
    std::vector<std::string> out;
    for (ItemHandle top = m_results.FirstTopLevelItem(); top != kNoItem; top = m_results.NextSibling(top))
        if (m_results.Kind(top) == kind) out.push_back(m_results.ColumnText(top, ResultColumn::FileOrContext));
    return out;
}

}  // namespace tarnwick::test
