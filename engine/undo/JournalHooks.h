#pragma once
// The points where a replace run tells its journal what it changes: right
// before and right after a file's contents are committed, and around a
// rename. Without a journal (turned off, or a search) each is a no-op.
#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>

namespace tarnwick {

class InputFile;
class RunContext;

// Keeps the previous contents of `file` before they are replaced. False
// when the journal could not be written: the failure has been reported, the
// run is stopping, and the caller must leave the file as it is.
bool JournalBeforeCommit(RunContext& run, const InputFile& file, std::uint64_t& entry);

// Records the outcome of the commit; `written` are the new contents when
// they are in memory (null: read back from the file).
void JournalAfterCommit(RunContext& run, std::uint64_t entry, bool committed, const InputFile& file,
                        const std::string_view* written = nullptr);

// The same for a document, which the document component saves itself: the
// file is opened only to keep its contents. `realPath` receives where they live.
bool JournalBeforeDocumentSave(RunContext& run, const std::string& path, std::uint64_t& entry, std::string& realPath);
void JournalAfterDocumentSave(RunContext& run, std::uint64_t entry, bool saved, const std::string& realPath);

// The backup copy just made of `file`.
void JournalBackup(RunContext& run, const InputFile& file, const std::string& backupPath);

// RenameEntry, recorded first. A journal that cannot be written refuses the
// rename with its error (reported, the run stopping).
std::error_code JournaledRename(RunContext& run, const std::string& directory, const std::string& name,
                                const std::string& newName);

}  // namespace tarnwick
