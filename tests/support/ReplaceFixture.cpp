#include "tests/support/ReplaceFixture.h"

namespace tarnwick::test {

ReplaceFixture::ReplaceFixture(const SearchJob& job, const std::string& typedSearchText, const std::string& replacement,
                               const CodePage& codePage)
    : RunFixture(job, typedSearchText, codePage), m_replacement(replacement)
{
    const RunContext& base = RunFixture::run();
    m_replaceRun = std::make_unique<RunContext>(base.job, base.searchText, m_replacement, codePage, sink(), counters(),
                                                stopFlag(), m_buffers);
    m_replaceRun->list = &results();
}

}  // namespace tarnwick::test
