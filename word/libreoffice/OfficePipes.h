#pragma once
// The names of the pipes a LibreOffice server listens on, and where their
// Unix sockets lie, so that a server that was killed (and so could not
// remove them) leaves nothing behind. Pure functions besides the random
// bits of NewPipeName; safe from any thread.
#include <string>
#include <string_view>
#include <system_error>

namespace tarnwick::word {

// A name for the pipe a started soffice accepts connections on: `prefix` and
// 128 random bits as 32 hex digits, so that nobody can take the name first
// and have this program talk to a server of theirs.
std::error_code NewPipeName(std::string_view prefix, std::string& name);

// Where LibreOffice makes the Unix socket of pipe `name`: "OSL_PIPE_<uid>_<name>"
// in /tmp (in /var/tmp when /tmp is not writable), whatever TMPDIR says.
std::string PipeSocketPath(const std::string& name);

// The pipe a server opens besides the one it was asked for, to hand requests
// on to the first LibreOffice of a user installation: "SingleOfficeIPC_" and
// the MD5 of the installation's URL (as UTF-16 code units), each byte in hex
// without a leading zero.
std::string SingleInstancePipeName(std::string_view userInstallationUrl);

}  // namespace tarnwick::word
