#pragma once
// ReplaceSelected: replaces the search text only at the hits and name hits
// the user marked in a search's result list. It does not search again: each
// hit's stored position is checked to still hold the search text, later
// hits of the same file are shifted by the change in length, and each file
// is read once and written once.
#include "platform/Expected.h"

namespace tarnwick {

class RunContext;

// A read or memory failure in a file ends the whole command at once and is
// returned; the files written before keep their changes.
Expected<void> ReplaceSelected(RunContext& run);

}  // namespace tarnwick
