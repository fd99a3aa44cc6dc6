#pragma once
// SearchFileContents: searches one admitted file of a search run and reports
// every hit as result items, run log lines and counter changes.
#include <cstddef>
#include <string>

namespace tarnwick {

class OpenFolder;
class RunContext;

// Where an admitted file lies: the folder that holds it, open as a
// descriptor, and where its name begins in the path. Opened in its folder,
// a file costs the system one name to look up, not every folder of the path.
struct FileLocation {
    int folderFd = -1;  // none: the file is opened by its path
    std::size_t nameOffset = 0;
    // Where the caller keeps the folder open for later files: closed, and
    // the file opened by its path, when no descriptor is left for the file.
    OpenFolder* keptFolder = nullptr;
};

// Returns at once when a stop was requested. A file that cannot be opened
// gives one error item; a read failure throws (reported by the walk).
void SearchFileContents(RunContext& run, const std::string& path, FileLocation location = {});

// Compiles the run's search text into run.searchRegex. On a syntax error adds
// the error item "Ungültiger regulärer Ausdruck: ..." and returns false.
bool CompileSearchRegex(RunContext& run);

}  // namespace tarnwick
