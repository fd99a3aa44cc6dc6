#pragma once
// The search job a run is started with, built from the search form's fields.
// Both front ends use it: the desktop form for its runs, the terminal
// program to rerun a search that was set up in the desktop program.
//
// Nothing in this layer fails: it only translates values the settings layer
// has already read (with defaults for what was missing or mangled) into a
// job; whether the job can run is decided where a run starts.
#include <cstdint>
#include <string>

#include "engine/job/SearchJob.h"
#include "settings/FormState.h"

namespace tarnwick::session {

// The job of a run: every field copied from the form (a stored flag is on
// when it is not 0), the file-type text normalised (NormalizeFileTypes, the
// same function the terminal program applies to --types), the Word
// extensions in lower case, the date range as given (the form's date and
// time controls are not stored). Every way a form's state becomes a run goes
// through here: the form, --settings, --preset and the copied command line.
SearchJob JobFromFormState(const settings::FormState& form, std::int64_t dateFrom, std::int64_t dateTo);

// The modes of the form's stored numbers, read as runs have always read
// them: "Diese ignor" 1 skips names with any of the strings, any other value
// wants all of them; "WordAuto" 0 takes every type, any other value goes by
// extension. The form's radio buttons show the same reading.
NameStringMode NameStringModeOf(std::uint32_t stored);
WordAutoMode WordAutoModeOf(std::uint32_t stored);
// The numbers the form stores for the modes.
std::uint32_t StoredNameStringMode(NameStringMode mode);
std::uint32_t StoredWordAutoMode(WordAutoMode mode);

// The search text as the worker receives it: plain text in lower case
// unless case is to be matched; a regular expression as typed, since
// lowering would turn \W, \S and \D into their opposites.
std::string WorkerSearchText(const settings::FormState& form);

}  // namespace tarnwick::session
