#pragma once
// The clean-up after a run that ended without closing its journal (a crash,
// a kill, a power loss): whatever the run was doing when it stopped, every
// file it touched holds its old or its new contents (the rename is atomic),
// except a file rewritten in place, which may be torn, and a temporary file
// named for the rename may be left beside it. Both are settled here from the
// journal: the temporary file is removed when it holds exactly the intended
// contents, and a torn file gets its previous contents back (checked against
// their digest). The journal is then marked closed, its entries left for an
// undo.
//
// Runs at the start of every journalled run and of every undo. A journal
// whose run is alive holds its lock and is left alone.
#include <string>
#include <vector>

namespace tarnwick {

// Returns the files whose previous contents were put back.
std::vector<std::string> RecoverInterruptedRuns(const std::string& root);

}  // namespace tarnwick
