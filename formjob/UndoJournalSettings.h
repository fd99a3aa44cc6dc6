#pragma once
// The undo journal a run keeps, as the options dialog set it; the same for
// the desktop program and the terminal program.
#include "engine/undo/JournalStore.h"
#include "settings/OptionsSettings.h"

namespace tarnwick::session {

UndoJournalOptions UndoJournalOf(const settings::OptionsValues& options);

}  // namespace tarnwick::session
