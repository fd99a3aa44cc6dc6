// Reads arbitrary bytes as the settings file. Nothing may crash; a value
// written must read back; and rewriting the file to add one value must not
// change how any other value reads.
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/FileOps.h"
#include "settings/FormSettings.h"
#include "settings/ProfileFileAccess.h"
#include "settings/ProfileStore.h"

using namespace tarnwick::settings;

namespace {

std::string g_scratchDirectory;

void RemoveScratchDirectory()
{
    std::error_code ignored;
    std::filesystem::remove_all(g_scratchDirectory, ignored);
}

// Handing the file to the disk is the same for every input and, off tmpfs,
// most of its time; everything else the store does to the file stays real.
class NoSync final : public tarnwick::FileOps {
public:
    std::error_code sync(int) override { return {}; }
};

// Only this target changes the scratch file, so the store's look at it
// before every read (some 250 an input, most of the input's time) is made
// once after each change; reading and replacing the file stay real.
class ChangedOnlyHere final : public ProfileFiles {
public:
    bool status(const std::string& path, struct stat& out) override
    {
        if (!m_known) {
            m_exists = ProfileFiles::status(path, m_status);
            m_known = true;
        }
        out = m_status;
        return m_exists;
    }
    tarnwick::Expected<void> replace(const std::string& path, const std::string& contents) override
    {
        m_known = false;
        return ProfileFiles::replace(path, contents);
    }
    void forget() { m_known = false; }

private:
    bool m_known = false;
    bool m_exists = false;
    struct stat m_status {};
};

ChangedOnlyHere g_files;

// tmpfs where there is one: the store flushes every write to disk.
const std::string& ScratchPath()
{
    static NoSync noSync;
    static const std::string path = [] {
        tarnwick::FileOps::install(&noSync);
        ProfileFiles::install(&g_files);
        std::string directory = (access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp");
        directory += "/settings-fuzz-XXXXXX";
        if (!mkdtemp(directory.data())) std::abort();
        g_scratchDirectory = directory;
        std::atexit(RemoveScratchDirectory);
        return directory + "/Tarnwick.conf";
    }();
    return path;
}

void WriteRaw(const std::string& path, std::string_view bytes)
{
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) std::abort();
    if (write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) std::abort();
    close(fd);
    g_files.forget();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string& path = ScratchPath();
    WriteRaw(path, bytes);

    ProfileStore store(path);
    FormState before;
    LoadFormSettings(store, before);
    (void)store.GetProfileInt("Tarnwick-Main", "left", 10);
    (void)store.GetProfileString("Export", "szListentrennz", "; ");

    // A string made of the input's last bytes exercises the escaping.
    const std::string value(bytes.substr(size > 24 ? size - 24 : 0));
    const std::uint32_t number =
        size >= 4 ? static_cast<std::uint32_t>(data[0]) << 24 | data[1] << 16 | data[2] << 8 | data[3] : 7;
    ProfileStore::Batch batch(store);
    batch.WriteProfileString("Fuzz", "Wert", value);
    batch.WriteProfileInt("Fuzz", "Zahl", number);
    if (!batch.commit()) std::abort();

    ProfileStore fresh(path);
    if (fresh.GetProfileString("Fuzz", "Wert", "<none>") != value) std::abort();
    if (fresh.GetProfileInt("Fuzz", "Zahl", ~number) != number) std::abort();
    FormState after;
    LoadFormSettings(fresh, after);
    if (!(after == before)) std::abort();
    return 0;
}
