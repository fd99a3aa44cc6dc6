#pragma once
// The temporary file a large file is streamed into while it is replaced:
// beside the file (its name ends in the extension the walks pass over), or
// in the job's temporary folder. Each is created new under a unique name, so
// two runs (the desktop program and a terminal, or two terminals) never
// write into one file.
#include <string>
#include <system_error>

namespace tarnwick {

class InputFile;
class OutputFile;
struct SearchJob;

std::error_code CreateReplaceTempFile(const SearchJob& job, const InputFile& source, OutputFile& temp);

}  // namespace tarnwick
