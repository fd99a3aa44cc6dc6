#include "formjob/FormJob.h"

#include <gtest/gtest.h>

namespace tarnwick::session {
namespace {

// A form whose every field differs from the job defaults, so that a field
// that is not carried over (or carried into the wrong field) shows.
settings::FormState UnusualForm()
{
    settings::FormState form;
    form.allFileTypes = 1;
    form.regularExpression = 1;
    form.matchCase = 1;
    form.wholeWords = 1;
    form.nameStringMode = 1;
    form.includeSubfolders = 1;
    form.sizeFilter = 1;
    form.minSizeKb = 7;
    form.maxSizeKb = 9;
    form.searchContents = 0;
    form.searchDirNames = 1;
    form.searchFileNames = 1;
    form.dateCreated = 0;
    form.dateModified = 1;
    form.dateAccessed = 1;
    form.dateFilter = 1;
    form.useWord = 0;
    form.specialCharacters = 1;
    form.wordAutoMode = 0;
    form.attributesOnDirs = 1;
    form.skipHidden = 1;
    form.skipArchive = 1;
    form.skipReadOnly = 1;
    form.skipSystem = 1;
    form.searchTexts.text = "Needle";
    form.replaceTexts.text = "Thread";
    form.fileTypes.text = "*.TXT; *.Cpp;";
    form.nameStrings.text = "Keep;";
    form.options.makeBackup = 0;
    form.options.alwaysBackup = 0;
    form.options.backupExtension = ".orig";
    form.options.skipBackupFiles = 0;
    form.options.contextLength = 33;
    form.options.wordExtensions = "DOCX, Odt";
    form.options.splitLength = 1'000'000;
    form.options.splitMaxOffset = 2'048;
    form.options.tempDirIsCurrent = 0;
    form.options.tempDir = "/var/tmp";
    form.options.ignoreNulls = 1;
    form.options.detectUtf8 = 1;
    form.options.detectLength = 0;
    form.options.searchThreads = 3;
    return form;
}

TEST(FormJob, CarriesEveryFieldIntoItsJobField)
{
    const SearchJob job = JobFromFormState(UnusualForm(), 100, 200);
    EXPECT_EQ(job.allFileTypes, 1);
    EXPECT_EQ(job.regularExpression, 1);
    EXPECT_EQ(job.matchCase, 1);
    EXPECT_EQ(job.wholeWords, 1);
    EXPECT_EQ(job.nameStringMode, NameStringMode::IgnoreIfAnyOccurs);
    EXPECT_EQ(job.includeSubfolders, 1);
    EXPECT_EQ(job.sizeFilter, 1);
    EXPECT_EQ(job.minSizeKb, 7u);
    EXPECT_EQ(job.maxSizeKb, 9u);
    EXPECT_EQ(job.searchContents, 0);
    EXPECT_EQ(job.searchDirNames, 1);
    EXPECT_EQ(job.searchFileNames, 1);
    EXPECT_EQ(job.dateCreated, 0);
    EXPECT_EQ(job.dateModified, 1);
    EXPECT_EQ(job.dateAccessed, 1);
    EXPECT_EQ(job.dateFilter, 1);
    EXPECT_EQ(job.dateFrom, 100);
    EXPECT_EQ(job.dateTo, 200);
    EXPECT_EQ(job.useWord, 0);
    EXPECT_EQ(job.specialCharacters, 1);
    EXPECT_EQ(job.wordAutoMode, WordAutoMode::AllTypes);
    EXPECT_EQ(job.attributesOnDirs, 1);
    EXPECT_EQ(job.skipHidden, 1);
    EXPECT_EQ(job.skipArchive, 1);
    EXPECT_EQ(job.skipReadOnly, 1);
    EXPECT_EQ(job.skipSystem, 1);
    EXPECT_EQ(job.replaceText, "Thread");
    EXPECT_EQ(job.nameStrings, "Keep;");
    EXPECT_EQ(job.makeBackup, 0);
    EXPECT_EQ(job.alwaysBackup, false);
    EXPECT_EQ(job.backupExtension, ".orig");
    EXPECT_EQ(job.skipBackupFiles, 0);
    EXPECT_EQ(job.contextLength, 33u);
    EXPECT_EQ(job.splitLength, 1'000'000u);
    EXPECT_EQ(job.splitMaxOffset, 2'048u);
    EXPECT_EQ(job.tempDirIsCurrent, 0);
    EXPECT_EQ(job.tempDir, "/var/tmp");
    EXPECT_EQ(job.ignoreNulls, 1);
    EXPECT_EQ(job.detectUtf8, 1);
    EXPECT_EQ(job.detectLength, 0u);
    EXPECT_EQ(job.searchThreads, 3u);
}

// The settings file keeps flags and modes as numbers. A number other than 0
// and 1 (an old or hand-edited file) keeps the meaning runs gave it: a flag
// is on unless it is 0, only 1 skips names with any of the strings, only 0
// routes every type to the document component.
TEST(FormJob, StoredNumbersOtherThanZeroAndOneKeepTheirMeaning)
{
    settings::FormState form;
    form.matchCase = 5;
    form.includeSubfolders = -1;
    form.searchContents = 0;
    form.skipSystem = 16;
    form.options.makeBackup = 2;
    form.options.alwaysBackup = 7;
    form.options.detectUtf8 = 0;
    form.nameStringMode = 2;
    form.wordAutoMode = 2;
    const SearchJob job = JobFromFormState(form, 0, 0);
    EXPECT_TRUE(job.matchCase);
    EXPECT_TRUE(job.includeSubfolders);
    EXPECT_FALSE(job.searchContents);
    EXPECT_TRUE(job.skipSystem);
    EXPECT_TRUE(job.makeBackup);
    EXPECT_TRUE(job.alwaysBackup);
    EXPECT_FALSE(job.detectUtf8);
    EXPECT_EQ(job.nameStringMode, NameStringMode::AllMustOccur);
    EXPECT_EQ(job.wordAutoMode, WordAutoMode::ByExtension);

    // What the form stores for a mode reads back as that mode.
    EXPECT_EQ(StoredNameStringMode(NameStringMode::AllMustOccur), 0u);
    EXPECT_EQ(StoredNameStringMode(NameStringMode::IgnoreIfAnyOccurs), 1u);
    EXPECT_EQ(StoredWordAutoMode(WordAutoMode::AllTypes), 0u);
    EXPECT_EQ(StoredWordAutoMode(WordAutoMode::ByExtension), 1u);
    for (const NameStringMode mode : {NameStringMode::AllMustOccur, NameStringMode::IgnoreIfAnyOccurs})
        EXPECT_EQ(NameStringModeOf(StoredNameStringMode(mode)), mode);
    for (const WordAutoMode mode : {WordAutoMode::AllTypes, WordAutoMode::ByExtension})
        EXPECT_EQ(WordAutoModeOf(StoredWordAutoMode(mode)), mode);
}

TEST(FormJob, LowersFileTypesWordExtensionsAndUnmatchedSearchText)
{
    settings::FormState form = UnusualForm();
    const SearchJob job = JobFromFormState(form, 0, 0);
    EXPECT_EQ(job.fileTypes, "*.txt; *.cpp;");
    EXPECT_EQ(job.wordExtensions, "docx, odt");

    EXPECT_EQ(WorkerSearchText(form), "Needle");
    form.matchCase = 0;
    form.regularExpression = 0;
    EXPECT_EQ(WorkerSearchText(form), "needle");
    // Lowering an expression would turn \W into \w.
    form.regularExpression = 1;
    form.searchTexts.text = "A\\W+";
    EXPECT_EQ(WorkerSearchText(form), "A\\W+");
}

}  // namespace
}  // namespace tarnwick::session
