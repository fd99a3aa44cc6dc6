#pragma once
// ReplaceInFile: replaces every occurrence of the search text in one file of
// a replace run, with a backup copy before the first change, and reports
// every replacement as a hit item, a run log line and a count. A file the
// run changed already under another name is left alone with a remark.
#include <string>

#include "platform/Expected.h"
#include "platform/InputFile.h"

namespace tarnwick {

class RunContext;

// `links`: whether a link at `path` is followed (the walk met one there) or
// a name that became a link meanwhile is refused. A read or memory failure
// after the replace began leaves the file as it was and is returned, for
// the walk to report.
Expected<void> ReplaceInFile(RunContext& run, const std::string& path, InputFile::Links links = InputFile::Links::Follow);

}  // namespace tarnwick
