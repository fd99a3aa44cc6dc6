#include "engine/replace/ReplaceTempFile.h"

#include "engine/job/SearchJob.h"
#include "platform/FileCommit.h"
#include "platform/InputFile.h"

namespace tarnwick {

std::error_code CreateReplaceTempFile(const SearchJob& job, const InputFile& source, OutputFile& temp)
{
    if (job.tempDirIsCurrent) return temp.createUnique(source.realPath(), ".trwtmp8");
    std::string prefix = job.tempDir;
    if (prefix.empty() || prefix.back() != '/') prefix.push_back('/');
    return temp.createUnique(prefix + "tarwerstmpdat", ".tmp");
}

}  // namespace tarnwick
