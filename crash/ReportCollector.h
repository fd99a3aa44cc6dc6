#pragma once
// What the reporter makes of a crash before it shows anything: the crash
// log written beside the stack trace, the list of report files, and the
// archive that holds them.
#include <string>
#include <vector>

#include "crash/CrashLog.h"
#include "crash/ReportArchive.h"
#include "crash/ReportFiles.h"

namespace tarnwick::crash {

struct CollectedReport {
    std::string baseName;  // of the crashed program
    std::vector<ReportFile> files;  // the trace ("Crash Dump"), then the log ("Crash Log"); missing ones left out
    ReportArchive archive;
};

// Writes the crash log from `facts` into a new file "<tempDir>/<base>-<hex>.xml"
// and archives the report files.
CollectedReport CollectReport(const std::string& tracePath, const CrashFacts& facts, const std::string& tempDir);

}  // namespace tarnwick::crash
