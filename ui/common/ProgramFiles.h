#pragma once
// Where the files that come with the program lie: beside the executable,
// or, for an installed program, in ../share/tarnwick relative to it.
#include <optional>
#include <string>

namespace tarnwick::ui {

// The directory of the running executable.
std::string ProgramDirectory();

// The path of `relativePath` (for example "tips.txt" or "help/index.html")
// beside the program, else in ../share/tarnwick relative to it; nothing
// when neither place holds a regular file of that name.
std::optional<std::string> FindProgramFile(const std::string& programDirectory, const std::string& relativePath);

// The directory of FindProgramFile's answer; when the file lies in neither
// place, the program's directory, so a message names where the user would
// put it.
std::string ProgramFileDirectory(const std::string& programDirectory, const std::string& relativePath);

}  // namespace tarnwick::ui
