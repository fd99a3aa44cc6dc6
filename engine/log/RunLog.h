#pragma once
// The run log text: the byte string to which a run appends one line per
// event and which is written to the operation log as one block at the end.
//
// Thread safety: none of its own, by contract. The front end writes the
// first line before it wakes the worker and reads the text only after the
// completion message; in between only the worker appends.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

class RunLog {
public:
    // AppendRunLog: appends bytes; the caller supplies the CR LF.
    void append(std::string_view bytes);
    void set(std::string_view firstLine)
    {
        clear();
        append(firstLine);
    }
    // Empties the text and gives its memory back: a run with millions of
    // hits leaves hundreds of megabytes here.
    void clear();
    // The whole text, joined.
    std::string text() const;

    void appendHitLine(std::string_view path, std::int64_t offset, std::int64_t length, std::string_view context);
    void appendReplacementLine(std::string_view path, std::int64_t offset, std::string_view context);
    void appendNameHitLine(std::string_view reason, std::string_view path);
    void appendCannotOpenLine();
    void appendMessageLine(std::string_view message, std::string_view path);

private:
    // The text is kept in pieces of this size, so that a long run never
    // copies what it has written so far to make room, as one contiguous
    // text does each time it doubles (hundreds of megabytes for a run with
    // millions of hits).
    static constexpr std::size_t kPieceSize = std::size_t{1} << 20;

    std::vector<std::string> m_pieces;
    std::string m_line;  // reused to format one line

    // Formats one line with a `logline` function into m_line and appends it.
    template <typename Format, typename... Args>
    void appendLine(Format format, const Args&... args)
    {
        m_line.clear();
        format(m_line, args...);
        append(m_line);
    }
};

// The lines a run writes, each appended to `out` with its CR LF.
namespace logline {
// A content hit of a search: path; P: offset; L: length; T: context.
void Hit(std::string& out, std::string_view path, std::int64_t offset, std::int64_t length, std::string_view context);
void Hit(std::string& out, std::string_view path, std::string_view position, std::int64_t length, std::string_view context);
// A replacement: path; P: offset in the changed file; T: context.
void Replacement(std::string& out, std::string_view path, std::int64_t offset, std::string_view context);
// A name hit: reason text directly followed by the path.
void NameHit(std::string& out, std::string_view reason, std::string_view path);
// A file that could not be opened: the fixed text only.
void CannotOpen(std::string& out);
// "<message>: <path>" (automation failures and the like).
void Message(std::string& out, std::string_view message, std::string_view path);
}  // namespace logline

// The first line of a search run: "Suche nach : <text>" (without CR LF).
std::string SearchHeaderLine(std::string_view searchText);
// The summary of a search run, with the hit counter first.
std::string SearchSummary(std::int32_t hits, std::int32_t files);
// The summary of a search that listed the files without hits.
std::string WithoutHitsSummary(std::int32_t files);
// The first line of a replace run: "Ersetze <text> durch <replacement>".
std::string ReplaceHeaderLine(std::string_view searchText, std::string_view replacementText);
std::string ReplaceSummary(std::int32_t hits, std::int32_t files);
std::string RenameSummary(std::int32_t hits, std::int32_t files);

}  // namespace tarnwick
