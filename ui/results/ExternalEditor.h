#pragma once
// Opening a hit in the user's own editor: the command of the option
// "Externer Editor", a template in which %f stands for the file's path, %l
// for the hit's line and %c for its column (%% for a percent sign). No shell
// runs it: the template is split into words the way a shell would split it
// (quotes group, nothing is expanded), and each word is filled in, so a path
// with blanks or quotes reaches the editor as one argument.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick::ui {

// Where a byte lies as an editor counts: both from 1.
struct TextPlace {
    std::int64_t line = 1;
    std::int64_t column = 1;
    bool operator==(const TextPlace&) const = default;
};

// The line and column of byte `position` of a file whose contents up to
// there are `head`. A file that begins with a UTF-16 byte-order mark counts
// in its 16-bit units (lines end at U+000A); any other file in bytes, lines
// ending at LF, and the column in characters when its line up to the
// position is valid UTF-8, else in bytes.
TextPlace PlaceOfByte(std::string_view head, std::int64_t position);

// The same for a file on disk; nothing when it cannot be read.
std::optional<TextPlace> PlaceInFile(const std::string& path, std::int64_t position);

// The program and its arguments; a template without %f gets the path as its
// last argument. Empty for a blank template or one with an open quote.
std::vector<std::string> ExternalEditorCommand(std::string_view commandTemplate, const std::string& path, TextPlace place);

// Starts a program without waiting for it.
class ProgramStarter {
public:
    virtual ~ProgramStarter() = default;
    // False when it could not be started.
    virtual bool start(const std::vector<std::string>& command) = 0;
};

class DetachedProgramStarter final : public ProgramStarter {
public:
    bool start(const std::vector<std::string>& command) override;
};

// Finds the place, fills in the template and starts the editor; the message
// for the user when that fails.
std::optional<std::string> OpenInExternalEditor(std::string_view commandTemplate, const std::string& path, std::int64_t position,
                                                ProgramStarter& starter);

}  // namespace tarnwick::ui
