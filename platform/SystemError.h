#pragma once
// How the platform layer reports failures: as every layer below the front
// ends, with an Expected (platform/Expected.h) whose Failure holds the
// error code. A call that gives no value returns the bare std::error_code
// (empty on success, else the errno value in the system category), which
// is its Expected<void>; the reaction is left to its caller. Nothing here
// throws for a failed system call or keeps a "last error" to ask for
// afterwards. Predicates (`isOpen()`, `typeKnown()`) are not failures. The
// texts shown to the user come from SystemErrorText.
#include <cerrno>
#include <string>
#include <system_error>

namespace tarnwick {

// An errno value as an error code; 0 gives the empty code.
inline std::error_code ErrnoCode(int errnum) { return {errnum, std::system_category()}; }
// The error code of the system call that just failed.
inline std::error_code LastErrnoCode() { return ErrnoCode(errno); }

// A name that no longer refers to the file object that was opened under it
// (it was removed, renamed, or swapped for another file or a link): nothing
// is written through it.
std::error_code NameChangedError();

// The system's message for an errno value, in the user's locale.
std::string SystemErrorText(int errnum);
// The same for an error code; the program's own codes (NameChangedError)
// give their own German text.
std::string SystemErrorText(std::error_code error);

// At most `limit` bytes of `text`: several messages are cut to 255 characters.
std::string TruncateText(const std::string& text, std::size_t limit = 255);

}  // namespace tarnwick
