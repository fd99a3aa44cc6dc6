#pragma once
// What the options dialog decides, without any widget: the controls' contents
// for the form's values (lengths shown in MB and kB), the enabling rules, the
// warning with opt-out when backups are switched off, and OK with its checks
// in their order, the write of section `Optionen` and the accepted values.
//
// The dialog's values are copies: the form's fields and the store change
// only on OK, except the warning opt-out bit, which the warning clears at once
// whichever way the warning and the dialog are then closed.
//
// Not thread-safe: used on the user interface thread only.
#include <cstdint>
#include <optional>
#include <string>

#include "settings/OptionsSettings.h"

namespace tarnwick::settings {
class ProfileStore;
}

namespace tarnwick::ui {

// The controls as the user left them: check boxes and radio pairs as flags,
// every edit field as its text (numbers included, so that OK can refuse
// what is not a number).
struct OptionsDialogInput {
    bool makeBackup = true;
    std::string backupExtension;
    bool skipBackupFiles = true;
    bool alwaysBackup = true;  // "immer"; off: "nicht bei Ersetzen aus Suchergebnissen"
    bool useLog = false;
    std::string logFile;
    bool logOnlyReplace = true;
    std::string contextLength;
    std::string wordExtensions;
    bool wordRegex = false;
    bool wordAllParts = false;  // "Auch Kopf- und Fußzeilen, Fußnoten, Kommentare und Textfelder"
    bool detectUtf8 = false;
    std::string detectLengthKb;
    std::string splitLengthMb;
    std::string splitMaxOffsetKb;
    std::string searchThreads;
    bool tempDirIsCurrent = true;  // "in aktuellem Verzeichnis"; off: "in diesem Verzeichnis"
    std::string tempDir;
    bool ignoreNulls = false;
    std::string externalEditor;
    bool undoJournal = true;
    std::string undoLimitMb;

    bool operator==(const OptionsDialogInput&) const = default;
};

// Which groups of controls are enabled.
struct OptionsEnabling {
    bool backupDetails = true;  // extension and the radio pair "nicht bei ..."/"immer"
    bool logDetails = false;  // log file name, its "Durchsuchen..." and "Nur Ersetzen ..."
    bool tempDirDetails = false;  // the directory and its "Durchsuchen..."
    bool undoDetails = true;  // the journals' size limit
};

// The control whose input OK refused, so the dialog can put the focus there.
enum class OptionsField {
    ContextLength,
    DetectLength,
    SplitLength,
    SplitMaxOffset,
    SearchThreads,
    UndoLimit,
    LogFile,
    BackupExtension,
    WordExtensions,
    TempDir,
};

struct OptionsRefusal {
    OptionsField field;
    std::string message;
};

// The answer of the warning with "Diese Meldung künftig nicht mehr anzeigen".
struct WarningAnswer {
    bool confirmed = false;  // OK; anything else counts as "Abbrechen"
    bool optOut = false;  // the check box, taken whichever button closed the warning
};

// Shows the warnings the dialog asks; the desktop shows a dialog, tests answer.
class OptionsPrompts {
public:
    virtual ~OptionsPrompts() = default;
    virtual WarningAnswer askWarning(const std::string& text) = 0;
};

// The whole-number ranges of the numeric fields. The upper ends keep the
// byte counts within 32 bits; a split length of 0 would read files byte by byte.
struct NumberRange {
    std::uint32_t lowest;
    std::uint32_t highest;
};
inline constexpr NumberRange kContextLengthRange{0, 2'147'483'647};
inline constexpr NumberRange kDetectLengthKbRange{0, 4'194'304};
inline constexpr NumberRange kSplitLengthMbRange{1, 4'095};
inline constexpr NumberRange kSplitMaxOffsetKbRange{0, 4'194'303};
inline constexpr NumberRange kSearchThreadsRange{0, settings::kMostSearchThreads};
inline constexpr NumberRange kUndoLimitMbRange{0, 4'194'303};

// The number a field holds, when it is a whole number within `range`;
// blanks around it are allowed.
std::optional<std::uint32_t> ParseWholeNumber(const std::string& text, NumberRange range);

// Whether `text` holds one of \ / : * ? " < > |.
bool HasForbiddenExtensionCharacter(const std::string& text);

// Whether `path` names an existing directory (a link to one counts).
bool IsExistingDirectory(const std::string& path);

// The controls' contents for the form's values.
OptionsDialogInput InputForValues(const settings::OptionsValues& values);

OptionsEnabling EnablingFor(const OptionsDialogInput& input);

class OptionsDialogLogic {
public:
    OptionsDialogLogic(const settings::OptionsValues& values, std::uint32_t warningBits);

    // What the controls show when the dialog opens.
    const OptionsDialogInput& initialInput() const { return m_initial; }

    // The user switched "Sicherungskopie erstellen" off. Shows the warning
    // while its opt-out bit is set; a ticked opt-out clears the bit whatever
    // the answer. True: backups go off; false: the box is to be ticked again.
    bool confirmBackupOff(OptionsPrompts& prompts);

    // OK: the checks in their order. The first failing one is returned and
    // nothing is written; otherwise section `Optionen` is written in the
    // dialog's order (a failed write is not reported, as with every settings
    // write) and acceptedValues() holds the new values.
    std::optional<OptionsRefusal> accept(const OptionsDialogInput& input, settings::ProfileStore& store);

    // The values the form takes after OK; the form's own values before.
    const settings::OptionsValues& acceptedValues() const { return m_values; }
    // The warning opt-out bits, including a bit cleared by the warning;
    // the form takes them however the dialog closed.
    std::uint32_t warningBits() const { return m_warningBits; }

private:
    std::optional<OptionsRefusal> takeInput(const OptionsDialogInput& input, settings::OptionsDialogValues& out) const;
    static std::optional<OptionsRefusal> check(const settings::OptionsDialogValues& values);

    OptionsDialogInput m_initial;
    settings::OptionsValues m_values;
    std::uint32_t m_warningBits;
};

}  // namespace tarnwick::ui
