#pragma once
// What the tests of searching inside share: the real packers and LibreOffice
// run in a test's folder, and a visitor that records what a walk hands on.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/inside/ArchiveReader.h"

namespace tarnwick::test {

// Runs `command` through the shell in `folder`; its exit status.
int RunIn(const std::string& folder, const std::string& command);
bool HasTool(const std::string& name);

// `source` (a file of the sources folder) converted by LibreOffice to
// `extension`, made once per test program run and kept until it ends.
std::string ConvertedByOffice(const std::string& source, const std::string& extension);
std::string SourcePath(const std::string& source);

struct SeenFile {
    inside::InnerFile file;
    std::string bytes;
};

struct SeenError {
    std::string path;
    Failure failure;
    inside::InsideErrorKind kind() const { return inside::InsideKindOf(failure); }
};

class RecordingVisitor : public inside::InnerFileVisitor {
public:
    void visitFile(const inside::InnerFile& file, inside::ByteReader& bytes) override;
    void visitError(const std::string& path, const Failure& failure) override { errors.push_back({path, failure}); }
    bool isStopRequested() const override { return stopAfter && files.size() >= *stopAfter; }

    std::vector<std::string> paths() const;

    std::vector<SeenFile> files;
    std::vector<SeenError> errors;
    std::size_t pieceSize = 4096;
    std::optional<std::size_t> stopAfter;
};

}  // namespace tarnwick::test
