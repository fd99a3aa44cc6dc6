#include "engine/replace/PreviewJob.h"

#include <cstdlib>

namespace tarnwick {

SearchJob JobForPreview(SearchJob job)
{
    if (job.tempDirIsCurrent) {
        const char* tmp = std::getenv("TMPDIR");
        job.tempDirIsCurrent = false;
        job.tempDir = tmp && *tmp ? tmp : "/tmp";
    }
    return job;
}

}  // namespace tarnwick
