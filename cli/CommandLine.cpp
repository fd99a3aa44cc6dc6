#include "cli/CommandLine.h"

#include "cli/StoredForm.h"

#include "engine/Messages.h"
#include "engine/job/RunReplacement.h"
#include "engine/match/SearchPattern.h"
#include "formjob/ExportDialogLogic.h"
#include "formjob/RelativeDates.h"
#include "platform/Clock.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <ctime>
#include <limits>
#include <sstream>

namespace tarnwick {
namespace text {
inline constexpr const char* kInvalidChangedWithin = "Ungültige Zeitspanne für --changed-within: ";
inline constexpr const char* kInvalidChangedWithinHint =
    " (erwartet eine Zahl von 1 bis 99999, gefolgt von d für Tage oder h für Stunden, z. B. 7d oder 12h)";
inline constexpr const char* kNoSuchPreset = "Keine gespeicherte Suche mit dem Namen: ";
inline constexpr const char* kChangedWithinAndRange = "--changed-within und --date-from/--date-to schliessen sich aus";
}  // namespace text
namespace {

// Option values as the command line gives them, before they go into the job.
struct RawOptions {
    bool regex = false, matchCase = false, wholeWords = false, subfolders = false;
    std::optional<std::string> types;
    std::optional<std::string> names;
    std::optional<std::string> namesMode;
    std::optional<std::uint32_t> minSize, maxSize;
    std::optional<std::string> dateFrom, dateTo;
    std::optional<std::string> dateKinds;
    std::optional<std::string> changedWithin;
    bool fileNames = false, dirNames = false, noContents = false;
    bool skipHidden = false, skipReadOnly = false, skipArchive = false, skipSystem = false, attributesOnDirs = false;
    std::optional<std::uint32_t> context;
    bool noBackup = false, searchBackups = false;
    std::optional<std::string> backupExt;
    bool noWord = false, wordAllTypes = false, wordRegex = false, wordAllParts = false;
    std::optional<std::string> wordExt;
    bool escapes = false;
    bool captures = false;
    bool preserveCase = false;
    bool filesWithoutMatch = false;
    bool inside = false;
    std::optional<std::uint32_t> splitLength, splitMaxOffset;
    std::optional<std::string> tempDir;
    bool ignoreNulls = false;
    std::optional<std::uint32_t> detectUtf8;
    std::optional<std::uint32_t> threads;
    std::optional<std::string> logFile;
    bool onlyUpper = false;
    bool useSettings = false;
    std::optional<std::string> settingsFile;  // --settings-file
    std::optional<std::string> preset;  // --preset
    std::optional<std::string> exportFormat, exportOut, exportElements, separator;
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
    app.add_option("--changed-within", o.changedWithin,
                   "Only files dated within the last N days (7d) or hours (12h) before the run, by --date-kinds");
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
    app.add_flag("--word-all-parts", o.wordAllParts,
                 "Search and replace in documents' headers, footers, notes, comments and text boxes too");
    app.add_option("--word-ext", o.wordExt, "Document extensions, e.g. \"doc, dot, rtf, docx\"");
    app.add_flag("--word-regex", o.wordRegex, "With -e, search documents with the expression too (else literally)");
    app.add_flag("--escapes", o.escapes, "Interpret \\t, \\n, \\xHH ... in the replacement");
    app.add_flag("--captures", o.captures,
                 "With -r: the replacement is a Perl format ($1, ${name}, \\1, $&, $$, \\U \\L \\E \\u \\l)");
    app.add_flag("--preserve-case", o.preserveCase,
                 "Each replacement takes the case of its hit (FOO -> BAR, Foo -> Bar, foo -> bar)");
    app.add_flag("-L,--files-without-match", o.filesWithoutMatch,
                 "Search: list the files whose contents do not contain TEXT, instead of the hits");
    app.add_flag("-z,--inside", o.inside,
                 "Search inside archives, compressed files, PDFs, spreadsheets and presentations (never replaced)");
    app.add_option("--split-length", o.splitLength, "Read files larger than 1.1 x BYTES in chunks of BYTES")
        ->check(CLI::Range(std::uint32_t{64}, std::numeric_limits<std::uint32_t>::max()));
    app.add_option("--split-max-offset", o.splitMaxOffset, "Chunk overlap for regular expressions, in bytes")->check(u32);
    app.add_option("--temp-dir", o.tempDir, "Directory for temporary files of split replaces");
    app.add_flag("--ignore-nulls", o.ignoreNulls, "Plain search ends at the first NUL byte of a chunk");
    app.add_option("--detect-utf8", o.detectUtf8, "Detect UTF-8 files by their first BYTES (0: whole file)")
        ->expected(0, 1)
        ->default_str(std::to_string(kDefaultDetectLength))
        ->check(u32);
    app.add_option("--threads", o.threads, "Threads that search file contents (default 0: one per core)")
        ->check(CLI::Range(std::uint32_t{0}, std::uint32_t{256}));
    app.add_option("--log", o.logFile, "Append the operation log block to FILE");
    app.add_flag("--settings", o.useSettings,
                 "Start from the search stored by the desktop program; TEXT, DIR and options given here override it");
    app.add_option("--settings-file", o.settingsFile, "Like --settings, with the settings stored in FILE");
    app.add_option("--preset", o.preset,
                   "Start from the search saved as NAME in the desktop program; TEXT, DIR and options given here override it");
    app.add_option("--export", o.exportFormat, "Save the results after the run: xml, csv or template=FILE");
    app.add_option("--out", o.exportOut, "The file the results are saved to (XML unless --export says otherwise)");
    app.add_option("--export-elements", o.exportElements, "What to save: hits,errors,filenames,dirnames (default hits)");
    app.add_option("--separator", o.separator, "CSV column separator, \\t for a tab (default \"; \")");
}

// The export the options ask for, checked as the export dialog checks it;
// an error text when they do not make sense.
Expected<void> applyExportOptions(const RawOptions& o, std::optional<ExportRequest>& request)
{
    if (!o.exportOut) {
        if (o.exportFormat || o.exportElements || o.separator) return invalidInput("--export needs --out PATH");
        return succeeded();
    }
    if (o.exportOut->empty()) return invalidInput("--out needs a file name");
    ExportSettings settings;
    if (o.separator) settings.separator = *o.separator;
    const std::string format = o.exportFormat.value_or("xml");
    if (format == "xml") {
        settings.type = ExportType::Xml;
    } else if (format == "csv") {
        settings.type = ExportType::Csv;
    } else if (format.rfind("template=", 0) == 0) {
        settings.type = ExportType::Template;
        settings.templatePath = format.substr(std::strlen("template="));
    } else {
        return invalidInput("invalid export: " + format + " (expected xml, csv or template=FILE)");
    }
    if (o.exportElements) {
        settings.elements = 0;
        std::stringstream list(*o.exportElements);
        std::string element;
        while (std::getline(list, element, ',')) {
            element.erase(std::remove(element.begin(), element.end(), ' '), element.end());
            if (element == "hits")
                settings.elements |= ExportElement::Hits;
            else if (element == "errors")
                settings.elements |= ExportElement::Errors;
            else if (element == "filenames")
                settings.elements |= ExportElement::FileNames;
            else if (element == "dirnames")
                settings.elements |= ExportElement::DirNames;
            else
                return invalidInput("invalid export element: " + element + " (expected hits, errors, filenames or dirnames)");
        }
    }
    const ExportDialogLogic dialog(settings);
    if (Expected<void> accepted = dialog.accept(); !accepted) return accepted;
    request = dialog.makeRequest(*o.exportOut);
    return succeeded();
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
// Only what was given changes the job, so that options override a job taken
// from the stored settings; a flag left out keeps the job's value, which for
// a default job is the flag's off state.
Expected<void> applyOptions(const RawOptions& o, SearchJob& job, bool fromSettings, std::int64_t now)
{
    if (o.regex) job.regularExpression = true;
    if (o.matchCase) job.matchCase = true;
    if (o.wholeWords) job.wholeWords = true;
    if (o.subfolders) job.includeSubfolders = true;
    if (o.types) {
        job.allFileTypes = false;
        job.fileTypes = NormalizeFileTypes(*o.types);
    } else if (!fromSettings) {
        job.allFileTypes = true;
    }
    if (o.names) {
        job.nameStrings = *o.names;
        if (!job.nameStrings.empty() && job.nameStrings.back() != ';') job.nameStrings += ';';
    }
    if (o.namesMode)
        job.nameStringMode = *o.namesMode == "ignore" ? NameStringMode::IgnoreIfAnyOccurs : NameStringMode::AllMustOccur;
    if (o.minSize || o.maxSize) {
        job.sizeFilter = true;
        job.minSizeKb = o.minSize.value_or(0);
        job.maxSizeKb = o.maxSize.value_or(std::numeric_limits<std::uint32_t>::max());
    }
    if (o.dateFrom || o.dateTo) {
        job.dateFilter = true;
        // A bound that is not given leaves that side open.
        job.dateFrom = std::numeric_limits<std::int64_t>::min();
        job.dateTo = std::numeric_limits<std::int64_t>::max();
        if (o.dateFrom) {
            const auto t = ParseLocalTime(*o.dateFrom);
            if (!t) return invalidInput("invalid date: " + *o.dateFrom + " (expected \"YYYY-MM-DD HH:MM:SS\")");
            job.dateFrom = *t;
        }
        if (o.dateTo) {
            const auto t = ParseLocalTime(*o.dateTo);
            if (!t) return invalidInput("invalid date: " + *o.dateTo + " (expected \"YYYY-MM-DD HH:MM:SS\")");
            job.dateTo = *t;
        }
    }
    if (o.changedWithin) {
        if (o.dateFrom || o.dateTo) return invalidInput(text::kChangedWithinAndRange);
        const auto span = session::ParseRelativeSpan(*o.changedWithin);
        if (!span) return invalidInput(text::kInvalidChangedWithin + *o.changedWithin + text::kInvalidChangedWithinHint);
        job.dateFilter = true;
        session::ApplyRelativeSpan(*span, now, job);
    }
    if (o.dateKinds) {
        job.dateCreated = job.dateModified = job.dateAccessed = false;
        std::stringstream list(*o.dateKinds);
        std::string kind;
        while (std::getline(list, kind, ',')) {
            kind.erase(std::remove(kind.begin(), kind.end(), ' '), kind.end());
            if (kind == "created")
                job.dateCreated = true;
            else if (kind == "modified")
                job.dateModified = true;
            else if (kind == "accessed")
                job.dateAccessed = true;
            else
                return invalidInput("invalid date kind: " + kind + " (expected created, modified or accessed)");
        }
    }
    if (o.fileNames) job.searchFileNames = true;
    if (o.dirNames) job.searchDirNames = true;
    if (o.noContents) job.searchContents = false;
    if (o.skipHidden) job.skipHidden = true;
    if (o.skipReadOnly) job.skipReadOnly = true;
    if (o.skipArchive) job.skipArchive = true;
    if (o.skipSystem) job.skipSystem = true;
    if (o.attributesOnDirs) job.attributesOnDirs = true;
    if (o.context) job.contextLength = *o.context;
    if (o.noBackup) job.makeBackup = false;
    if (o.backupExt) job.backupExtension = NormalizeBackupExtension(*o.backupExt);
    if (o.searchBackups) job.skipBackupFiles = false;
    if (o.noWord) job.useWord = false;
    if (o.wordAllTypes) job.wordAutoMode = WordAutoMode::AllTypes;
    if (o.wordRegex) job.wordRegex = true;
    if (o.wordAllParts) job.wordAllParts = true;
    if (o.wordExt) {
        if (o.wordExt->find_first_of("\\/:*?<>|") != std::string::npos)
            return invalidInput("invalid document extension list: " + *o.wordExt + " (no \\ / : * ? < > |)");
        job.wordExtensions = lowerAscii(*o.wordExt);
    }
    if (o.escapes) job.specialCharacters = true;
    if (o.captures) job.replacementCaptures = true;
    if (o.preserveCase) job.preserveCase = true;
    if (o.filesWithoutMatch) job.filesWithoutHits = true;
    if (o.inside) job.searchInside = true;
    if (o.splitLength) job.splitLength = *o.splitLength;
    if (o.splitMaxOffset) job.splitMaxOffset = *o.splitMaxOffset;
    if (o.tempDir) {
        job.tempDirIsCurrent = false;
        job.tempDir = *o.tempDir;
    }
    if (o.ignoreNulls) job.ignoreNulls = true;
    if (o.detectUtf8) {
        job.detectUtf8 = true;
        job.detectLength = *o.detectUtf8;
    }
    if (o.threads) job.searchThreads = *o.threads;
    return succeeded();
}

bool usesStoredSettings(const std::vector<std::string>& arguments)
{
    for (const std::string& argument : arguments) {
        if (argument == "--") break;
        if (argument == "--settings" || argument.rfind("--settings-file", 0) == 0 || argument.rfind("--preset", 0) == 0)
            return true;
    }
    return false;
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

Expected<CliRequest> ParseCommandLine(const std::vector<std::string>& arguments, const Clock& clock)
{
    CLI::App app{"Tarnwick: search and replace text in many files at once.", "tarnwick-cli"};
    app.require_subcommand(1);
    app.set_version_flag("--version", "tarnwick-cli 0.1.0");

    // With the stored settings, the texts and the directory may come from there.
    const bool fromSettings = usesStoredSettings(arguments);
    RawOptions options;
    std::optional<std::string> searchText, replacement, directory;
    CLI::App* search = app.add_subcommand("search", "Search TEXT in the files under DIR");
    search->add_option("TEXT", searchText, "The search text")->required(!fromSettings);
    search->add_option("DIR", directory, "The directory to start in")->required(!fromSettings);
    addJobOptions(*search, options);
    search->footer("Examples:\n"
                   "  tarnwick-cli search -r -c -w -t \"*.h;*.cpp\" include src\n"
                   "  tarnwick-cli search -r -z -t \"*.log\" timeout /var/log   (inside archives and .gz files)\n"
                   "  tarnwick-cli search -z Rechnung ~/Dokumente   (PDF pages, sheets and slides too)");

    CLI::App* replace = app.add_subcommand("replace", "Replace TEXT by REPLACEMENT in the files under DIR");
    replace->add_option("TEXT", searchText, "The search text")->required(!fromSettings);
    replace->add_option("REPLACEMENT", replacement, "The replacement (may be empty: \"\")")->required(!fromSettings);
    replace->add_option("DIR", directory, "The directory to start in")->required(!fromSettings);
    addJobOptions(*replace, options);
    bool diffOnly = false;
    replace->add_flag("--diff", diffOnly, "Print every change the run would make as a unified diff; change nothing");

    CLI::App* lowercase = app.add_subcommand("lowercase", "Turn the file names under DIR into lower case");
    lowercase->add_option("DIR", directory, "The directory to start in")->required(!fromSettings);
    addJobOptions(*lowercase, options);
    addLowercaseOptions(*lowercase, options);

    bool undoList = false;
    std::string undoRun;
    CLI::App* undo = app.add_subcommand("undo", "Restore the files the newest run (or RUN) changed");
    undo->add_flag("--list", undoList, "List the runs that can be undone, newest first");
    undo->add_option("RUN", undoRun, "The run to undo, as --list names it");

    std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::ParseError& e) {
        // CLI11 knows which (sub)command's help or which message belongs here.
        std::ostringstream out, err;
        if (app.exit(e, out, err) == 0) {
            CliRequest help;
            help.command = CliCommand::Help;
            help.helpText = out.str();
            return help;
        }
        std::string message = err.str();
        while (!message.empty() && message.back() == '\n') message.pop_back();
        return invalidInput(std::move(message));
    }

    CliRequest request;
    if (undo->parsed()) {
        request.command = CliCommand::Undo;
        request.undoList = undoList;
        request.undoRun = undoRun;
        return request;
    }
    request.command = replace->parsed() ? CliCommand::Replace : lowercase->parsed() ? CliCommand::Lowercase : CliCommand::Search;
    request.job = DefaultSearchJob(clock.now());
    StoredForm stored;
    if (fromSettings) {
        if (options.preset) {
            std::optional<StoredForm> preset = ReadStoredPreset(options.settingsFile.value_or(""), *options.preset, clock.now());
            if (!preset) return invalidInput(text::kNoSuchPreset + *options.preset);
            stored = std::move(*preset);
        } else {
            stored = ReadStoredForm(options.settingsFile.value_or(""), clock.now());
        }
        request.job = stored.job;
        if (!searchText) searchText = stored.searchText;
        if (!replacement) replacement = stored.replacement;
        if (!directory) directory = stored.directory;
    }
    const bool converting = request.command == CliCommand::Lowercase;
    if (!converting && searchText.value_or("").empty()) return invalidInput(text::kNoSearchText);
    if (directory.value_or("").empty()) return invalidInput(text::kNoDirectory);
    if (Expected<void> applied = applyOptions(options, request.job, fromSettings, clock.now()); !applied) return applied.error();
    if (Expected<void> applied = applyExportOptions(options, request.exportRequest); !applied) return applied.error();
    const SearchJob& job = request.job;
    // The form's checks in its order; stored settings may hold a list that
    // normalises to nothing, as --types may.
    if (!converting && !job.allFileTypes && job.fileTypes.empty()) return invalidInput(text::kNoFileTypes);
    if (!converting && !job.searchContents && !job.searchFileNames && !job.searchDirNames)
        return invalidInput(text::kNothingToSearch);
    request.searchText = *searchText;
    request.replacementTyped = replacement.value_or("");
    request.job.replaceText = request.replacementTyped;
    request.replacement = request.replacementTyped;
    if (request.command == CliCommand::Replace) {
        Expected<std::string> prepared = PrepareRunReplacement(request.replacementTyped, request.searchText, job);
        if (!prepared) return std::move(prepared).error();
        request.replacement = std::move(prepared).value();
    }
    request.renameArgument = options.onlyUpper ? RenameArgument::OnlyAllCapitals
        : fromSettings                         ? stored.renameArgument
                                               : RenameArgument::All;
    request.directory = *directory;
    request.diff = diffOnly && request.command == CliCommand::Replace;
    if (options.logFile) {
        // Asking for a log file on the command line asks for every kind of run.
        request.log.enabled = true;
        request.log.path = *options.logFile;
        request.log.onlyReplace = false;
    } else if (fromSettings) {
        request.log = StoredLogSettings(stored);
    }
    return request;
}

}  // namespace tarnwick
