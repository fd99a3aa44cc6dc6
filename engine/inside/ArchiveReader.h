#pragma once
// Walks the files inside an archive or a compressed file, through libarchive,
// read only: zip and other zip packages, tar (plain, .gz/.tgz, .xz, .bz2,
// .zst, .lz4), 7z, and single compressed files (.gz, .xz, .bz2, .zst, .lz4:
// one inner file named like the outer one without the suffix). An inner
// file that is itself an archive or compressed file is opened from the
// bytes of its entry, never written to disk, down to ArchiveLimits::maxDepth
// levels; deeper ones are handed on as files.
//
// Each inner regular file goes to the visitor with its composite path
// ("a.zip » b.tar.gz » c.txt") and a ByteReader over its bytes, in the order
// the archive holds them. Failures (InsideError.h) go to the visitor with the
// composite path they concern and never end the walk over the other entries, except where going on cannot
// be safe: an entry that expands too far or the archive's budget spent
// (platform/ExpansionLimits.h) end the archive in which it happened (the
// budget every level), and an archive whose structure is damaged ends at
// the damage. Directories, links and devices inside are passed over.
#include <cstdint>
#include <optional>
#include <string>

#include "engine/inside/ByteReader.h"
#include "engine/inside/InsideError.h"
#include "engine/inside/InsideFormat.h"
#include "platform/ExpansionLimits.h"

namespace tarnwick::inside {

struct InnerFile {
    std::string path;  // the composite path
    std::string name;  // its last component, for the filters on names
    std::optional<std::uint64_t> size;  // as the archive states it, when it does
    InsideFormat format;  // what its name and first bytes say (an archive too deep to open is a file here)
};

class InnerFileVisitor {
public:
    virtual ~InnerFileVisitor() = default;
    // `bytes` is valid during the call only; what is not read is passed over.
    // A failure `bytes` gives is the walk's to report, through visitError,
    // once the visitor has returned. An exception ends the walk and leaves
    // ReadArchive.
    virtual void visitFile(const InnerFile& file, ByteReader& bytes) = 0;
    // `path` is the composite path of what failed: an inner file, a nested
    // archive or the archive on disk.
    virtual void visitError(const std::string& path, const Failure& failure) = 0;
    // Asked before each entry; true ends the walk.
    virtual bool isStopRequested() const { return false; }
};

struct ArchiveLimits {
    std::uint64_t expandedTotal = kMaxArchiveExpandedTotal;
    // The archive on disk is level 1.
    int maxDepth = 3;
    // A nested archive up to this size (as stated) is held in memory, where
    // libarchive can seek in it (7z needs that, zip reads its central
    // directory); a larger one is read as a stream.
    std::uint64_t nestedInMemory = std::uint64_t(32) << 20;
};

// `format` is what SniffInsideFormat said of the file: Archive or Compressed.
void ReadArchive(const std::string& path, InsideFormat format, InnerFileVisitor& visitor, const ArchiveLimits& limits = {});

}  // namespace tarnwick::inside
