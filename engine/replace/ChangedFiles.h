#pragma once
// The files one run has changed, by identity (device and inode), so that a
// file reached again under another name (a symbolic link to it, a second
// hard link) is not changed a second time from contents it no longer holds.
//
// Worker thread only, like the run that owns it.
#include <map>
#include <string>

#include "platform/FileIdentity.h"

namespace tarnwick {

class InputFile;

class ChangedFiles {
public:
    // The path the object was changed under in this run, or null.
    const std::string* changedAs(FileIdentity identity) const;
    // Notes `file` as changed: the object opened and, after a commit that
    // replaced it, the one that holds the contents now.
    void note(const InputFile& file);
    void note(FileIdentity identity, const std::string& path);

private:
    std::map<FileIdentity, std::string> m_changed;
};

}  // namespace tarnwick
