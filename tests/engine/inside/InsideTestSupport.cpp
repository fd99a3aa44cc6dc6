#include "tests/engine/inside/InsideTestSupport.h"

#include <sys/wait.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <stdexcept>

#include "tests/support/TempTree.h"

namespace tarnwick::test {
namespace {

std::string quoted(const std::string& text)
{
    std::string quoted = "'";
    for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

}  // namespace

int RunIn(const std::string& folder, const std::string& command)
{
    const int status = std::system(("cd " + quoted(folder) + " && { " + command + "; } >/dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool HasTool(const std::string& name) { return RunIn("/", "command -v " + quoted(name)) == 0; }

std::string SourcePath(const std::string& source) { return std::string(TARNWICK_INSIDE_SOURCES) + "/" + source; }

std::string ConvertedByOffice(const std::string& source, const std::string& extension)
{
    // One folder and one LibreOffice profile for the whole program, removed
    // when it ends; each conversion is made the first time a test asks.
    static const TempTree tree;
    static std::map<std::string, std::string> converted;
    const std::string key = source + "\n" + extension;
    if (const auto found = converted.find(key); found != converted.end()) return found->second;
    const std::string stem = source.substr(0, source.rfind('.'));
    const std::string folder = tree.mkdir(extension);
    const std::string command = "HOME=" + quoted(tree.path("home")) + " soffice --headless --norestore --convert-to " +
        extension + " " + quoted(SourcePath(source));
    if (RunIn(folder, command) != 0) throw std::runtime_error("soffice could not convert " + source + " to " + extension);
    const std::string path = folder + "/" + stem + "." + extension;
    if (ReadFile(path).empty()) throw std::runtime_error("soffice wrote no " + path);
    return converted[key] = path;
}

void RecordingVisitor::visitFile(const inside::InnerFile& file, inside::ByteReader& bytes)
{
    files.push_back({file, {}});
    std::string piece(pieceSize, '\0');
    for (;;) {
        const Expected<std::size_t> got = bytes.read(piece.data(), piece.size());
        if (!got || got.value() == 0) return;
        files.back().bytes.append(piece, 0, got.value());
    }
}

std::vector<std::string> RecordingVisitor::paths() const
{
    std::vector<std::string> paths;
    for (const SeenFile& seen : files) paths.push_back(seen.file.path);
    return paths;
}

}  // namespace tarnwick::test
