#pragma once
// The report archive: a zip file with a unique name in the temporary
// directory, "<base>XXXXXX.zip", holding each report file under its own
// file name.
#include <string>
#include <vector>

#include "crash/ReportFiles.h"

namespace tarnwick::crash {

struct ReportArchive {
    std::string path;  // empty when the archive could not be made
    std::string error;  // why not, in the zip library's or the system's words
};

// Files that do not exist are left out. On failure nothing stays behind.
ReportArchive CreateReportArchive(const std::vector<ReportFile>& files, const std::string& tempDir, const std::string& baseName);

}  // namespace tarnwick::crash
