#pragma once
// The job of a replace that only previews its changes.
#include "engine/job/SearchJob.h"

namespace tarnwick {

// The new contents of a split file go to the temporary folder ($TMPDIR,
// else /tmp) rather than beside the file: a preview leaves nothing in the
// tree it shows, even for a moment.
SearchJob JobForPreview(SearchJob job);

}  // namespace tarnwick
