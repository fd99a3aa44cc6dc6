#pragma once
// What every preview of a replace run needs besides its own output: the
// names of the tree as the run would have left them so far, so a name taken
// by an earlier rename or backup fails as it would on disk.
#include <set>
#include <string>
#include <string_view>
#include <system_error>

namespace tarnwick {

class PreviewNames {
public:
    // Whether `path` would exist at this point of the run.
    bool exists(const std::string& path) const;
    // A name the run creates (a backup copy).
    void take(const std::string& path) { m_taken.insert(path); }

    struct Move {
        std::string from;  // full paths; both empty when the name stays
        std::string to;
    };
    // Checks a rename of `name` in `directory` to `newName` as the run would
    // do it and records it: EINVAL for a name no entry can have, EEXIST for
    // a name taken, since an existing entry is never replaced by a rename.
    std::error_code rename(const std::string& directory, const std::string& name, const std::string& newName, Move& move);

private:
    std::set<std::string> m_taken;  // names the run has created so far
    std::set<std::string> m_freed;  // names the run has renamed away so far
};

class CodePage;

// A document's text in the code page, one paragraph a line, to compare as
// lines.
std::string DocumentAsLines(std::u16string_view text, const CodePage& codePage);

// What a text-based diff would not show as text.
inline bool LooksBinary(std::string_view bytes) { return bytes.find('\0') != std::string_view::npos; }

}  // namespace tarnwick
