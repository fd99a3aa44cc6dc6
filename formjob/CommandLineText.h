#pragma once
// "Als Befehlszeile kopieren": the form's search or replace as one
// tarnwick-cli command line, so a search set up in the desktop program can
// go into a script. Only what differs from tarnwick-cli's own defaults is
// spelled out, which keeps the line short and readable.
#include <cstdint>
#include <string>
#include <vector>

#include "settings/FormState.h"

namespace tarnwick::session {

enum class CommandLineKind { Search, Replace };

// The arguments, "tarnwick-cli" first. The texts and the folder come after
// "--", so a search text that begins with '-' is never read as an option.
// `dateFrom` and `dateTo` are the form's absolute range (seconds since the
// epoch); a relative range is passed on as --changed-within.
std::vector<std::string> CommandLineArguments(const settings::FormState& form, CommandLineKind kind, std::int64_t dateFrom,
                                              std::int64_t dateTo);

// One argument quoted for a POSIX shell: as it is when it holds only
// characters no shell treats specially, else in single quotes.
std::string ShellQuote(const std::string& argument);
// The arguments quoted and joined by blanks.
std::string ShellCommandLine(const std::vector<std::string>& arguments);

}  // namespace tarnwick::session
