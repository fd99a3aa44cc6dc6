// Opens arbitrary bytes as a document file through the dispatcher, which
// reaches the zip/XML package readers and the RTF reader: anything it cannot
// read must be refused with a ServerError. A replacement that was accepted
// is saved, and what was saved must open again.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/FileOps.h"
#include "word/automation/Automation.h"
#include "word/open/OpenDocumentFormat.h"

using namespace tarnwick::word;

namespace {

// Handing a saved document to the disk is the same for every input and, off
// tmpfs, most of its time; everything else a save does stays real.
class NoSync final : public tarnwick::FileOps {
public:
    std::error_code sync(int) override { return {}; }
};

// tmpfs where there is one: every input is written, saved and read again.
const std::string& scratchPath()
{
    static NoSync noSync;
    static const std::string path = [] {
        tarnwick::FileOps::install(&noSync);
        const char* base = std::getenv("TMPDIR");
        const std::string folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : base && *base ? base : "/tmp";
        return folder + "/tarnwick-fuzz-" + std::to_string(::getpid());
    }();
    return path;
}

void writeScratch(const std::uint8_t* data, std::size_t size)
{
    const int fd = open(scratchPath().c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) std::abort();
    if (write(fd, data, size) != static_cast<ssize_t>(size)) std::abort();
    close(fd);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    writeScratch(data, size);
    try {
        const auto document = OpenDocumentFormat(scratchPath());
        const StoryText& story = document->mainStory();
        if (story.visibleText().size() != story.visiblePositions().size()) std::abort();
        bool replaced = false;
        if (story.size() > 0) {
            try {
                document->replace(0, 1, u"x");
                replaced = true;
            } catch (const ServerError&) {
            }
        }
        if (replaced) {
            document->save();
            // A document this component wrote itself must read again.
            try {
                OpenDocumentFormat(scratchPath());
            } catch (const ServerError&) {
                std::abort();
            }
        }
    } catch (const ServerError&) {
    }
    // Removed every time: libFuzzer may end the process without running exit handlers.
    std::remove(scratchPath().c_str());
    return 0;
}
