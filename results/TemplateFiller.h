#pragma once
// Fills an export template: global placeholders ("!SUCHPFAD!" ...; "!HINWEIS!"
// is the run's notice, empty for a run that was not stopped), a list
// section between "!LISTE_START!" and "!LISTE_STOP!" repeated per exported
// item, and inside it an optional hit section between "!DAT_START!" and
// "!DAT_STOP!" repeated per hit. The template is read once, left to right,
// into its placeholders and the text between them; each placeholder is then
// filled with its value, and a value is never scanned for placeholders again
// (a context holding "!POS!" is exported as it is).
//
// Cost: linear in the size of the template plus the output.
#include "results/ExportRequest.h"
#include "results/ResultList.h"

#include <string>
#include <string_view>

namespace tarnwick {

std::string FillTemplate(std::string_view templateText, const RunValues& run, const ResultList& list, const ExportFilter& filter);

}  // namespace tarnwick
