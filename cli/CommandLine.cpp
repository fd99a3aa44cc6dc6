#include "cli/CommandLine.h"

#include "engine/Messages.h"
#include "engine/match/SearchPattern.h"
#include "platform/Clock.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <ctime>
#include <limits>
#include <sstream>

namespace tarnwick {
namespace {

// Option values as the command line gives them, before they go into the job.
struct RawOptions {
    bool regex = false, matchCase = false, wholeWords = false, subfolders = false;
    std::optional<std::string> types;
    std::optional<std::string> names;
    std::string namesMode = "all";
    std::optional<std::uint32_t> minSize, maxSize;
    std::optional<std::string> dateFrom, dateTo;
    std::optional<std::string> dateKinds;
    bool fileNames = false, dirNames = false, noContents = false;
    bool skipHidden = false, skipReadOnly = false, skipArchive = false, skipSystem = false, attributesOnDirs = false;
    std::optional<std::uint32_t> context;
    bool noBackup = false, searchBackups = false;
    std::optional<std::string> backupExt;
    bool noWord = false, wordAllTypes = false;
    std::optional<std::string> wordExt;
    bool escapes = false;
    std::optional<std::uint32_t> splitLength, splitMaxOffset;
    std::optional<std::string> tempDir;
    bool ignoreNulls = false;
    std::optional<std::uint32_t> detectUtf8;
    std::optional<std::string> logFile;
    bool onlyUpper = false;
};

constexpr std::uint32_t kDefaultDetectLength = 51'200;

void addJobOptions(CLI::App& app, RawOptions& o)
{
    const auto u32 = CLI::Range(std::uint32_t{0}, std::numeric_limits<std::uint32_t>::max());
    app.add_flag("-e,--regex", o.regex, "Treat TEXT as a regular expression (Perl syntax)");
    app.add_flag("-c,--match-case", o.matchCase, "Case is significant");
    app.add_flag("-w,--whole-words", o.wholeWords, "Only whole-word hits count (plain text)");
    app.add_flag("-r,--subfolders", o.subfolders, "Search subfolders too");
    app.add_option("-t,--types", o.types, "File types, e.g. \"*.txt;*.h\" (default: every type)");
    app.add_option("--names", o.names, "Strings that file names must contain, ';'-separated");
    app.add_option("--names-mode", o.namesMode, "all: every string must occur; ignore: skip names with any")
        ->check(CLI::IsMember({"all", "ignore"}));
    app.add_option("--min-size", o.minSize, "Only files of at least KB kilobytes")->check(u32);
    app.add_option("--max-size", o.maxSize, "Only files of at most KB kilobytes")->check(u32);
    app.add_option("--date-from", o.dateFrom, "Only files dated from \"YYYY-MM-DD HH:MM:SS\"");
    app.add_option("--date-to", o.dateTo, "Only files dated up to \"YYYY-MM-DD HH:MM:SS\"");
    app.add_option("--date-kinds", o.dateKinds, "Dates the range applies to: created,modified,accessed (default: created)");
    app.add_flag("--file-names", o.fileNames, "Search file names");
    app.add_flag("--dir-names", o.dirNames, "Search directory names");
    app.add_flag("--no-contents", o.noContents, "Do not search file contents");
    app.add_flag("--skip-hidden", o.skipHidden, "Skip hidden entries (names beginning with '.')");
    app.add_flag("--skip-readonly", o.skipReadOnly, "Skip entries whose owner may not write them");
    app.add_flag("--skip-archive", o.skipArchive, "Skip entries with the archive attribute");
    app.add_flag("--skip-system", o.skipSystem, "Skip devices, FIFOs and sockets");
    app.add_flag("--attributes-on-dirs", o.attributesOnDirs, "Apply the --skip-* options to directories too");
    app.add_option("--context", o.context, "Bytes of context before and after a hit (default 20)")
        ->check(CLI::Range(std::uint32_t{0}, std::uint32_t{100'000}));
    app.add_flag("--no-backup", o.noBackup, "Make no backup copies");
    app.add_option("--backup-ext", o.backupExt, "Extension of backup copies (default .bak)");
    app.add_flag("--search-backups", o.searchBackups, "Search files with the backup extension too");
    app.add_flag("--no-word", o.noWord, "Treat word-processor documents as bytes");
    app.add_flag("--word-all-types", o.wordAllTypes, "Open every file as a word-processor document");
    app.add_option("--word-ext", o.wordExt, "Document extensions, e.g. \"doc, dot, rtf, docx\"");
    app.add_flag("--escapes", o.escapes, "Interpret \\t, \\n, \\xHH ... in the replacement");
    app.add_option("--split-length", o.splitLength, "Read files larger than 1.1 x BYTES in chunks of BYTES")
        ->check(CLI::Range(std::uint32_t{64}, std::numeric_limits<std::uint32_t>::max()));
    app.add_option("--split-max-offset", o.splitMaxOffset, "Chunk overlap for regular expressions, in bytes")->check(u32);
    app.add_option("--temp-dir", o.tempDir, "Directory for temporary files of split replaces");
    app.add_flag("--ignore-nulls", o.ignoreNulls, "Plain search ends at the first NUL byte of a chunk");
    app.add_option("--detect-utf8", o.detectUtf8, "Detect UTF-8 files by their first BYTES (0: whole file)")
        ->expected(0, 1)
        ->default_str(std::to_string(kDefaultDetectLength))
        ->check(u32);
    app.add_option("--log", o.logFile, "Append the operation log block to FILE");
}

void addLowercaseOptions(CLI::App& app, RawOptions& o)
{
    app.add_flag("--only-upper", o.onlyUpper, "Only names written entirely in capitals");
}

std::string lowerAscii(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// Applies the raw options to the job; returns an error text on a bad value.
std::optional<std::string> applyOptions(const RawOptions& o, SearchJob& job)
{
    job.regularExpression = o.regex;
    job.matchCase = o.matchCase;
    job.wholeWords = o.wholeWords;
    job.includeSubfolders = o.subfolders;
    if (o.types) {
        job.allFileTypes = 0;
        job.fileTypes = NormalizeFileTypes(*o.types);
        if (job.fileTypes.empty()) return std::string(text::kNoFileTypes);
    } else {
        job.allFileTypes = 1;
    }
    if (o.names) {
        job.nameStrings = *o.names;
        if (!job.nameStrings.empty() && job.nameStrings.back() != ';') job.nameStrings += ';';
    }
    job.nameStringMode = o.namesMode == "ignore" ? NameStringMode::IgnoreIfAnyOccurs : NameStringMode::AllMustOccur;
    if (o.minSize || o.maxSize) {
        job.sizeFilter = 1;
        job.minSizeKb = o.minSize.value_or(0);
        job.maxSizeKb = o.maxSize.value_or(std::numeric_limits<std::uint32_t>::max());
    }
    if (o.dateFrom || o.dateTo) {
        job.dateFilter = 1;
        // A bound that is not given leaves that side open.
        job.dateFrom = std::numeric_limits<std::int64_t>::min();
        job.dateTo = std::numeric_limits<std::int64_t>::max();
        if (o.dateFrom) {
            const auto t = ParseLocalTime(*o.dateFrom);
            if (!t) return "invalid date: " + *o.dateFrom + " (expected \"YYYY-MM-DD HH:MM:SS\")";
            job.dateFrom = *t;
        }
        if (o.dateTo) {
            const auto t = ParseLocalTime(*o.dateTo);
            if (!t) return "invalid date: " + *o.dateTo + " (expected \"YYYY-MM-DD HH:MM:SS\")";
            job.dateTo = *t;
        }
    }
    if (o.dateKinds) {
        job.dateCreated = job.dateModified = job.dateAccessed = 0;
        std::stringstream list(*o.dateKinds);
        std::string kind;
        while (std::getline(list, kind, ',')) {
            kind.erase(std::remove(kind.begin(), kind.end(), ' '), kind.end());
            if (kind == "created") job.dateCreated = 1;
            else if (kind == "modified") job.dateModified = 1;
            else if (kind == "accessed") job.dateAccessed = 1;
            else return "invalid date kind: " + kind + " (expected created, modified or accessed)";
        }
    }
    job.searchFileNames = o.fileNames;
    job.searchDirNames = o.dirNames;
    job.searchContents = !o.noContents;
    job.skipHidden = o.skipHidden;
    job.skipReadOnly = o.skipReadOnly;
    job.skipArchive = o.skipArchive;
    job.skipSystem = o.skipSystem;
    job.attributesOnDirs = o.attributesOnDirs;
    if (o.context) job.contextLength = *o.context;
    job.makeBackup = !o.noBackup;
    if (o.backupExt) job.backupExtension = NormalizeBackupExtension(*o.backupExt);
    job.skipBackupFiles = !o.searchBackups;
    job.useWord = !o.noWord;
    job.wordAutoMode = o.wordAllTypes ? WordAutoMode::AllTypes : WordAutoMode::ByExtension;
    if (o.wordExt) {
        if (o.wordExt->find_first_of("\\/:*?<>|") != std::string::npos)
            return "invalid document extension list: " + *o.wordExt + " (no \\ / : * ? < > |)";
        job.wordExtensions = lowerAscii(*o.wordExt);
    }
    job.specialCharacters = o.escapes;
    if (o.splitLength) job.splitLength = *o.splitLength;
    if (o.splitMaxOffset) job.splitMaxOffset = *o.splitMaxOffset;
    if (o.tempDir) {
        job.tempDirIsCurrent = 0;
        job.tempDir = *o.tempDir;
    }
    job.ignoreNulls = o.ignoreNulls;
    if (o.detectUtf8) {
        job.detectUtf8 = 1;
        job.detectLength = *o.detectUtf8;
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::int64_t> ParseLocalTime(const std::string& text)
{
    std::tm tm{};
    const char* end = ::strptime(text.c_str(), "%Y-%m-%d %H:%M:%S", &tm);
    if (!end || *end != '\0') return std::nullopt;
    const std::tm parsed = tm;
    tm.tm_isdst = -1;
    const std::time_t t = std::mktime(&tm);
    if (t == static_cast<std::time_t>(-1)) return std::nullopt;
    // mktime normalises 2026-02-31 into March: such a date was not valid.
    if (tm.tm_mday != parsed.tm_mday || tm.tm_mon != parsed.tm_mon || tm.tm_year != parsed.tm_year) return std::nullopt;
    return static_cast<std::int64_t>(t);
}

CliParse ParseCommandLine(const std::vector<std::string>& arguments, const Clock& clock)
{
    CliParse result;
    CLI::App app{"Tarnwick: search and replace text in many files at once.", "tarnwick-cli"};
    app.require_subcommand(1);
    app.set_version_flag("--version", "tarnwick-cli 0.1.0");

    RawOptions options;
    std::string searchText, replacement, directory;
    CLI::App* search = app.add_subcommand("search", "Search TEXT in the files under DIR");
    search->add_option("TEXT", searchText, "The search text")->required();
    search->add_option("DIR", directory, "The directory to start in")->required();
    addJobOptions(*search, options);

    CLI::App* replace = app.add_subcommand("replace", "Replace TEXT by REPLACEMENT in the files under DIR");
    replace->add_option("TEXT", searchText, "The search text")->required();
    replace->add_option("REPLACEMENT", replacement, "The replacement (may be empty: \"\")")->required();
    replace->add_option("DIR", directory, "The directory to start in")->required();
    addJobOptions(*replace, options);

    CLI::App* lowercase = app.add_subcommand("lowercase", "Turn the file names under DIR into lower case");
    lowercase->add_option("DIR", directory, "The directory to start in")->required();
    addJobOptions(*lowercase, options);
    addLowercaseOptions(*lowercase, options);

    std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::ParseError& e) {
        // CLI11 knows which (sub)command's help or which message belongs here.
        std::ostringstream out, err;
        result.exitStatus = app.exit(e, out, err) == 0 ? 0 : 2;
        result.output = out.str();
        result.error = err.str();
        while (!result.error.empty() && result.error.back() == '\n') result.error.pop_back();
        return result;
    }

    auto refuse = [&](const std::string& message) {
        result.exitStatus = 2;
        result.error = message;
        return result;
    };
    CliRequest request;
    request.command = replace->parsed() ? "replace" : lowercase->parsed() ? "lowercase" : "search";
    request.job = DefaultSearchJob(clock.now());
    const bool converting = request.command == "lowercase";
    if (!converting && searchText.empty()) return refuse(text::kNoSearchText);
    if (directory.empty()) return refuse(text::kNoDirectory);
    if (const auto error = applyOptions(options, request.job)) return refuse(*error);
    const SearchJob& job = request.job;
    if (!converting && !job.searchContents && !job.searchFileNames && !job.searchDirNames)
        return refuse(text::kNothingToSearch);
    request.searchText = searchText;
    request.replacementTyped = replacement;
    request.job.replaceText = replacement;
    request.replacement = replacement;
    if (request.command == "replace" && job.specialCharacters) {
        const EscapeResult converted = InterpretEscapes(replacement);
        if (!converted.ok) return refuse(converted.error);
        request.replacement = converted.text;
    }
    request.renameArgument = options.onlyUpper ? 0 : 1;
    request.directory = directory;
    request.logPath = options.logFile;
    result.request = std::move(request);
    return result;
}

}  // namespace tarnwick
