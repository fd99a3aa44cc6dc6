#pragma once
// How searching inside a file fails: a Failure (platform/Failure.h) whose
// code says what kind of failure it is, so that a caller tells the kinds
// apart without reading the German text of InsideMessages.h (the detail).
// A file that cannot be opened carries the system's code instead; every
// other kind carries a code of InsideErrorCategory(). A failure of one
// entry never ends the walk over the others; the readers say where one
// ends more.
#include <string>
#include <system_error>

#include "platform/Failure.h"

namespace tarnwick::inside {

enum class InsideErrorKind {
    CannotOpen = 1,  // the file itself, or what a path names inside it, cannot be read
    Damaged,  // not readable as the format its name and first bytes promise
    Encrypted,  // an entry, an archive or a PDF that needs a password
    ExpandsTooFar,  // an entry or an archive would inflate beyond platform/ExpansionLimits.h
};

const std::error_category& InsideErrorCategory();
std::error_code make_error_code(InsideErrorKind kind);

// A failure of `kind` told as `text`.
Failure InsideFailure(InsideErrorKind kind, std::string text);
// The kind of a failure from this layer; a system code (a file that cannot
// be opened) is CannotOpen.
InsideErrorKind InsideKindOf(const Failure& failure);

}  // namespace tarnwick::inside

template <>
struct std::is_error_code_enum<tarnwick::inside::InsideErrorKind> : std::true_type {
};
