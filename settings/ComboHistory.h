#pragma once
// The history of one combo box of the search form: its drop-down entries in
// the order inserted, its edit text and its selected entry; and the rules by
// which a typed text joins the history and moves to its top. Plain value.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick::settings {

struct ComboHistory {
    std::vector<std::string> entries;
    std::string text;  // the edit text, what a run uses
    int selected = -1;  // index into `entries`, -1 when none is selected

    // Selects an entry; the edit text becomes that entry, as in the control.
    void select(std::size_t index);
    // Index of the first entry exactly equal to `value` (case matters), or -1.
    int find(std::string_view value) const;

    bool operator==(const ComboHistory&) const = default;
};

// Turns the typed text into the form in which it is kept. An empty result
// means "nothing to commit": the text is left as typed.
using TextPreparer = std::function<std::string(const std::string&)>;

// Commits the edit text into the history (the combo box lost the focus, or
// the form is saving): the text is first prepared when `prepare` is given;
// then, unless empty, the entry equal to it is selected, or the text is
// appended as a new entry and selected.
void CommitComboText(ComboHistory& history, const TextPreparer& prepare = {});

// The preparation of the file-name-string combo box: a missing final ';' is
// appended. An empty text stays empty (it would otherwise become one empty
// entry, which occurs in every name and so excludes every file).
std::string TerminateNameStrings(const std::string& text);

// At the start of a run: the entry equal to the edit text becomes entry 0
// and is selected; nothing changes when there is none or it is already first.
void MoveCurrentToTop(ComboHistory& history);

// The two histories stored as one string: every entry preceded by `marker`
// ('#' file types, '%' file-name strings). An entry that contains the marker
// comes back split at it; text before the first marker is dropped.
std::string JoinHistory(const std::vector<std::string>& entries, char marker);
std::vector<std::string> SplitHistory(std::string_view stored, char marker);

}  // namespace tarnwick::settings
