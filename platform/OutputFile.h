#pragma once
// A file being written from the start: the temporary file of a commit, a
// backup copy, a copy kept by the undo journal.
//
// A temporary file is made unnamed (O_TMPFILE) in the folder it is to take
// a place in, so a crash while it is written leaves nothing behind; it gets
// a name (`<file>.XXXXXX.trwtmp8`) only right before it is renamed into
// place. Where the file system cannot make unnamed files, it is created
// under such a name at once. While it is open, a named temporary file holds
// an exclusive advisory lock, which tells a clean-up that it is in use.
//
// Keeps the SHA-256 of what was appended (holes count as zeros). Owns its
// descriptors; not thread-safe. A temporary file that was never installed
// is removed when the object goes.
#include <cstdint>
#include <string>
#include <system_error>

#include "platform/ContentDigest.h"

namespace tarnwick {

inline constexpr const char* kTemporarySuffix = ".trwtmp8";

class OutputFile {
public:
    OutputFile() = default;
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    OutputFile(OutputFile&& other) noexcept;
    OutputFile& operator=(OutputFile&& other) noexcept;

    // Creates the new file `path` (an existing name, a symbolic link
    // included, is an error), readable only by the owner until given other
    // attributes.
    std::error_code createNew(const std::string& path);
    // Creates a temporary file in the open folder `folderFd` (whose real
    // path is `folderPath`); a name, when it needs one at once, is `base`
    // followed by ".XXXXXX" and `suffix`.
    std::error_code createTemporary(int folderFd, const std::string& folderPath, const std::string& base,
                                    const std::string& suffix = kTemporarySuffix);
    // The same in the folder at `folder`.
    std::error_code createTemporaryAt(const std::string& folder, const std::string& base,
                                      const std::string& suffix = kTemporarySuffix);

    // Writes `data` at the end. Whole blocks of zeros are not written but
    // left as holes, so that a sparse file stays sparse.
    std::error_code append(const char* data, std::size_t size);
    // Extends the file by `size` zeros without writing them.
    void appendHole(std::uint64_t size);
    // Gives the file its full length (a hole at the end has no bytes to
    // give it) and hands its contents to the disk.
    std::error_code sync();
    // Gives the file its full length; it stays open.
    std::error_code finishWriting();
    // Closes a file made by createNew, keeping it.
    std::error_code close();
    // Closes the file; a temporary one that has a name loses it.
    void discard();

    // Gives an unnamed temporary file the name `name` in its folder (which
    // must be free). A temporary file that has a name keeps it.
    std::error_code giveName(const std::string& name);
    // The temporary file took its place under another name: nothing to
    // remove any more.
    void markInstalled();

    bool isOpen() const { return m_fd >= 0; }
    bool hasName() const { return !m_name.empty(); }
    // Its name in its folder (temporary files), or its path (createNew).
    const std::string& name() const { return m_name; }
    const std::string& folderPath() const { return m_folderPath; }
    int folderDescriptor() const { return m_folderFd; }
    int descriptor() const { return m_fd; }
    std::uint64_t size() const { return m_size; }
    // The digest of everything appended; once, after the last append.
    Digest takeDigest() { return m_digest.finish(); }

private:
    std::error_code writeRun(const char* data, std::size_t size, std::uint64_t offset);
    void reset();
    void moveFrom(OutputFile& other) noexcept;

    int m_fd = -1;
    int m_folderFd = -1;
    std::string m_folderPath;
    std::string m_name;
    bool m_temporary = false;
    std::uint64_t m_size = 0;
    std::uint64_t m_written = 0;  // the end of what was written, holes not counted
    ContentDigest m_digest;
};

// A fresh name for a temporary file beside `base`: `base.XXXXXX` + `suffix`
// with six random letters and digits.
std::string TemporaryName(const std::string& base, const std::string& suffix = kTemporarySuffix);

// Whether `name` has the shape TemporaryName gives (the program's own
// temporary file, left behind by a crash when nothing holds it open).
bool IsTemporaryName(const std::string& name, const std::string& suffix = kTemporarySuffix);

}  // namespace tarnwick
