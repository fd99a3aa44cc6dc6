#pragma once
// Replaces every occurrence of the search text in a file with a UTF-16 mark:
// the occurrences are found as characters and the replacement is written in
// the file's byte order, so the file stays UTF-16 with its mark; with
// "Rückverweise im Ersetzungstext" it is filled in from each match, with
// "Schreibweise der Treffer übernehmen" it takes each hit's case. The changed
// contents are built in memory and put in place at once by finish(); until
// then the file is unchanged.
//
// One object per file, worker thread only. A read or memory failure is kept
// by the store (ChunkStore::failure()) and ends the replace: next() then
// gives nothing and completeContents() nothing usable.
#include <cstdint>
#include <optional>
#include <string>
#include <system_error>

#include "engine/content/Utf16Search.h"
#include "engine/match/Encoding.h"

namespace tarnwick {

class ChunkStore;
class InputFile;
class RunContext;

struct Utf16Replacement {
    std::int64_t offset = 0;  // of the inserted text, in the changed file
    std::int64_t length = 0;  // of the replaced text, in bytes
    std::int64_t characters = 0;  // of the replaced text, in characters of the code page
    std::int32_t highlightOffset = 0;  // of the replaced text in the context
};

class Utf16Replace {
public:
    // `store` reads `file`; when `wholeInStore` it holds the whole file.
    Utf16Replace(RunContext& run, const InputFile& file, ChunkStore& store, Encoding encoding, std::uint64_t fileLength,
                 bool wholeInStore);

    // The file offset of the first occurrence, or nothing.
    std::optional<std::int64_t> prepare();
    // Replaces the next occurrence (the first one after prepare()); its
    // context is in the run's context buffer.
    std::optional<Utf16Replacement> next();
    // Completes the changed contents in the run's output buffer and returns
    // the file's previous contents where the commit needs them (a hard-linked
    // file, rewritten in place) or a preview shows them; `reread` holds them
    // when they are not in the store.
    std::string_view completeContents(std::string& reread);

private:
    // False after a failure, kept by the store.
    bool copySourceTo(std::uint64_t end);

    RunContext& m_run;
    const InputFile& m_file;
    ChunkStore& m_store;
    Utf16Search m_search;
    bool m_whole;
    std::uint64_t m_fileLength;
    std::string m_replacement;  // in the file's byte order
    bool m_bigEndian;
    bool m_captures;  // the replacement is m_format, filled in from each match
    word::FormatCodePoints m_format;
    std::u16string m_formatted;  // one match's replacement, as units
    bool m_preserveCase;  // the replacement takes each hit's case
    std::u16string m_units;  // the replacement as units, without captures
    std::u16string m_hit;  // the hit's units, for its case
    std::u16string m_cased;
    std::string& m_out;
    std::uint64_t m_copied = 0;  // source bytes up to here are in m_out
    std::optional<Utf16Hit> m_pending;  // found by prepare(), not yet replaced
    std::int64_t m_replacements = 0;
};

}  // namespace tarnwick
