#include "engine/inside/ArchiveReader.h"

#include <archive.h>
#include <archive_entry.h>

#include <array>

#include "engine/Messages.h"
#include "engine/inside/ArchiveEntryReader.h"
#include "engine/inside/ArchiveHandle.h"
#include "engine/inside/ExpansionBudget.h"
#include "engine/inside/InsideMessages.h"
#include "engine/inside/InsidePath.h"
#include "engine/inside/PrefixedReader.h"
#include "platform/InputFile.h"
#include "platform/SystemError.h"

namespace tarnwick::inside {
namespace {

// How often one archive may ask to be read again after a damaged header
// before the rest of it is given up.
constexpr int kMaxHeaderRetries = 16;

// The archive one level of the walk reads.
struct Level {
    ArchiveHandle& handle;
    std::string path;  // composite path of the archive itself
    std::string name;  // its last component
    InsideFormat format;
    std::optional<std::uint64_t> size;  // of the archive's own (compressed) bytes
    int depth;
};

std::string entryPath(struct archive_entry* entry)
{
    const char* utf8 = archive_entry_pathname_utf8(entry);
    std::string path = utf8 ? utf8 : archive_entry_pathname(entry) ? archive_entry_pathname(entry) : "";
    // tar -C dir . writes "./name": the same file as "name" to a reader.
    while (path.size() > 2 && path.compare(0, 2, "./") == 0) path.erase(0, 2);
    return path;
}

class ArchiveWalk {
public:
    ArchiveWalk(InnerFileVisitor& visitor, const ArchiveLimits& limits)
        : m_visitor(visitor), m_limits(limits), m_budget(limits.expandedTotal)
    {
    }

    void walk(const Level& level);

private:
    enum class Next { Entry, EntryFailed, EndLevel };

    Next entry(const Level& level, struct archive_entry* entry);
    // Hands the file to the visitor or opens it as a nested archive.
    void file(const Level& level, ArchiveEntryReader& bytes, const InnerFile& inner);
    void nested(const Level& level, ByteReader& bytes, const InnerFile& inner, InsideFormat format);
    // Passes over what the visitor left of an entry; false when that spends
    // the archive's budget.
    bool finish(ArchiveEntryReader& bytes, const std::optional<std::uint64_t>& size);
    void report(InsideErrorKind kind, const std::string& path, std::string text)
    {
        m_visitor.visitError(path, InsideFailure(kind, std::move(text)));
    }

    InnerFileVisitor& m_visitor;
    const ArchiveLimits& m_limits;
    ExpansionBudget m_budget;
};

void ArchiveWalk::walk(const Level& level)
{
    struct archive* archive = level.handle.get();
    int retries = 0;
    bool entryFailed = false;  // the damage is reported already, under the entry's name
    for (;;) {
        if (m_visitor.isStopRequested() || m_budget.isSpent()) return;
        struct archive_entry* header = nullptr;
        const int status = archive_read_next_header(archive, &header);
        if (status == ARCHIVE_EOF) return;
        if (status == ARCHIVE_RETRY && ++retries <= kMaxHeaderRetries) continue;
        if (status == ARCHIVE_RETRY || status < ARCHIVE_WARN) {
            // A failed read of the archive around this one is reported there.
            if (entryFailed || level.handle.streamFailure()) return;
            if (level.handle.hasEncryptedEntries())
                report(InsideErrorKind::Encrypted, level.path, text::kInsideEncryptedArchive);
            else
                report(InsideErrorKind::Damaged, level.path, text::kInsideDamagedArchive + level.handle.errorText());
            return;
        }
        const Next next = entry(level, header);
        if (next == Next::EndLevel) return;
        entryFailed = next == Next::EntryFailed;
    }
}

ArchiveWalk::Next ArchiveWalk::entry(const Level& level, struct archive_entry* header)
{
    if (archive_entry_filetype(header) != AE_IFREG || archive_entry_hardlink(header)) return Next::Entry;
    InnerFile inner;
    const std::string innerPath = level.format == InsideFormat::Compressed ? CompressedInnerName(level.name) : entryPath(header);
    inner.path = InsidePath(level.path, innerPath);
    inner.name = std::string(InnerFileName(innerPath));
    if (archive_entry_size_is_set(header)) inner.size = static_cast<std::uint64_t>(archive_entry_size(header));
    inner.format = InsideFormat::None;

    if (archive_entry_is_data_encrypted(header)) {
        report(InsideErrorKind::Encrypted, inner.path, text::kInsideEncryptedEntry);
        return Next::Entry;  // libarchive passes over its data at the next header
    }
    // The sizes the archive states are checked before anything is inflated:
    // no entry can fairly hold more than its ratio allows of the whole
    // archive's bytes ...
    if (inner.size && level.size && *inner.size > MaxExpandedSize(*level.size)) {
        report(InsideErrorKind::ExpandsTooFar, inner.path, EntryExpandsTooFarText());
        return Next::EndLevel;
    }
    if (inner.size && !m_budget.canTake(*inner.size)) {
        m_budget.take(*inner.size);
        report(InsideErrorKind::ExpandsTooFar, inner.path, ArchiveExpandsTooFarText(m_budget.limit()));
        return Next::EndLevel;
    }
    // ... and the bytes it really gives as they come (ArchiveEntryReader).
    ArchiveEntryReader bytes(level.handle, m_budget);
    file(level, bytes, inner);
    if (!bytes.failure() && !finish(bytes, inner.size)) {
        report(InsideErrorKind::ExpandsTooFar, inner.path, ArchiveExpandsTooFarText(m_budget.limit()));
        return Next::EndLevel;
    }
    // A failure the reader gave, to the visitor or to the walk, is kept by it
    // and reported here once.
    if (!bytes.failure()) return Next::Entry;
    // The archive around this one failed: it reports that, under its own name.
    if (bytes.failedAround()) return Next::EndLevel;
    const Failure& failure = *bytes.failure();
    m_visitor.visitError(inner.path, failure);
    if (InsideKindOf(failure) == InsideErrorKind::ExpandsTooFar) return Next::EndLevel;
    // A damaged entry may leave the archive readable at the next header; the
    // walk tries, and ends quietly if it is not.
    return Next::EntryFailed;
}

void ArchiveWalk::file(const Level& level, ArchiveEntryReader& bytes, const InnerFile& found)
{
    InnerFile inner = found;
    Expected<std::string> head = ReadUpTo(bytes, kSniffLength);
    if (!head) return;  // kept by `bytes`
    inner.format = SniffInsideFormat(inner.name, head.value());
    PrefixedReader whole(std::move(head).value(), bytes);
    const bool opens = inner.format == InsideFormat::Archive || inner.format == InsideFormat::Compressed;
    if (opens && level.depth < m_limits.maxDepth) {
        nested(level, whole, inner, inner.format);
        return;
    }
    m_visitor.visitFile(inner, whole);
}

void ArchiveWalk::nested(const Level& level, ByteReader& bytes, const InnerFile& inner, InsideFormat format)
{
    ArchiveHandle handle(format);
    std::string memory;
    bool opened = false;
    std::optional<std::uint64_t> size = inner.size;
    if (inner.size && *inner.size <= m_limits.nestedInMemory) {
        Expected<std::string> read = ReadUpTo(bytes, static_cast<std::size_t>(*inner.size));
        if (!read) return;  // kept by the entry's reader
        memory = std::move(read).value();
        size = memory.size();
        opened = handle.openMemory(memory);
    } else {
        opened = handle.openStream(bytes);
    }
    if (!opened) {
        // A failed read of the entry's own bytes is kept by its reader.
        if (handle.streamFailure()) return;
        report(InsideErrorKind::Damaged, inner.path, text::kInsideDamagedArchive + handle.errorText());
        return;
    }
    walk(Level{handle, inner.path, inner.name, format, size, level.depth + 1});
}

bool ArchiveWalk::finish(ArchiveEntryReader& bytes, const std::optional<std::uint64_t>& size)
{
    // A budget spent below this level was reported there.
    if (bytes.isAtEnd() || m_budget.isSpent()) return true;
    // libarchive inflates what it passes over in a compressed stream: that
    // counts too, by the size the entry states (checked against the ratio
    // before the entry was begun) ...
    if (size && *size >= bytes.bytesRead()) return m_budget.take(*size - bytes.bytesRead());
    // ... or, of unknown size, read to its end under the same checks.
    std::array<char, 64 * 1024> scratch;
    for (;;) {
        const Expected<std::size_t> got = bytes.read(scratch.data(), scratch.size());
        if (!got || got.value() == 0) return true;  // a failure is kept by `bytes`
    }
}

}  // namespace

void ReadArchive(const std::string& path, InsideFormat format, InnerFileVisitor& visitor, const ArchiveLimits& limits)
{
    InputFile file;
    if (const std::error_code error = file.open(path)) {
        visitor.visitError(path, systemFailure(error, text::kCannotOpenFile + SystemErrorText(error)));
        return;
    }
    ArchiveHandle handle(format);
    ArchiveWalk walk(visitor, limits);
    std::string name(InnerFileName(path));
    if (!handle.openDescriptor(file.descriptor())) {
        visitor.visitError(path, InsideFailure(InsideErrorKind::Damaged, text::kInsideDamagedArchive + handle.errorText()));
        return;
    }
    walk.walk(Level{handle, path, std::move(name), format, file.size(), 1});
}

}  // namespace tarnwick::inside
