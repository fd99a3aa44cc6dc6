#pragma once
// Fills an export template: global placeholders ("!SUCHPFAD!" ...), a list
// section between "!LISTE_START!" and "!LISTE_STOP!" repeated per exported
// item, and inside it an optional hit section between "!DAT_START!" and
// "!DAT_STOP!" repeated per hit. Every replacement replaces all occurrences
// in a fixed order, and a value put in by an earlier replacement is not
// protected from a later one.
//
// Cost: linear in the size of the output; each item is filled on its own.
#include "results/ExportRequest.h"
#include "results/ResultList.h"

#include <string>
#include <string_view>

namespace tarnwick {

std::string FillTemplate(std::string_view templateText, const RunValues& run, const ResultList& list, const ExportFilter& filter);

// Replaces every occurrence of `from` (not empty) in `text`, left to right;
// the inserted text is not searched again. `scratch` is reused storage.
void ReplaceAll(std::string& text, std::string_view from, std::string_view to, std::string& scratch);

}  // namespace tarnwick
