#pragma once
// The program's persistent settings: sections of named 32-bit integers and
// strings in one text file per user (see ProfileDocument, ProfileValueFormat),
// reached through the four profile operations.
//
// Reads never fail and never throw: a missing, unreadable or mangled file, a
// missing value or a value of the other type gives the default. The parsed
// file is cached and read again only when the file on disk changed.
//
// Every write (or Batch) takes an advisory lock on `<path>.lock`, reads the
// file afresh, applies its changes, and puts the new contents in place with
// one rename, so two running programs never lose each other's values and a
// crash never leaves half a file.
//
// Reading gives defaults and nothing throws. A Batch's commit() gives an
// Expected<void> (platform/Expected.h) whose failure holds the system's
// error code (the lock, reading the file under it, or replacing it); a
// change with an unusable name is an InvalidInput failure without one. The
// documented write operations keep their documented bool: whether the
// commit succeeded; writeInt/writeString and the settings writers built on
// them give the failure itself. Callers of the program ignore it, as a failed
// settings write is not reported.
//
// Not thread-safe: one thread (the user-interface thread) uses a store.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

#include "platform/Expected.h"
#include "settings/ProfileDocument.h"

namespace tarnwick::settings {

// `$XDG_CONFIG_HOME/Korvane/Tarnwick.conf`, or `~/.config/...` when that
// variable is unset, empty or not absolute.
std::string DefaultProfilePath();
std::string ProfilePathFor(std::string_view xdgConfigHome, std::string_view home);

// One write of a batch.
struct ProfileChange {
    std::string section;
    std::optional<std::string> name;  // none: delete the section
    std::string valueText;  // in stored form
};

class ProfileStore {
public:
    explicit ProfileStore(std::string path);

    const std::string& path() const { return m_path; }

    // The documented profile operations keep their names (README.md, "Names").
    // NOLINTBEGIN(readability-identifier-naming)
    std::uint32_t GetProfileInt(std::string_view section, std::string_view name, std::uint32_t defaultValue);
    std::string GetProfileString(std::string_view section, std::string_view name, std::string_view defaultValue = {});
    bool WriteProfileInt(std::string_view section, std::string_view name, std::uint32_t value);
    // Without a value name the whole section is deleted.
    bool WriteProfileString(std::string_view section, std::optional<std::string_view> name, std::string_view value);
    // NOLINTEND(readability-identifier-naming)
    // The two writes with the commit's failure, for the program's own callers.
    Expected<void> writeInt(std::string_view section, std::string_view name, std::uint32_t value);
    Expected<void> writeString(std::string_view section, std::optional<std::string_view> name, std::string_view value);

    // Writes collected in order and applied under one lock with one rewrite,
    // merged into whatever another program wrote in the meantime. Nothing
    // reaches the file before commit().
    class Batch {
    public:
        explicit Batch(ProfileStore& store) : m_store(store) {}
        // NOLINTBEGIN(readability-identifier-naming)
        void WriteProfileInt(std::string_view section, std::string_view name, std::uint32_t value);
        void WriteProfileString(std::string_view section, std::optional<std::string_view> name, std::string_view value);
        // NOLINTEND(readability-identifier-naming)
        // Applies and forgets the collected writes; a failure when the file
        // could not be written, or when a change with an unusable name was
        // left out (the others are written).
        Expected<void> commit();

    private:
        ProfileStore& m_store;
        std::vector<ProfileChange> m_changes;
        bool m_leftOut = false;
    };

private:
    struct FileIdentity {
        bool exists = false;
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        std::int64_t modifiedNs = 0;
        std::int64_t changedNs = 0;
        bool operator==(const FileIdentity&) const = default;
    };

    const ProfileDocument& current();
    Expected<void> apply(const std::vector<ProfileChange>& changes);
    static Expected<ProfileDocument> load(const std::string& path, FileIdentity& identity);

    std::string m_path;
    ProfileDocument m_cache;
    FileIdentity m_cachedIdentity;
    bool m_cacheValid = false;
};

}  // namespace tarnwick::settings
