#pragma once
// Changes one file at the positions of marked hits, hit by hit in the order
// the search found them: held whole in memory (each position is checked to
// still hold the search text) or, for a large file, streamed into a
// temporary file. The file itself changes only in Finish().
//
// One object per file, worker thread only. A read or memory failure is kept
// (readFailure()): the call that met it fails, and the caller ends its
// command with it.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include <boost/regex.hpp>

#include "engine/match/PreserveCase.h"
#include "platform/Expected.h"
#include "platform/InputFile.h"
#include "platform/OutputFile.h"
#include "word/story/ExpressionFormat.h"

namespace tarnwick {

class RunContext;
struct FilePattern;

class MarkedFileEditor {
public:
    explicit MarkedFileEditor(RunContext& run);
    ~MarkedFileEditor();

    std::error_code open(const std::string& path);
    const InputFile& file() const { return m_file; }
    const std::string& path() const { return m_file.path(); }

    // Reads the file whole, or opens its temporary file when it is too large
    // for that. A temporary file that cannot be made fails, the detail
    // describing it.
    Expected<void> begin();

    // Replaces the `length` bytes at `position` (a position in the changed
    // file) when they still hold the search text. False when the file no
    // longer holds the search text there (or the replacement could not be
    // written to the temporary file).
    bool replaceAt(std::int64_t position, std::int64_t length);
    // Bytes the last replacement took in this file.
    std::int64_t replacementLength() const { return m_insertedLength; }

    // Puts the changed contents in place. A failure's detail is the text
    // for the hit's item.
    Expected<void> finish();
    void abandon();

    // The first read or memory failure met, or null.
    const Failure* readFailure() const { return m_readFailure ? &*m_readFailure : nullptr; }

private:
    // With an expression, the match (and its groups) is left in m_match,
    // in a UTF-16 file in m_utf16Match over m_units.
    bool holdsSearchText(const char* bytes, std::int64_t length);
    bool holdsUtf16Text(const char* bytes, std::int64_t length);
    bool copySourceTo(std::uint64_t end);
    // Reads from the file; a failure is kept and returned.
    Expected<std::size_t> readAt(std::uint64_t offset, char* buffer, std::size_t n);
    // What replaces the hit just checked (its bytes `hit`): the replacement,
    // or its format filled in from the match, in the hit's case with
    // "Schreibweise der Treffer übernehmen".
    const std::string& insertion(std::string_view hit);

    RunContext& m_run;
    InputFile m_file;
    const FilePattern* m_pattern = nullptr;
    std::string m_replacement;  // or its format, with captures
    bool m_captures = false;
    ReplacementStyle m_style;
    std::string m_filled;  // a filled-in format before its case changes
    boost::cmatch m_match;
    std::string m_formatted;  // reused for every hit
    std::int64_t m_insertedLength = 0;
    std::string m_text;  // the whole file, changed hit by hit
    bool m_split = false;
    bool m_changed = false;
    bool m_utf16 = false;  // the file has a UTF-16 mark: compared as characters
    bool m_bigEndian = false;
    std::u16string m_units;  // UTF-16: the hit just checked
    word::CodePointMatch<const UChar*> m_utf16Match;
    word::FormatCodePoints m_utf16Format;
    std::u16string m_formattedUnits;
    std::u16string m_replacementUnits;  // UTF-16: the replacement, without captures
    std::u16string m_hitUnits;  // UTF-16: the hit as found, for its case
    std::u16string m_casedUnits;
    std::uint64_t m_sourceOffset = 0;  // split: source bytes up to here are in the temporary file
    std::int64_t m_delta = 0;  // split: growth of the file so far
    OutputFile m_temp;
    std::optional<Failure> m_readFailure;
};

}  // namespace tarnwick
