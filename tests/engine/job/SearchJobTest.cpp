#include "engine/job/SearchJob.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

TEST(SearchJob, Defaults)
{
    const SearchJob job = DefaultSearchJob(1'700'000'000);
    EXPECT_EQ(job.dateFrom, 1'700'000'000 - 86'400);
    EXPECT_EQ(job.dateTo, 1'700'000'000);
    const std::int64_t flags[] = {
        job.allFileTypes,   job.regularExpression, job.includeSubfolders, job.sizeFilter,  job.searchFileNames,
        job.searchContents, job.matchCase,         job.wholeWords,        job.dateCreated, job.dateModified,
        job.dateAccessed,   job.dateFilter,        job.searchDirNames,    job.makeBackup,  job.skipBackupFiles,
        job.useWord,        job.specialCharacters, job.attributesOnDirs,  job.skipHidden,  job.skipReadOnly,
        job.skipArchive,    job.skipSystem,        job.tempDirIsCurrent,  job.ignoreNulls, job.detectUtf8};
    const std::int64_t expectedFlags[] = {0, 0, 0, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0, 1, 1, 1, 0, 0, 0, 0, 0, 0, 1, 0, 0};
    for (std::size_t i = 0; i < std::size(flags); ++i) EXPECT_EQ(flags[i], expectedFlags[i]) << "flag " << i;
    EXPECT_EQ(job.nameStringMode, NameStringMode::AllMustOccur);
    EXPECT_EQ(job.maxSizeKb, 100u);
    EXPECT_EQ(job.minSizeKb, 0u);
    EXPECT_EQ(job.backupExtension, ".bak");
    EXPECT_EQ(job.contextLength, 20u);
    EXPECT_EQ(job.wordAutoMode, WordAutoMode::ByExtension);
    EXPECT_EQ(job.alwaysBackup, true);
    EXPECT_EQ(job.wordExtensions, "doc, dot, rtf, docx, odt");
    EXPECT_EQ(job.splitLength, 52'428'800u);
    EXPECT_EQ(job.splitMaxOffset, 1'024u);
    EXPECT_EQ(job.detectLength, 51'200u);
    EXPECT_EQ(job.replaceText, "");
    EXPECT_EQ(job.nameStrings, "");
    EXPECT_EQ(job.tempDir, "");
}

TEST(SearchJob, NormalizeBackupExtension)
{
    const std::pair<const char*, const char*> cases[] = {
        {"bak", ".bak"}, {".bak", ".bak"}, {"  .old", ".old"}, {"  x", ".x"}, {"BAK", ".BAK"}};
    for (const auto& [typed, stored] : cases) EXPECT_EQ(NormalizeBackupExtension(typed), stored) << typed;
}

TEST(SearchJob, NormalizeFileTypes)
{
    const std::pair<const char*, const char*> cases[] = {
        {"txt,doc", ".txt; .doc;"}, {"*.h; *.cpp", "*.h; *.cpp;"}, {"*.TXT;", "*.txt;"}, {" .c ;h;", ".c; .h;"},
        {"t xt", ".txt;"},
    };
    for (const auto& [typed, stored] : cases) EXPECT_EQ(NormalizeFileTypes(typed), stored) << typed;
}

}  // namespace
}  // namespace tarnwick
