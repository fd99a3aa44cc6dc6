#include "ui/common/ProgramFiles.h"

#include <QCoreApplication>

#include <filesystem>
#include <system_error>

#include "ui/common/EngineText.h"

namespace tarnwick::ui {
namespace {

namespace fs = std::filesystem;

bool isRegularFile(const fs::path& path)
{
    std::error_code error;
    return fs::is_regular_file(path, error);
}

}  // namespace

std::string ProgramDirectory() { return toPath(QCoreApplication::applicationDirPath()); }

std::optional<std::string> FindProgramFile(const std::string& programDirectory, const std::string& relativePath)
{
    const fs::path beside = fs::path(programDirectory) / relativePath;
    if (isRegularFile(beside)) return beside.string();
    const fs::path shared = (fs::path(programDirectory) / ".." / "share" / "tarnwick" / relativePath).lexically_normal();
    if (isRegularFile(shared)) return shared.string();
    return std::nullopt;
}

std::string ProgramFileDirectory(const std::string& programDirectory, const std::string& relativePath)
{
    const std::optional<std::string> found = FindProgramFile(programDirectory, relativePath);
    if (!found) return programDirectory;
    return fs::path(*found).parent_path().string();
}

}  // namespace tarnwick::ui
