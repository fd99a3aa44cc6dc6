#include "formjob/UndoJournalSettings.h"

namespace tarnwick::session {

UndoJournalOptions UndoJournalOf(const settings::OptionsValues& options)
{
    UndoJournalOptions journal;
    journal.enabled = options.undoJournal != 0;
    journal.limitBytes = static_cast<std::uint64_t>(options.undoLimitMb) << 20;
    return journal;
}

}  // namespace tarnwick::session
