#pragma once
// A zip package (.docx or .odt family) held in memory: the file is read once
// when it is opened and is not touched again until a save. Saving rebuilds
// the archive in memory through libzip with one entry replaced (the other
// entries' compressed data, their order and the archive comment are copied
// as they are) and then lets the new bytes take the file's place through the
// program's file commit: a temporary file in the file's folder renamed over
// it, symbolic links resolved, permission bits (and, for root, the owner)
// kept, a hard-linked file rewritten in place. Not thread-safe.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/FileIdentity.h"

namespace tarnwick::word {

class ZipPackage {
public:
    // Reads the file at `path` and checks that it is a consistent zip
    // archive. Throws ServerError: kErrorCannotOpen (with the system's text),
    // kErrorEncrypted for an encrypted or legacy binary container,
    // kErrorTooLarge, or kErrorDamaged.
    explicit ZipPackage(const std::string& path);

    const std::string& path() const { return m_path; }

    // The contents of entry `name` (compared without case, as package part
    // names are); nothing when there is no such entry. Throws ServerError
    // for an encrypted, oversized or damaged entry, and kErrorExpandsTooFar
    // for one that would inflate beyond the limits of platform/ExpansionLimits.h
    // (its own, or with every entry read before it, all the package's reads
    // together).
    std::optional<std::string> read(const std::string& name) const;

    // Writes the package back with entry `name` replaced by `contents`,
    // deflated. Refuses (ServerError) when the file on disk is no longer the
    // one that was read; on any failure the file is left as it was.
    void saveReplacing(const std::string& name, std::string_view contents);
    // The same for several entries (name, contents) at once, in one rewrite.
    void saveReplacing(const std::vector<std::pair<std::string, std::string>>& entries);

    // Parts larger than this are refused rather than read into memory.
    static constexpr std::uint64_t kMaxPartSize = std::uint64_t(512) << 20;

private:
    std::string m_path;
    std::string m_bytes;
    FileIdentity m_identity;  // the file object that held m_bytes
    mutable std::uint64_t m_inflated = 0;  // bytes every read() so far has inflated
};

}  // namespace tarnwick::word
