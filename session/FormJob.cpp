#include "session/FormJob.h"

#include "engine/match/SearchPattern.h"
#include "platform/CodePage.h"

namespace tarnwick::session {

SearchJob JobFromFormState(const settings::FormState& form, std::int64_t dateFrom, std::int64_t dateTo)
{
    const CodePage& codePage = CodePage::system();
    const settings::OptionsValues& options = form.options;
    SearchJob job;
    job.allFileTypes = form.allFileTypes;
    job.regularExpression = form.regularExpression;
    job.replaceText = form.replaceTexts.text;
    job.nameStringMode = form.nameStringMode;
    job.includeSubfolders = form.includeSubfolders;
    job.fileTypes = codePage.lower(form.fileTypes.text);
    job.nameStrings = form.nameStrings.text;
    job.sizeFilter = form.sizeFilter;
    job.maxSizeKb = form.maxSizeKb;
    job.minSizeKb = form.minSizeKb;
    job.searchFileNames = form.searchFileNames;
    job.searchContents = form.searchContents;
    job.matchCase = form.matchCase;
    job.wholeWords = form.wholeWords;
    job.dateFrom = dateFrom;
    job.dateTo = dateTo;
    job.dateCreated = form.dateCreated;
    job.dateModified = form.dateModified;
    job.dateAccessed = form.dateAccessed;
    job.dateFilter = form.dateFilter;
    job.searchDirNames = form.searchDirNames;
    job.backupExtension = options.backupExtension;
    job.makeBackup = options.makeBackup;
    job.contextLength = options.contextLength;
    job.skipBackupFiles = options.skipBackupFiles;
    job.useWord = form.useWord;
    job.wordAutoMode = form.wordAutoMode;
    job.alwaysBackup = options.alwaysBackup;
    job.wordExtensions = codePage.lower(options.wordExtensions);
    job.specialCharacters = form.specialCharacters;
    job.attributesOnDirs = form.attributesOnDirs;
    job.skipHidden = form.skipHidden;
    job.skipReadOnly = form.skipReadOnly;
    job.skipArchive = form.skipArchive;
    job.skipSystem = form.skipSystem;
    job.splitLength = options.splitLength;
    job.splitMaxOffset = options.splitMaxOffset;
    job.tempDirIsCurrent = options.tempDirIsCurrent;
    job.tempDir = options.tempDir;
    job.ignoreNulls = options.ignoreNulls;
    job.detectUtf8 = options.detectUtf8;
    job.detectLength = options.detectLength;
    job.searchThreads = options.searchThreads;
    return job;
}

std::string WorkerSearchText(const settings::FormState& form)
{
    SearchJob job;
    job.matchCase = form.matchCase;
    job.regularExpression = form.regularExpression;
    return PrepareSearchText(form.searchTexts.text, job, CodePage::system());
}

}  // namespace tarnwick::session
