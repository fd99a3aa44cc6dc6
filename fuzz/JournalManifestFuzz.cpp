// Reads arbitrary bytes as an undo journal's manifest, as an undo would read
// a journal a crash, a full disk or someone else's hand left. Nothing may
// crash, and every entry an undo would act on must name a plain absolute
// path inside the folders the journal names (previous contents too, unless
// they lie in the journal's own folder).
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "engine/undo/JournalManifest.h"

using namespace tarnwick;

namespace {

bool insideARoot(const JournalInfo& info, const std::string& path)
{
    for (const std::string& root : info.roots)
        if (IsInside(path, root)) return true;
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    JournalInfo info;
    info.folder = "/journal";
    if (ParseJournalManifest(std::string_view(reinterpret_cast<const char*>(data), size), info)) return 0;
    for (const JournalEntry& entry : info.entries) {
        if (!entry.refusal.empty()) continue;
        if (!IsPlainAbsolutePath(entry.path)) std::abort();
        if (info.version >= 3 && !insideARoot(info, entry.path)) std::abort();
        if (entry.type == JournalEntry::Type::Rename) {
            if (!IsPlainAbsolutePath(entry.other)) std::abort();
            if (info.version >= 3 && !insideARoot(info, entry.other)) std::abort();
        } else if (entry.other.find('/') != std::string::npos) {
            if (!IsPlainAbsolutePath(entry.other)) std::abort();
            if (info.version >= 3 && !insideARoot(info, entry.other)) std::abort();
        } else if (entry.other.empty() || entry.other == "." || entry.other == "..") {
            std::abort();
        }
        if (entry.intended && entry.temporaryName.find('/') != std::string::npos) std::abort();
    }
    (void)info.fileCount();
    (void)info.renameCount();
    return 0;
}
