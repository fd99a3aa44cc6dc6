#include "formjob/CommandLineText.h"

#include <ctime>
#include <limits>

#include "formjob/FormJob.h"
#include "formjob/RelativeDates.h"

namespace tarnwick::session {
namespace {

// The local time as tarnwick-cli's --date-from and --date-to read it.
std::string LocalTimeText(std::int64_t seconds)
{
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm tm{};
    if (::localtime_r(&t, &tm) == nullptr) return {};
    char text[32];
    const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &tm);
    return std::string(text, length);
}

std::string DateKinds(const SearchJob& job)
{
    std::string kinds;
    const auto add = [&kinds](bool on, const char* name) {
        if (!on) return;
        if (!kinds.empty()) kinds += ',';
        kinds += name;
    };
    add(job.dateCreated, "created");
    add(job.dateModified, "modified");
    add(job.dateAccessed, "accessed");
    return kinds;
}

}  // namespace

std::vector<std::string> CommandLineArguments(const settings::FormState& form, CommandLineKind kind, std::int64_t dateFrom,
                                              std::int64_t dateTo)
{
    const SearchJob job = JobFromFormState(form, dateFrom, dateTo);
    const SearchJob defaults;
    const bool replace = kind == CommandLineKind::Replace;
    std::vector<std::string> args{"tarnwick-cli", replace ? "replace" : "search"};
    const auto flag = [&args](bool on, const char* name) {
        if (on) args.emplace_back(name);
    };
    // "--name=value" in one argument: a value that begins with '-' is never
    // taken for an option. An empty value goes as an argument of its own:
    // "--name=" would be read as the option alone, taking the next argument
    // ("--", the search text) as its value.
    const auto option = [&args](const char* name, const std::string& value) {
        if (value.empty()) {
            args.emplace_back(name);
            args.emplace_back();
            return;
        }
        args.push_back(std::string(name) + '=' + value);
    };

    flag(job.regularExpression, "-e");
    flag(job.matchCase, "-c");
    flag(job.wholeWords, "-w");
    flag(job.includeSubfolders, "-r");
    // Without --types every type is searched.
    if (!job.allFileTypes) option("--types", job.fileTypes);
    if (!job.nameStrings.empty()) option("--names", job.nameStrings);
    if (job.nameStringMode != defaults.nameStringMode) option("--names-mode", "ignore");
    if (job.sizeFilter) {
        // Either bound switches the size filter on; the lower one always
        // goes, so an open range still does.
        option("--min-size", std::to_string(job.minSizeKb));
        if (job.maxSizeKb != std::numeric_limits<std::uint32_t>::max()) option("--max-size", std::to_string(job.maxSizeKb));
    }
    if (job.dateFilter) {
        if (form.dateRelative != 0) {
            option("--changed-within", RelativeSpanText(FormRelativeSpan(form)));
        } else {
            option("--date-from", LocalTimeText(job.dateFrom));
            option("--date-to", LocalTimeText(job.dateTo));
        }
    }
    if (job.dateCreated != defaults.dateCreated || job.dateModified != defaults.dateModified ||
        job.dateAccessed != defaults.dateAccessed)
        option("--date-kinds", DateKinds(job));
    flag(job.searchFileNames, "--file-names");
    flag(job.searchDirNames, "--dir-names");
    flag(!job.searchContents, "--no-contents");
    flag(job.skipHidden, "--skip-hidden");
    flag(job.skipReadOnly, "--skip-readonly");
    flag(job.skipArchive, "--skip-archive");
    flag(job.skipSystem, "--skip-system");
    flag(job.attributesOnDirs, "--attributes-on-dirs");
    if (job.contextLength != defaults.contextLength) option("--context", std::to_string(job.contextLength));
    flag(!job.makeBackup, "--no-backup");
    if (job.backupExtension != defaults.backupExtension) option("--backup-ext", job.backupExtension);
    flag(!job.skipBackupFiles, "--search-backups");
    flag(!job.useWord, "--no-word");
    flag(job.wordAutoMode != defaults.wordAutoMode, "--word-all-types");
    if (job.wordExtensions != defaults.wordExtensions) option("--word-ext", job.wordExtensions);
    flag(job.wordRegex, "--word-regex");
    flag(job.wordAllParts, "--word-all-parts");
    flag(job.specialCharacters, "--escapes");
    flag(job.filesWithoutHits, "-L");
    flag(job.searchInside, "-z");
    flag(job.replacementCaptures, "--captures");
    flag(job.preserveCase, "--preserve-case");
    if (job.splitLength != defaults.splitLength) option("--split-length", std::to_string(job.splitLength));
    if (job.splitMaxOffset != defaults.splitMaxOffset) option("--split-max-offset", std::to_string(job.splitMaxOffset));
    if (!job.tempDirIsCurrent) option("--temp-dir", job.tempDir);
    flag(job.ignoreNulls, "--ignore-nulls");
    if (job.detectUtf8) option("--detect-utf8", std::to_string(job.detectLength));
    if (job.searchThreads != defaults.searchThreads) option("--threads", std::to_string(job.searchThreads));
    // The desktop program would log this run: the line does too.
    const settings::OptionsValues& options = form.options;
    if (options.useLog != 0 && !options.logFile.empty() && (replace || options.logOnlyReplace == 0))
        option("--log", options.logFile);

    args.emplace_back("--");
    args.push_back(form.searchTexts.text);
    if (replace) args.push_back(form.replaceTexts.text);
    args.push_back(form.directories.text);
    return args;
}

std::string ShellQuote(const std::string& argument)
{
    const auto plain = [](unsigned char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.' ||
            c == '/' || c == ',' || c == ':' || c == '=' || c == '+' || c == '@' || c == '%';
    };
    // zsh expands a word that begins with '='.
    bool quote = argument.empty() || argument.front() == '=';
    for (const unsigned char c : argument) quote = quote || !plain(c);
    if (!quote) return argument;
    std::string quoted = "'";
    for (const char c : argument) {
        // A single quote ends the quoted part, comes escaped, and a new part begins.
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    quoted += '\'';
    return quoted;
}

std::string ShellCommandLine(const std::vector<std::string>& arguments)
{
    std::string line;
    for (const std::string& argument : arguments) {
        if (!line.empty()) line += ' ';
        line += ShellQuote(argument);
    }
    return line;
}

}  // namespace tarnwick::session
