#include "settings/ProfileStore.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/SystemError.h"
#include "settings/ProfileFileAccess.h"
#include "settings/ProfileValueFormat.h"

namespace tarnwick::settings {

namespace {

constexpr std::string_view kProfileSubpath = "/Korvane/Tarnwick.conf";

std::int64_t Nanoseconds(const struct timespec& time)
{
    return static_cast<std::int64_t>(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

bool IsUsableChange(const ProfileChange& change)
{
    return ProfileDocument::isValidSectionName(change.section) &&
        (!change.name || ProfileDocument::isValidValueName(*change.name));
}

ProfileChange StringChange(std::string_view section, std::optional<std::string_view> name, std::string_view value)
{
    ProfileChange change{std::string(section), std::nullopt, {}};
    if (name) {
        change.name = std::string(*name);
        change.valueText = FormatStringValue(value);
    }
    return change;
}

}  // namespace

std::string ProfilePathFor(std::string_view xdgConfigHome, std::string_view home)
{
    // A relative XDG_CONFIG_HOME is invalid and must be ignored.
    if (!xdgConfigHome.empty() && xdgConfigHome.front() == '/') return std::string(xdgConfigHome).append(kProfileSubpath);
    return std::string(home).append("/.config").append(kProfileSubpath);
}

std::string DefaultProfilePath()
{
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
        const struct passwd* entry = ::getpwuid(::getuid());
        home = entry && entry->pw_dir ? entry->pw_dir : "";
    }
    return ProfilePathFor(xdg ? xdg : "", home);
}

ProfileStore::ProfileStore(std::string path) : m_path(std::move(path)) {}

Expected<ProfileDocument> ProfileStore::load(const std::string& path, FileIdentity& identity)
{
    const FileContents contents = ProfileFiles::current().read(path);
    identity = FileIdentity{};
    if (contents.readError) return systemFailure(contents.readError);
    if (contents.exists) {
        identity.exists = true;
        identity.device = contents.status.st_dev;
        identity.inode = contents.status.st_ino;
        identity.size = contents.status.st_size;
        identity.modifiedNs = Nanoseconds(contents.status.st_mtim);
        identity.changedNs = Nanoseconds(contents.status.st_ctim);
    }
    return ProfileDocument::parse(contents.bytes);
}

const ProfileDocument& ProfileStore::current()
{
    try {
        FileIdentity now;
        struct stat status {};
        if (ProfileFiles::current().status(m_path, status)) {
            now = FileIdentity{
                true, status.st_dev, status.st_ino, status.st_size, Nanoseconds(status.st_mtim), Nanoseconds(status.st_ctim)};
        }
        if (m_cacheValid && now == m_cachedIdentity) return m_cache;

        FileIdentity identity;
        Expected<ProfileDocument> document = load(m_path, identity);
        // An unreadable file reads as empty, but is not cached: it may
        // become readable again.
        m_cacheValid = document.has_value();
        m_cache = document ? std::move(document).value() : ProfileDocument{};
        m_cachedIdentity = identity;
    } catch (const std::exception&) {
        m_cacheValid = false;
        m_cache = ProfileDocument{};
    }
    return m_cache;
}

std::uint32_t ProfileStore::GetProfileInt(std::string_view section, std::string_view name, std::uint32_t defaultValue)
{
    const std::string* text = current().findValue(section, name);
    if (!text) return defaultValue;
    return ParseDwordValue(*text).value_or(defaultValue);
}

std::string ProfileStore::GetProfileString(std::string_view section, std::string_view name, std::string_view defaultValue)
{
    try {
        const std::string* text = current().findValue(section, name);
        if (text) {
            if (std::optional<std::string> value = ParseStringValue(*text)) return std::move(*value);
        }
        return std::string(defaultValue);
    } catch (const std::exception&) {
        return {};
    }
}

bool ProfileStore::WriteProfileInt(std::string_view section, std::string_view name, std::uint32_t value)
{
    return writeInt(section, name, value).has_value();
}

bool ProfileStore::WriteProfileString(std::string_view section, std::optional<std::string_view> name, std::string_view value)
{
    return writeString(section, name, value).has_value();
}

Expected<void> ProfileStore::writeInt(std::string_view section, std::string_view name, std::uint32_t value)
{
    Batch batch(*this);
    batch.WriteProfileInt(section, name, value);
    return batch.commit();
}

Expected<void> ProfileStore::writeString(std::string_view section, std::optional<std::string_view> name, std::string_view value)
{
    Batch batch(*this);
    batch.WriteProfileString(section, name, value);
    return batch.commit();
}

Expected<void> ProfileStore::apply(const std::vector<ProfileChange>& changes)
{
    try {
        const ProfileLock lock(m_path);
        if (!lock.isHeld()) return systemFailure(lock.error());
        // Read afresh under the lock: another program may have written since
        // our last read, and its values must survive our rewrite.
        FileIdentity identity;
        Expected<ProfileDocument> document = load(m_path, identity);
        if (!document) return document.error();
        for (const ProfileChange& change : changes) {
            if (change.name)
                document.value().setValue(change.section, *change.name, change.valueText);
            else
                document.value().removeSection(change.section);
        }
        m_cacheValid = false;
        if (Expected<void> replaced = ProfileFiles::current().replace(m_path, document.value().serialize()); !replaced)
            return replaced;
        // Still under the lock, so the file we stat is the one we wrote.
        struct stat status {};
        if (ProfileFiles::current().status(m_path, status)) {
            m_cachedIdentity = FileIdentity{
                true, status.st_dev, status.st_ino, status.st_size, Nanoseconds(status.st_mtim), Nanoseconds(status.st_ctim)};
            m_cache = std::move(document).value();
            m_cacheValid = true;
        }
        return succeeded();
    } catch (const std::exception&) {
        // What the document's calls throw is the standard library's: memory.
        m_cacheValid = false;
        return systemFailure(ErrnoCode(ENOMEM));
    }
}

void ProfileStore::Batch::WriteProfileInt(std::string_view section, std::string_view name, std::uint32_t value)
{
    ProfileChange change{std::string(section), std::string(name), FormatDwordValue(value)};
    if (IsUsableChange(change))
        m_changes.push_back(std::move(change));
    else
        m_leftOut = true;
}

void ProfileStore::Batch::WriteProfileString(std::string_view section, std::optional<std::string_view> name,
                                             std::string_view value)
{
    ProfileChange change = StringChange(section, name, value);
    if (IsUsableChange(change))
        m_changes.push_back(std::move(change));
    else
        m_leftOut = true;
}

Expected<void> ProfileStore::Batch::commit()
{
    std::vector<ProfileChange> changes;
    changes.swap(m_changes);
    const bool leftOut = m_leftOut;
    m_leftOut = false;
    if (!changes.empty()) {
        if (Expected<void> applied = m_store.apply(changes); !applied) return applied;
    }
    // The usable changes are written; the unusable one is still a failure.
    if (leftOut) return invalidInput({});
    return succeeded();
}

}  // namespace tarnwick::settings
