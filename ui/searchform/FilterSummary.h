#pragma once
// The line under the main fields while the form is collapsed: every filter
// that is in force although the collapsed form does not show it, so that a
// search that finds nothing does not leave the user guessing why.
#include <cstdint>
#include <string>

#include "settings/FormState.h"

namespace tarnwick::ui {

// "Aktive Filter: Dateitypen: *.txt; | Grösse: bis 100 kB | ..." naming, in
// the form's order, the file types (unless "Alle"), the file-name strings,
// the size, the dates, the attributes and the Word mode when it is not the
// default one, "Dateien ohne Treffer" when only those are listed, and "In
// Archiven und PDF" when the inside of such files is searched. Empty
// when none of them is in force. `dateFrom` and `dateTo`
// are the form's absolute range (seconds since the epoch).
std::string HiddenFiltersText(const settings::FormState& form, std::int64_t dateFrom, std::int64_t dateTo);

}  // namespace tarnwick::ui
