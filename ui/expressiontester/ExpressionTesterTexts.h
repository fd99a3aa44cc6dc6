#pragma once
// The texts of "Ausdruck testen" (UTF-8). Its options carry the search
// form's own texts (SearchFormTexts.h).

namespace tarnwick::ui::text::tester {

inline constexpr const char* kTitle = "Ausdruck testen";
inline constexpr const char* kSearchLabel = "Suchen nach:";
inline constexpr const char* kReplaceLabel = "Ersetzen durch:";
inline constexpr const char* kOptionsFrame = "Optionen";
inline constexpr const char* kSampleLabel = "Beispieltext:";
inline constexpr const char* kReplacedLabel = "Nach dem Ersetzen:";
inline constexpr const char* kGroupsLabel = "Gruppen des Treffers an der Schreibmarke:";
inline constexpr const char* kGroupNumber = "Nr.";
inline constexpr const char* kGroupName = "Name";
inline constexpr const char* kGroupText = "Text";
inline constexpr const char* kGroupPosition = "Position [Byte]";
// A group that took no part in the match.
inline constexpr const char* kGroupNotMatched = "(nicht beteiligt)";
// Under the expression, beside the mark where it went wrong.
inline constexpr const char* kErrorColumn = "Stelle ";
// Below the sample.
inline constexpr const char* kNoMatch = "Kein Treffer";
inline constexpr const char* kMatches = " Treffer";
inline constexpr const char* kTakeOver = "Übernehmen";
inline constexpr const char* kClose = "Schliessen";

}  // namespace tarnwick::ui::text::tester
