#pragma once
// The run log line of each event and the texts an event's item shows, in one
// place for every sink that writes the run log text or prints it.
#include <string>
#include <string_view>

#include "engine/job/RunEvents.h"

namespace tarnwick {

// Append the event's run log line, with its CR LF, to `out`; false (and
// nothing appended) for an event that has none.
bool AppendRunLogLine(std::string& out, const HitEvent& hit);
bool AppendRunLogLine(std::string& out, const NameHitEvent& hit);
bool AppendRunLogLine(std::string& out, const RunError& error);
bool AppendRunLogLine(std::string& out, const RunNote& note);

// The remark of a name hit's item ("Im Dateinamen gefunden", ...).
const char* NameHitRemark(const NameHitEvent& hit);

}  // namespace tarnwick
