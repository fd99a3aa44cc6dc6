#pragma once
// The temporary file a large file is streamed into while it is replaced:
// beside the file (pinned), or in the job's temporary folder. Each is made
// unnamed where the file system allows, else new under a unique name (ending
// in an extension the walks pass over), so two runs (the desktop program and
// a terminal, or two terminals) never write into one file and a crash leaves
// none behind.
#include <string>
#include <system_error>

namespace tarnwick {

class InputFile;
class OutputFile;
struct SearchJob;

std::error_code CreateReplaceTempFile(const SearchJob& job, const InputFile& source, OutputFile& temp);

}  // namespace tarnwick
