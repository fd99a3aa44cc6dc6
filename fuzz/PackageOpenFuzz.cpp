// Opens arbitrary bytes as a document file through the dispatcher, which
// reaches the zip/XML package readers and the RTF reader: anything it cannot
// read must be refused with a ServerError. A replacement that was accepted
// is saved, and what was saved must open again.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "word/automation/Automation.h"
#include "word/format/DocumentFormat.h"

using namespace tarnwick::word;

namespace {

const std::string& scratchPath()
{
    static const std::string path = [] {
        const char* base = std::getenv("TMPDIR");
        return std::string(base && *base ? base : "/tmp") + "/tarnwick-fuzz-" + std::to_string(::getpid());
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::FILE* file = std::fopen(scratchPath().c_str(), "wb");
    if (!file) std::abort();
    if (size && std::fwrite(data, 1, size, file) != size) std::abort();
    std::fclose(file);
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
