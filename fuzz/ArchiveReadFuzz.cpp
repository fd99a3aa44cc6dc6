// Reads arbitrary bytes as an archive or compressed file through libarchive,
// nested archives included: whatever the bytes, every failure must come as
// a failure to the visitor, never as a crash, a hang or a leak. The
// first byte picks the name the file goes by, so that every format the name
// and the bytes together can say is reached.
#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/inside/ArchiveReader.h"

using namespace tarnwick::inside;

namespace {

constexpr std::array<const char*, 8> kNames{"a.zip", "a.tar", "a.tar.gz", "a.tar.xz", "a.7z", "a.log.gz", "a.zst", "a.bz2"};

std::string scratchPath(const char* name)
{
    const char* base = std::getenv("TMPDIR");
    const std::string folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : base && *base ? base : "/tmp";
    return folder + "/tarnwick-fuzz-" + std::to_string(::getpid()) + "-" + name;
}

class ReadingVisitor final : public InnerFileVisitor {
public:
    void visitFile(const InnerFile&, ByteReader& bytes) override
    {
        char buffer[4096];
        for (;;) {
            const tarnwick::Expected<std::size_t> got = bytes.read(buffer, sizeof buffer);
            if (!got || got.value() == 0) return;
        }
    }
    void visitError(const std::string&, const tarnwick::Failure&) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) return 0;
    const std::string path = scratchPath(kNames[data[0] % kNames.size()]);
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) std::abort();
    if (write(fd, data + 1, size - 1) != static_cast<ssize_t>(size - 1)) std::abort();
    close(fd);
    const std::string_view head(reinterpret_cast<const char*>(data + 1), std::min<std::size_t>(size - 1, kSniffLength));
    InsideFormat format = SniffInsideFormat(path, head);
    if (format != InsideFormat::Compressed) format = InsideFormat::Archive;
    // Small limits keep a bomb among the inputs from filling the memory.
    ArchiveLimits limits;
    limits.expandedTotal = std::uint64_t(64) << 20;
    limits.nestedInMemory = std::uint64_t(1) << 20;
    ReadingVisitor visitor;
    ReadArchive(path, format, visitor, limits);
    // Removed every time: libFuzzer may end the process without running exit handlers.
    std::remove(path.c_str());
    return 0;
}
