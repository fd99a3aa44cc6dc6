#pragma once
// What a file carries besides its contents: owner, group, every mode bit
// (set-user-ID, set-group-ID and sticky included), extended attributes and
// POSIX ACLs (which the kernel keeps as the extended attributes
// system.posix_acl_*). A new file that takes an old one's place must carry
// all of it, or a file that was closed to some users would open to them.
#include <system_error>

namespace tarnwick {

// Gives the new file at `toFd` everything of the file at `fromFd` but its
// contents. The owner is set before the mode, since changing the owner clears
// the set-ID bits; attributes the new file got from its folder (a default
// ACL) but the old one lacks are removed. An error when any of it could not
// be carried (another user's file, an attribute only root may set): the
// caller must then not let the new file replace the old one.
std::error_code CopyFileAttributes(int fromFd, int toFd);

// The same for a copy that stands beside the file (a backup copy): what can
// be carried is, and when the owner or an attribute cannot be, the copy is
// closed to everyone but its owner, so it is never more open than the file.
void CopyAttributesOrCloseCopy(int fromFd, int toFd);

}  // namespace tarnwick
