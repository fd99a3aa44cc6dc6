#include "cli/StoredForm.h"

#include "formjob/RelativeDates.h"
#include "formjob/UndoJournalSettings.h"
#include "settings/FormSettings.h"
#include "settings/OptionsSettings.h"
#include "settings/ProfileStore.h"
#include "settings/SavedSearches.h"

namespace tarnwick {

namespace {

StoredForm StoredFormOf(const settings::FormState& form, std::int64_t now)
{
    constexpr std::int64_t kOneDay = 86'400;
    StoredForm stored;
    // A relative range ends at the moment the run starts, as in the form.
    stored.job = session::JobForRun(form, now - kOneDay, now, now);
    stored.searchText = form.searchTexts.text;
    stored.replacement = form.replaceTexts.text;
    stored.directory = form.directories.text;
    stored.renameArgument = form.renameOnlyUpperCase ? RenameArgument::OnlyAllCapitals : RenameArgument::All;
    stored.useLog = form.options.useLog != 0;
    stored.logFile = form.options.logFile;
    stored.logOnlyReplace = form.options.logOnlyReplace != 0;
    return stored;
}

}  // namespace

StoredForm ReadStoredForm(const std::string& path, std::int64_t now)
{
    settings::ProfileStore store(path.empty() ? settings::DefaultProfilePath() : path);
    settings::FormState form;
    settings::LoadFormSettings(store, form);
    return StoredFormOf(form, now);
}

std::optional<StoredForm> ReadStoredPreset(const std::string& path, const std::string& name, std::int64_t now)
{
    settings::ProfileStore store(path.empty() ? settings::DefaultProfilePath() : path);
    settings::FormState form;
    settings::LoadFormSettings(store, form);
    const std::optional<settings::SavedSearch> search = settings::FindSavedSearch(store, name, form);
    if (!search) return std::nullopt;
    settings::ApplySavedSearch(*search, form);
    return StoredFormOf(form, now);
}

UndoJournalOptions StoredUndoOptions(const std::string& path)
{
    settings::ProfileStore store(path.empty() ? settings::DefaultProfilePath() : path);
    return session::UndoJournalOf(settings::ReadOptionsSettings(store));
}

LogSettings StoredLogSettings(const StoredForm& form)
{
    LogSettings log;
    log.enabled = form.useLog && !form.logFile.empty();
    log.path = form.logFile;
    log.onlyReplace = form.logOnlyReplace;
    return log;
}

}  // namespace tarnwick
