#pragma once
// The backup copy made before a file is changed: the file's path followed by
// the backup extension, or, when that exists, "<path> (<n>)<extension>" with
// the first free n. Failures become error items; the caller goes on.
#include <string>

namespace tarnwick {

class InputFile;
class RunContext;

// The first backup name for `path` that does not exist yet.
std::string BackupName(const std::string& path, const std::string& extension);

// Copies the open `file` (known to the user as `path`) to its backup name,
// keeping the permission bits. Returns true when the copy was made.
bool MakeBackupCopy(RunContext& run, const InputFile& file, const std::string& path);

// The same for a file that is not open (a document before its first save).
bool MakeBackupCopyOfPath(RunContext& run, const std::string& path);

}  // namespace tarnwick
