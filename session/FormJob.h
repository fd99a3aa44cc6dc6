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

// The job of a run: every field copied from the form, the file-type text and
// the Word extensions in lower case, the date range as given (the form's
// date and time controls are not stored).
SearchJob JobFromFormState(const settings::FormState& form, std::int64_t dateFrom, std::int64_t dateTo);

// The search text as the worker receives it: plain text in lower case
// unless case is to be matched; a regular expression as typed, since
// lowering would turn \W, \S and \D into their opposites.
std::string WorkerSearchText(const settings::FormState& form);

}  // namespace tarnwick::session
