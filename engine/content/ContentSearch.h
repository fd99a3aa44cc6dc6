#pragma once
// SearchFileContents: searches one admitted file of a search run and reports
// every hit as result items, run log lines and counter changes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Expected.h"

namespace tarnwick {

class FileBuffer;
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
// gives one error item; a read or memory failure ends the file's search
// after the hits before it and is returned, for the walk to report.
Expected<void> SearchFileContents(RunContext& run, const std::string& path, FileLocation location = {});

// Where the text a buffer searches lies when its hits are shown as
// character positions in it (a PDF page, a sheet, a slide): the text, and
// how many bytes the buffer reads before it.
struct CharacterPositions {
    std::string_view text;
    std::int64_t textStart = 0;
};

// The search of SearchFileContents on a buffer that is ready to search
// (opened, or reading a source), its results under `path`. Positions are
// byte offsets unless `characters` is given. Returns the number of hits, or
// the failure that ended the search.
Expected<std::int64_t> SearchBufferContents(RunContext& run, FileBuffer& buffer, const std::string& path,
                                            const CharacterPositions* characters = nullptr);

// Compiles the run's search text into run.searchRegex. On a syntax error adds
// the error item "Ungültiger regulärer Ausdruck: ..." and returns false.
bool CompileSearchRegex(RunContext& run);

}  // namespace tarnwick
