#pragma once
// A replace run that only previews: every change the run would make is
// handed to a ChangePreview instead of the disk, at the one place it would
// be written, so the walk, the matching and the replacement are exactly
// those of a real run. Nothing on disk changes; a temporary file of a split
// file is removed after the preview has read it.
#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>

namespace tarnwick {

class ChangePreview {
public:
    virtual ~ChangePreview() = default;
    // The new contents of a file that was read whole.
    virtual std::error_code contents(const std::string& path, std::string_view previous, std::string_view contents,
                                     std::int64_t replacements) = 0;
    // The new contents of a split file, in the closed temporary file `newContentsPath`.
    virtual std::error_code splitContents(const std::string& path, const std::string& newContentsPath,
                                          std::int64_t replacements) = 0;
    // The backup copy of `path` that would be made under `backupPath`.
    virtual void backup(const std::string& path, const std::string& backupPath) = 0;
    // A rename in `directory`; fails as the rename would (the new name is
    // taken or unusable).
    virtual std::error_code rename(const std::string& directory, const std::string& name, const std::string& newName) = 0;
    // Whether `path` exists in the tree as the run would have left it so far.
    virtual bool exists(const std::string& path) const = 0;
    // A document's main text before and after its replacements.
    virtual void document(const std::string& path, std::u16string_view before, std::u16string_view after,
                          std::int64_t replacements) = 0;
};

}  // namespace tarnwick
