#include "formjob/FormJob.h"

#include "engine/match/SearchPattern.h"
#include "platform/CodePage.h"

namespace tarnwick::session {

SearchJob JobFromFormState(const settings::FormState& form, std::int64_t dateFrom, std::int64_t dateTo)
{
    const CodePage& codePage = CodePage::system();
    const settings::OptionsValues& options = form.options;
    SearchJob job;
    job.allFileTypes = form.allFileTypes != 0;
    job.regularExpression = form.regularExpression != 0;
    job.replaceText = form.replaceTexts.text;
    job.nameStringMode = NameStringModeOf(form.nameStringMode);
    job.includeSubfolders = form.includeSubfolders != 0;
    // The text as typed or as an older program stored it ("*.md" without its
    // ';', "*.h;*.cpp;"): a run must read it as the form shows it after
    // normalising, whether or not the box was left before the run started.
    job.fileTypes = NormalizeFileTypes(form.fileTypes.text);
    job.nameStrings = form.nameStrings.text;
    job.sizeFilter = form.sizeFilter != 0;
    job.maxSizeKb = form.maxSizeKb;
    job.minSizeKb = form.minSizeKb;
    job.searchFileNames = form.searchFileNames != 0;
    job.searchContents = form.searchContents != 0;
    job.matchCase = form.matchCase != 0;
    job.wholeWords = form.wholeWords != 0;
    job.dateFrom = dateFrom;
    job.dateTo = dateTo;
    job.dateCreated = form.dateCreated != 0;
    job.dateModified = form.dateModified != 0;
    job.dateAccessed = form.dateAccessed != 0;
    job.dateFilter = form.dateFilter != 0;
    job.searchDirNames = form.searchDirNames != 0;
    job.backupExtension = options.backupExtension;
    job.makeBackup = options.makeBackup != 0;
    job.contextLength = options.contextLength;
    job.skipBackupFiles = options.skipBackupFiles != 0;
    job.useWord = form.useWord != 0;
    job.wordAutoMode = WordAutoModeOf(form.wordAutoMode);
    job.alwaysBackup = options.alwaysBackup != 0;
    job.wordExtensions = codePage.lower(options.wordExtensions);
    job.wordRegex = options.wordRegex != 0;
    job.wordAllParts = options.wordAllParts != 0;
    job.specialCharacters = form.specialCharacters != 0;
    job.filesWithoutHits = form.filesWithoutHits != 0;
    job.searchInside = form.searchInside != 0;
    job.replacementCaptures = form.replacementCaptures != 0;
    job.preserveCase = form.preserveCase != 0;
    job.attributesOnDirs = form.attributesOnDirs != 0;
    job.skipHidden = form.skipHidden != 0;
    job.skipReadOnly = form.skipReadOnly != 0;
    job.skipArchive = form.skipArchive != 0;
    job.skipSystem = form.skipSystem != 0;
    job.splitLength = options.splitLength;
    job.splitMaxOffset = options.splitMaxOffset;
    job.tempDirIsCurrent = options.tempDirIsCurrent != 0;
    job.tempDir = options.tempDir;
    job.ignoreNulls = options.ignoreNulls != 0;
    job.detectUtf8 = options.detectUtf8 != 0;
    job.detectLength = options.detectLength;
    job.searchThreads = options.searchThreads;
    return job;
}

NameStringMode NameStringModeOf(std::uint32_t stored)
{
    return stored == StoredNameStringMode(NameStringMode::IgnoreIfAnyOccurs) ? NameStringMode::IgnoreIfAnyOccurs
                                                                             : NameStringMode::AllMustOccur;
}

WordAutoMode WordAutoModeOf(std::uint32_t stored)
{
    return stored == StoredWordAutoMode(WordAutoMode::AllTypes) ? WordAutoMode::AllTypes : WordAutoMode::ByExtension;
}

std::uint32_t StoredNameStringMode(NameStringMode mode) { return static_cast<std::uint32_t>(mode); }

std::uint32_t StoredWordAutoMode(WordAutoMode mode) { return static_cast<std::uint32_t>(mode); }

std::string WorkerSearchText(const settings::FormState& form)
{
    SearchJob job;
    job.matchCase = form.matchCase != 0;
    job.regularExpression = form.regularExpression != 0;
    return PrepareSearchText(form.searchTexts.text, job, CodePage::system());
}

}  // namespace tarnwick::session
