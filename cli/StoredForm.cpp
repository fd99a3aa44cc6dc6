#include "cli/StoredForm.h"

#include "session/FormJob.h"
#include "settings/FormSettings.h"
#include "settings/ProfileStore.h"

namespace tarnwick {

StoredForm ReadStoredForm(const std::string& path, std::int64_t now)
{
    settings::ProfileStore store(path.empty() ? settings::DefaultProfilePath() : path);
    settings::FormState form;
    settings::LoadFormSettings(store, form);

    constexpr std::int64_t kOneDay = 86'400;
    StoredForm stored;
    stored.job = session::JobFromFormState(form, now - kOneDay, now);
    stored.searchText = form.searchTexts.text;
    stored.replacement = form.replaceTexts.text;
    stored.directory = form.directories.text;
    stored.renameArgument = form.renameOnlyUpperCase ? RenameArgument::OnlyAllCapitals : RenameArgument::All;
    stored.useLog = form.options.useLog != 0;
    stored.logFile = form.options.logFile;
    stored.logOnlyReplace = form.options.logOnlyReplace != 0;
    return stored;
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
