#pragma once
// SearchDirectory: the walk of a search run. Hands admitted files to the
// content search or the document engine and names to the name search.
#include <string>

#include "engine/walk/TreeWalk.h"

namespace tarnwick {

class RunContext;

// Takes the content search of admitted files off the walk.
class FileDispatch {
public:
    virtual ~FileDispatch() = default;
    // Takes over the content search of a file and the check of its name that
    // follows it. Returns false to leave both to the walk.
    virtual bool dispatch(const DirEntry& entry, const std::string& path) = 0;
};

// Walks `directory`. A regular expression must already be compiled
// (CompileSearchRegex). Returns when done or when a stop was requested.
// Files whose contents are searched byte-wise go to `dispatch` when given;
// documents and everything else stay on the walk's thread.
void SearchDirectory(RunContext& run, const std::string& directory, FileDispatch* dispatch = nullptr);

}  // namespace tarnwick
