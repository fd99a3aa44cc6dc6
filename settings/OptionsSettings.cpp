#include "settings/OptionsSettings.h"

#include <algorithm>
#include <limits>

#include "settings/ProfileStore.h"

namespace tarnwick::settings {

namespace {

constexpr std::uint32_t kMegabyte = 1'048'576;
constexpr std::uint32_t kKilobyte = 1'024;

std::uint32_t MultiplySaturated(std::uint32_t count, std::uint32_t unit)
{
    const std::uint64_t bytes = static_cast<std::uint64_t>(count) * unit;
    return bytes > std::numeric_limits<std::uint32_t>::max() ? std::numeric_limits<std::uint32_t>::max()
                                                             : static_cast<std::uint32_t>(bytes);
}

}  // namespace

std::uint32_t BytesToMegabytes(std::uint32_t bytes) { return bytes / kMegabyte; }
std::uint32_t BytesToKilobytes(std::uint32_t bytes) { return bytes / kKilobyte; }
std::uint32_t MegabytesToBytes(std::uint32_t megabytes) { return MultiplySaturated(megabytes, kMegabyte); }
std::uint32_t KilobytesToBytes(std::uint32_t kilobytes) { return MultiplySaturated(kilobytes, kKilobyte); }

OptionsDialogValues ToDialogUnits(const OptionsValues& v)
{
    return OptionsDialogValues{v.makeBackup,
                               v.alwaysBackup,
                               v.backupExtension,
                               v.skipBackupFiles,
                               v.useLog,
                               v.logFile,
                               v.logOnlyReplace,
                               v.contextLength,
                               v.wordExtensions,
                               BytesToMegabytes(v.splitLength),
                               BytesToKilobytes(v.splitMaxOffset),
                               v.tempDirIsCurrent,
                               v.tempDir,
                               v.ignoreNulls,
                               v.detectUtf8,
                               BytesToKilobytes(v.detectLength),
                               v.searchThreads,
                               v.externalEditor,
                               v.undoJournal,
                               v.undoLimitMb,
                               v.wordRegex,
                               v.wordAllParts};
}

OptionsValues FromDialogUnits(const OptionsDialogValues& v)
{
    return OptionsValues{v.makeBackup,
                         v.alwaysBackup,
                         v.backupExtension,
                         v.skipBackupFiles,
                         v.useLog,
                         v.logFile,
                         v.logOnlyReplace,
                         v.contextLength,
                         v.wordExtensions,
                         MegabytesToBytes(v.splitLengthMb),
                         KilobytesToBytes(v.splitMaxOffsetKb),
                         v.tempDirIsCurrent,
                         v.tempDir,
                         v.ignoreNulls,
                         v.detectUtf8,
                         KilobytesToBytes(v.detectLengthKb),
                         v.searchThreads,
                         v.externalEditor,
                         v.undoJournal,
                         v.undoLimitMb,
                         v.wordRegex,
                         v.wordAllParts};
}

OptionsValues ReadOptionsSettings(ProfileStore& store)
{
    const OptionsValues defaults;
    OptionsValues v;
    const auto readInt = [&](const char* name, std::uint32_t fallback) {
        return store.GetProfileInt(kOptionsSection, name, fallback);
    };
    const auto readString = [&](const char* name, const std::string& fallback) {
        return store.GetProfileString(kOptionsSection, name, fallback);
    };
    v.makeBackup = readInt("Sikop", defaults.makeBackup);
    v.alwaysBackup = readInt("Immer Sikop", defaults.alwaysBackup);
    v.useLog = readInt("Log verwenden", defaults.useLog);
    v.logFile = readString("Log Datei", defaults.logFile);
    v.backupExtension = readString("Endung Sikop", defaults.backupExtension);
    v.logOnlyReplace = readInt("Nur ersetzen log", defaults.logOnlyReplace);
    v.wordExtensions = readString("Dateinamenerweiterungen Word", defaults.wordExtensions);
    v.contextLength = readInt("Kontextl", defaults.contextLength);
    v.skipBackupFiles = readInt("Sikop nicht durchsuchen", defaults.skipBackupFiles);
    v.splitLength = readInt("Splitlaenge", defaults.splitLength);
    v.splitMaxOffset = readInt("Split max Offset", defaults.splitMaxOffset);
    v.tempDirIsCurrent = readInt("Temp Verz aktuelles", defaults.tempDirIsCurrent);
    v.tempDir = readString("Tem Verzeichnis", defaults.tempDir);
    v.ignoreNulls = readInt("Nullzeichen ignorieren", defaults.ignoreNulls);
    v.detectUtf8 = readInt("Erweitertes Enkoding", defaults.detectUtf8);
    v.detectLength = readInt("Enkodinglaenge", defaults.detectLength);
    // Only a hand-edited file holds more; taken as it is, the run would try
    // to start that many threads.
    v.searchThreads = std::min(readInt("Suchthreads", defaults.searchThreads), kMostSearchThreads);
    v.externalEditor = readString("Externer Editor", defaults.externalEditor);
    // An emptied value means the default, as for a missing one.
    if (v.externalEditor.find_first_not_of(" \t") == std::string::npos) v.externalEditor = defaults.externalEditor;
    v.undoJournal = readInt("Rueckgaengig Journal", defaults.undoJournal);
    v.undoLimitMb = readInt("Rueckgaengig Groesse MB", defaults.undoLimitMb);
    v.wordRegex = readInt(kWordRegexValue, defaults.wordRegex);
    v.wordAllParts = readInt(kWordAllPartsValue, defaults.wordAllParts);
    return v;
}

Expected<void> WriteOptionsSettings(ProfileStore& store, const OptionsValues& v)
{
    ProfileStore::Batch batch(store);
    const auto writeInt = [&](const char* name, std::uint32_t value) { batch.WriteProfileInt(kOptionsSection, name, value); };
    const auto writeString = [&](const char* name, const std::string& value) {
        batch.WriteProfileString(kOptionsSection, name, value);
    };
    writeInt("Sikop", v.makeBackup);
    writeInt("Immer Sikop", v.alwaysBackup);
    writeInt("Log verwenden", v.useLog);
    writeInt("Kontextl", v.contextLength);
    writeString("Log Datei", v.logFile);
    writeString("Endung Sikop", v.backupExtension);
    writeInt("Nur ersetzen log", v.logOnlyReplace);
    writeString("Dateinamenerweiterungen Word", v.wordExtensions);
    writeInt("Sikop nicht durchsuchen", v.skipBackupFiles);
    writeInt("Splitlaenge", v.splitLength);
    writeInt("Split max Offset", v.splitMaxOffset);
    writeInt("Temp Verz aktuelles", v.tempDirIsCurrent);
    writeString("Tem Verzeichnis", v.tempDir);
    writeInt("Nullzeichen ignorieren", v.ignoreNulls);
    writeInt("Erweitertes Enkoding", v.detectUtf8);
    writeInt("Enkodinglaenge", v.detectLength);
    // Last, so that the values older versions write keep their order.
    writeInt("Suchthreads", v.searchThreads);
    writeString("Externer Editor", v.externalEditor);
    writeInt("Rueckgaengig Journal", v.undoJournal);
    writeInt("Rueckgaengig Groesse MB", v.undoLimitMb);
    writeInt(kWordRegexValue, v.wordRegex);
    writeInt(kWordAllPartsValue, v.wordAllParts);
    return batch.commit();
}

}  // namespace tarnwick::settings
