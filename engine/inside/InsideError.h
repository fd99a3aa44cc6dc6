#pragma once
// How searching inside a file reports a failure: an InsideError names what
// failed by its composite path (InsidePath.h), says why in the German text
// of InsideMessages.h (what()), and has a kind a caller can tell apart
// without reading the text. A failure of one entry never ends the walk over
// the others; the readers say where one ends more.
#include <stdexcept>
#include <string>
#include <utility>

namespace tarnwick::inside {

enum class InsideErrorKind {
    CannotOpen,  // the file itself cannot be read (the system's text)
    Damaged,  // not readable as the format its name and first bytes promise
    Encrypted,  // an entry, an archive or a PDF that needs a password
    ExpandsTooFar,  // an entry or an archive would inflate beyond platform/ExpansionLimits.h
};

class InsideError : public std::runtime_error {
public:
    InsideError(InsideErrorKind kind, std::string path, const std::string& text)
        : std::runtime_error(text), m_kind(kind), m_path(std::move(path))
    {
    }

    InsideErrorKind kind() const { return m_kind; }
    const std::string& path() const { return m_path; }

private:
    InsideErrorKind m_kind;
    std::string m_path;
};

}  // namespace tarnwick::inside
