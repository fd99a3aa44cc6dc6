// The report archive and what the reporter collects before it shows
// anything, read back through an independent zip reader.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

#include "crash/ReportArchive.h"
#include "crash/ReportCollector.h"
#include "tests/support/TempTree.h"
#include "word/package/ZipPackage.h"

namespace tarnwick::crash {
namespace {

TEST(ReportArchive, HoldsEachFileUnderItsOwnNameInAUniqueFile)
{
    test::TempTree tree;
    // On disk the files carry random digits; in the archive their plain names.
    const std::string trace = tree.write("tarnwick-0123456789abcdef.trace", "Signal: 11 (SIGSEGV)\n");
    const std::string log = tree.write("tarnwick-fedcba9876543210.xml", std::string("<Exception>\0\xff</Exception>", 25));
    const std::string out = tree.mkdir("out");

    const std::vector<ReportFile> files{
        {trace, kCrashDumpDescription}, {tree.path("missing.sym"), kSymbolFileDescription}, {log, kCrashLogDescription}};
    const ReportArchive first = CreateReportArchive(files, out, "tarnwick");
    ASSERT_FALSE(first.path.empty()) << first.error;
    const ReportArchive second = CreateReportArchive(files, out, "tarnwick");
    ASSERT_FALSE(second.path.empty()) << second.error;
    EXPECT_NE(first.path, second.path);
    const std::string name = std::filesystem::path(first.path).filename().string();
    EXPECT_TRUE(name.starts_with("tarnwick") && name.ends_with(".zip")) << name;
    EXPECT_EQ(name.size(), std::string("tarnwickXXXXXX.zip").size());

    const word::ZipPackage zip(first.path);
    EXPECT_EQ(zip.read("tarnwick.trace"), test::ReadFile(trace));
    EXPECT_EQ(zip.read("tarnwick.xml"), test::ReadFile(log));
    EXPECT_FALSE(zip.read("missing.sym"));
}

TEST(ReportArchive, AnArchiveThatCannotBeMadeSaysWhy)
{
    test::TempTree tree;
    const ReportArchive missingDirectory = CreateReportArchive({}, tree.path("no/such/dir"), "tarnwick");
    EXPECT_TRUE(missingDirectory.path.empty());
    EXPECT_EQ(missingDirectory.error, "No such file or directory");
}

TEST(ReportCollector, WritesTheLogBesideTheTraceAndArchivesBothInOrder)
{
    test::TempTree tree;
    const std::string trace = tree.write("tarnwick.trace", "Signal: 7 (SIGBUS)\n");
    CrashFacts facts;
    facts.programPath = "/usr/bin/tarnwick";
    facts.signal = SIGBUS;
    const CollectedReport report = CollectReport(trace, facts, tree.root());

    EXPECT_EQ(report.baseName, "tarnwick");
    ASSERT_EQ(report.files.size(), 2u);
    EXPECT_EQ(report.files[0].path, trace);
    EXPECT_EQ(report.files[0].description, "Crash Dump");
    const std::string log = report.files[1].path;
    const std::string logName = std::filesystem::path(log).filename().string();
    EXPECT_EQ(log, tree.path(logName));
    EXPECT_TRUE(logName.starts_with("tarnwick-") && logName.ends_with(".xml") && logName.size() == 29) << logName;
    EXPECT_EQ(report.files[1].description, "Crash Log");
    EXPECT_EQ(test::ReadFile(log), BuildCrashLog(facts));
    ASSERT_FALSE(report.archive.path.empty()) << report.archive.error;
    EXPECT_EQ(word::ZipPackage(report.archive.path).read("tarnwick.xml"), BuildCrashLog(facts));

    // Nothing planted under the log's former name is written through: neither
    // a link nor a hard link to a file of the user's.
    const std::string victim = tree.write("victim.txt", "keep me");
    for (const bool hard : {false, true}) {
        const std::string planted = tree.mkdir(hard ? "hard" : "linked");
        if (hard)
            std::filesystem::create_hard_link(victim, planted + "/tarnwick.xml");
        else
            std::filesystem::create_symlink(victim, planted + "/tarnwick.xml");
        const CollectedReport beside = CollectReport(trace, facts, planted);
        EXPECT_EQ(test::ReadFile(victim), "keep me");
        ASSERT_EQ(beside.files.size(), 2u);
        EXPECT_NE(beside.files[1].path, planted + "/tarnwick.xml");
        EXPECT_EQ(test::ReadFile(beside.files[1].path), BuildCrashLog(facts));
    }

    // Without a trace (the handler could not write it) the log alone is reported.
    const CollectedReport logOnly = CollectReport(tree.path("none.trace"), facts, tree.root());
    ASSERT_EQ(logOnly.files.size(), 1u);
    EXPECT_EQ(logOnly.files[0].description, "Crash Log");
}

}  // namespace
}  // namespace tarnwick::crash
