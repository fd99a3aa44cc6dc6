#pragma once
// The replacement a run hands to the worker, made from what the user typed:
// with "Sonderzeichen interpretieren" the escapes are interpreted first;
// with "Rückverweise im Ersetzungstext" (and a regular expression) the
// result is then checked against the expression's groups and becomes the
// Perl format every replace path fills in per match (ReplacementFormat.h).
// The form and the terminal program make it the same way.
#include <string>
#include <string_view>

#include "engine/match/PreserveCase.h"
#include "platform/Expected.h"

namespace tarnwick {

class CodePage;
struct SearchJob;

// What the worker replaces with, or why the typed text cannot be used (the
// failure's detail, German). `searchText` as typed. An expression that does
// not compile is left to the start checks, which name its error.
Expected<std::string> PrepareRunReplacement(std::string_view typed, std::string_view searchText, const SearchJob& job);

// How the run's replacement is made for each hit of text in `codePage`, or
// of UTF-8 text (`utf8Text`).
ReplacementStyle ReplacementStyleOf(const SearchJob& job, const CodePage& codePage, bool utf8Text);

}  // namespace tarnwick
