#include "engine/replace/ReplaceTempFile.h"

#include "engine/job/SearchJob.h"
#include "platform/InputFile.h"
#include "platform/OutputFile.h"

namespace tarnwick {

std::error_code CreateReplaceTempFile(const SearchJob& job, const InputFile& source, OutputFile& temp)
{
    if (job.tempDirIsCurrent) return temp.createTemporary(source.folderDescriptor(), source.folderPath(), source.leafName());
    return temp.createTemporaryAt(job.tempDir.empty() ? std::string("/") : job.tempDir, "tarwerstmpdat", ".tmp");
}

}  // namespace tarnwick
