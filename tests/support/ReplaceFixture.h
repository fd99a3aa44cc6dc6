#pragma once
// A RunFixture whose run carries a replacement text. The replacement can be
// changed between runs, as the front end does between a search and a
// replace in marked results on the same result list.
#include <memory>
#include <string>

#include "tests/support/RunFixture.h"

namespace tarnwick::test {

class ReplaceFixture : public RunFixture {
public:
    ReplaceFixture(const SearchJob& job, const std::string& typedSearchText, const std::string& replacement,
                   const CodePage& codePage = utF8());

    // The run with the replacement text; shares the result list, run log,
    // counters and stop flag of the fixture. Hides RunFixture::run().
    RunContext& run() { return *m_replaceRun; }
    void setReplacement(const std::string& replacement) { m_replacement = replacement; }

private:
    std::string m_replacement;
    SearchBuffers m_buffers;
    std::unique_ptr<RunContext> m_replaceRun;
};

}  // namespace tarnwick::test
