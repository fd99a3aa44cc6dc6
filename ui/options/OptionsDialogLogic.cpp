#include "ui/options/OptionsDialogLogic.h"

#include <cstdio>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "settings/FormState.h"
#include "settings/ProfileStore.h"
#include "ui/options/OptionsDialogTexts.h"

namespace tarnwick::ui {
namespace {

namespace texts = text::options;

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

std::string withoutLeadingBlanks(const std::string& text)
{
    std::size_t start = 0;
    while (start < text.size() && isBlank(text[start])) ++start;
    return text.substr(start);
}

// Names the field: the dialog has six numbers, and the focus alone is easily missed.
std::string rangeMessage(const char* fieldName, NumberRange range)
{
    char buffer[320];
    std::snprintf(buffer, sizeof buffer, texts::kNumberOutOfRange, fieldName, static_cast<unsigned long>(range.lowest),
                  static_cast<unsigned long>(range.highest));
    return buffer;
}

}  // namespace

std::optional<std::uint32_t> ParseWholeNumber(const std::string& text, NumberRange range)
{
    std::string_view digits = trimmed(text);
    bool negative = false;
    if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) {
        negative = digits.front() == '-';
        digits.remove_prefix(1);
    }
    if (digits.empty()) return std::nullopt;
    std::uint64_t value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
        // Stop before the figure outgrows 64 bits; it is out of range anyway.
        if (value > range.highest) return std::nullopt;
    }
    if (negative && value != 0) return std::nullopt;
    if (value < range.lowest) return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

bool HasForbiddenExtensionCharacter(const std::string& text) { return text.find_first_of("\\/:*?\"<>|") != std::string::npos; }

bool IsExistingDirectory(const std::string& path)
{
    if (path.empty()) return false;
    std::error_code error;
    return std::filesystem::is_directory(std::filesystem::path(path), error);
}

OptionsDialogInput InputForValues(const settings::OptionsValues& values)
{
    const settings::OptionsDialogValues shown = settings::ToDialogUnits(values);
    OptionsDialogInput input;
    input.makeBackup = shown.makeBackup != 0;
    input.backupExtension = shown.backupExtension;
    input.skipBackupFiles = shown.skipBackupFiles != 0;
    input.alwaysBackup = shown.alwaysBackup != 0;
    input.useLog = shown.useLog != 0;
    input.logFile = shown.logFile;
    input.logOnlyReplace = shown.logOnlyReplace != 0;
    input.contextLength = std::to_string(shown.contextLength);
    input.wordExtensions = shown.wordExtensions;
    input.wordRegex = shown.wordRegex != 0;
    input.wordAllParts = shown.wordAllParts != 0;
    input.detectUtf8 = shown.detectUtf8 != 0;
    input.detectLengthKb = std::to_string(shown.detectLengthKb);
    input.splitLengthMb = std::to_string(shown.splitLengthMb);
    input.splitMaxOffsetKb = std::to_string(shown.splitMaxOffsetKb);
    input.searchThreads = std::to_string(shown.searchThreads);
    input.tempDirIsCurrent = shown.tempDirIsCurrent != 0;
    input.tempDir = shown.tempDir;
    input.ignoreNulls = shown.ignoreNulls != 0;
    input.externalEditor = shown.externalEditor;
    input.undoJournal = shown.undoJournal != 0;
    input.undoLimitMb = std::to_string(shown.undoLimitMb);
    return input;
}

OptionsEnabling EnablingFor(const OptionsDialogInput& input)
{
    return OptionsEnabling{input.makeBackup, input.useLog, !input.tempDirIsCurrent, input.undoJournal};
}

OptionsDialogLogic::OptionsDialogLogic(const settings::OptionsValues& values, std::uint32_t warningBits)
    : m_initial(InputForValues(values)), m_values(values), m_warningBits(warningBits)
{
}

bool OptionsDialogLogic::confirmBackupOff(OptionsPrompts& prompts)
{
    using settings::WarningBit::BackupOff;
    if (!settings::IsWarningShown(m_warningBits, BackupOff)) return true;
    const WarningAnswer answer = prompts.askWarning(texts::kBackupOffWarning);
    if (answer.optOut) settings::OptOutOfWarning(m_warningBits, BackupOff);
    return answer.confirmed;
}

std::optional<OptionsRefusal> OptionsDialogLogic::takeInput(const OptionsDialogInput& input,
                                                            settings::OptionsDialogValues& out) const
{
    // The numeric fields in the order they stand in the dialog; the first
    // one that is refused is reported.
    // Each named by its label, or by its frame where the frame says it best.
    struct NumberField {
        const std::string& text;
        NumberRange range;
        OptionsField field;
        const char* name;
        std::uint32_t& target;
    };
    const NumberField numbers[] = {
        {input.contextLength, kContextLengthRange, OptionsField::ContextLength, texts::kContextLengthLabel, out.contextLength},
        {input.detectLengthKb, kDetectLengthKbRange, OptionsField::DetectLength, texts::kEncodingFrame, out.detectLengthKb},
        {input.splitLengthMb, kSplitLengthMbRange, OptionsField::SplitLength, texts::kSplitLengthLabel, out.splitLengthMb},
        {input.splitMaxOffsetKb, kSplitMaxOffsetKbRange, OptionsField::SplitMaxOffset, texts::kSplitMaxOffsetLabel,
         out.splitMaxOffsetKb},
        {input.searchThreads, kSearchThreadsRange, OptionsField::SearchThreads, texts::kSearchThreadsLabel, out.searchThreads},
        {input.undoLimitMb, kUndoLimitMbRange, OptionsField::UndoLimit, texts::kUndoLimitLabel, out.undoLimitMb},
    };
    for (const NumberField& number : numbers) {
        const std::optional<std::uint32_t> value = ParseWholeNumber(number.text, number.range);
        if (!value) return OptionsRefusal{number.field, rangeMessage(number.name, number.range)};
        number.target = *value;
    }
    // Check boxes are written as 0 or 1, whatever the store held before.
    out.makeBackup = input.makeBackup ? 1 : 0;
    out.alwaysBackup = input.alwaysBackup ? 1 : 0;
    out.backupExtension = input.backupExtension;
    out.skipBackupFiles = input.skipBackupFiles ? 1 : 0;
    out.useLog = input.useLog ? 1 : 0;
    out.logFile = input.logFile;
    out.logOnlyReplace = input.logOnlyReplace ? 1 : 0;
    out.wordExtensions = input.wordExtensions;
    out.wordRegex = input.wordRegex ? 1 : 0;
    out.wordAllParts = input.wordAllParts ? 1 : 0;
    out.tempDirIsCurrent = input.tempDirIsCurrent ? 1 : 0;
    out.tempDir = input.tempDir;
    out.ignoreNulls = input.ignoreNulls ? 1 : 0;
    out.detectUtf8 = input.detectUtf8 ? 1 : 0;
    out.undoJournal = input.undoJournal ? 1 : 0;
    // A blank command means the desktop's own program for the file.
    const bool blankEditor = input.externalEditor.find_first_not_of(" \t") == std::string::npos;
    out.externalEditor = blankEditor ? settings::kDefaultExternalEditor : input.externalEditor;
    return std::nullopt;
}

std::optional<OptionsRefusal> OptionsDialogLogic::check(const settings::OptionsDialogValues& v)
{
    if (v.useLog && v.logFile.empty()) return OptionsRefusal{OptionsField::LogFile, texts::kNoLogFile};
    // An extension of blanks only counts as empty: it would become a bare ".".
    if (v.makeBackup && withoutLeadingBlanks(v.backupExtension).empty())
        return OptionsRefusal{OptionsField::BackupExtension, texts::kNoBackupExtension};
    if (v.makeBackup && HasForbiddenExtensionCharacter(v.backupExtension))
        return OptionsRefusal{OptionsField::BackupExtension, texts::kBadBackupExtension};
    if (HasForbiddenExtensionCharacter(v.wordExtensions))
        return OptionsRefusal{OptionsField::WordExtensions, texts::kBadWordExtensions};
    if (!v.tempDirIsCurrent && !IsExistingDirectory(v.tempDir)) return OptionsRefusal{OptionsField::TempDir, texts::kBadTempDir};
    return std::nullopt;
}

std::optional<OptionsRefusal> OptionsDialogLogic::accept(const OptionsDialogInput& input, settings::ProfileStore& store)
{
    settings::OptionsDialogValues values;
    if (auto refusal = takeInput(input, values)) return refusal;
    if (auto refusal = check(values)) return refusal;

    std::string extension = withoutLeadingBlanks(values.backupExtension);
    if (!extension.empty() && extension.front() != '.') extension.insert(extension.begin(), '.');
    values.backupExtension = extension;

    m_values = settings::FromDialogUnits(values);
    IgnoreFailure(settings::WriteOptionsSettings(store, m_values));
    return std::nullopt;
}

}  // namespace tarnwick::ui
