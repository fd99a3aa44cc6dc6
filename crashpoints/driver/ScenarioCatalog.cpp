// The scenarios: each small (one run takes a few tens of milliseconds), each
// taking another path through the write code. Replacements never contain
// their search text, so running a command again finishes the job instead of
// changing finished files once more.
#include "crashpoints/driver/DocxPackage.h"
#include "crashpoints/driver/Scenario.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace tarnwick::crashpoints {
namespace {

std::string sameName(const std::string& name, bool) { return name; }

std::string replaceAll(std::string text, const std::string& from, const std::string& to)
{
    for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

std::string lowerFileName(const std::string& name, bool folder)
{
    if (folder) return name;
    std::string lower = name;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

// A few small text files: changed ones in two folders, one without a hit,
// one with permission bits of its own.
void buildTextFiles(const std::string& root)
{
    WriteFile(root + "/tree/a.txt", "alpha one\n");
    WriteFile(root + "/tree/sub/b.txt", "x alpha y\nalpha again\n", 0640);
    WriteFile(root + "/tree/sub/c.txt", "nothing to see\n");
    WriteFile(root + "/tree/sub/deeper/d.txt", "last alpha\n");
}

// About 20 KB with hits spread over it, so that a split length of 4096 makes
// the replace stream it through a temporary file.
std::string largeText()
{
    std::string text;
    for (int line = 0; text.size() < 20'000; ++line)
        text += "line " + std::to_string(line) + (line % 37 == 0 ? " alpha" : " filler text") + " end\n";
    return text;
}

void buildLargeFile(const std::string& root)
{
    WriteFile(root + "/tree/big.txt", largeText());
    WriteFile(root + "/tree/small.txt", "alpha\n");
}

void hardLink(const std::string& root, const std::string& from, const std::string& to)
{
    std::filesystem::create_directories(std::filesystem::path(root + "/" + to).parent_path());
    if (::link((root + "/" + from).c_str(), (root + "/" + to).c_str()) != 0) throw std::runtime_error("cannot link " + to);
}

void buildHardLinked(const std::string& root)
{
    WriteFile(root + "/tree/a.txt", "alpha shared\n");
    hardLink(root, "tree/a.txt", "tree/sub/a-link.txt");
    WriteFile(root + "/tree/b.txt", "alpha single\n");
}

void buildHardLinkedLarge(const std::string& root)
{
    WriteFile(root + "/tree/big.txt", largeText());
    hardLink(root, "tree/big.txt", "tree/sub/big-link.txt");
}

void buildNames(const std::string& root)
{
    WriteFile(root + "/tree/alpha-dir/alpha.txt", "alpha inside\n");
    WriteFile(root + "/tree/alpha-dir/plain.txt", "plain\n");
    WriteFile(root + "/tree/keep/alpha-notes.txt", "notes\n");
    WriteFile(root + "/tree/keep/other.txt", "other alpha\n");
}

void buildDocument(const std::string& root)
{
    std::filesystem::create_directories(root + "/tree");
    WriteMinimalDocx(root + "/tree/letter.docx", "Dear alpha, the alpha team writes.");
    WriteFile(root + "/tree/note.txt", "alpha note\n");
}

std::string utf16Le(const std::string& ascii)
{
    std::string bytes = "\xFF\xFE";
    for (const char c : ascii) bytes += std::string{c, '\0'};
    return bytes;
}

void buildUtf16(const std::string& root)
{
    WriteFile(root + "/tree/wide.txt", utf16Le("alpha one\r\ntwo alpha\r\n"));
    WriteFile(root + "/tree/narrow.txt", "alpha\n");
}

void buildUpperNames(const std::string& root)
{
    WriteFile(root + "/tree/README.TXT", "read me\n");
    WriteFile(root + "/tree/Sub/UP.TXT", "up\n");
    WriteFile(root + "/tree/Sub/Mixed.Txt", "mixed\n");
    WriteFile(root + "/tree/Sub/lower.txt", "lower\n");
}

}  // namespace

const std::vector<std::string>& CheckedFolders()
{
    static const std::vector<std::string> folders = {"tree", "spill", "tmp"};
    return folders;
}

const std::vector<std::string>& ScenarioFolders()
{
    static const std::vector<std::string> folders = {"tree", "spill", "tmp", "home", "state", "config"};
    return folders;
}

void WriteFile(const std::string& path, const std::string& bytes, unsigned mode)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out) throw std::runtime_error("cannot write " + path);
    }
    ::chmod(path.c_str(), mode);
}

std::vector<Scenario> AllScenarios()
{
    const NameRule alphaToOmega = [](const std::string& name, bool) { return replaceAll(name, "alpha", "omega"); };
    return {
        {"text", buildTextFiles, {"replace", "-r", "alpha", "omega", "{tree}"}, sameName},
        {"text-no-backup", buildTextFiles, {"replace", "-r", "--no-backup", "alpha", "omega", "{tree}"}, sameName},
        {"split", buildLargeFile, {"replace", "-r", "--split-length", "4096", "alpha", "omega", "{tree}"}, sameName},
        {"split-temp-dir",
         buildLargeFile,
         {"replace", "-r", "--no-backup", "--split-length", "4096", "--temp-dir", "{spill}", "alpha", "omega", "{tree}"},
         sameName},
        // Shorter contents: a rewrite in place writes, then cuts the file short.
        {"hard-link", buildHardLinked, {"replace", "-r", "alpha", "z", "{tree}"}, sameName},
        {"hard-link-split",
         buildHardLinkedLarge,
         {"replace", "-r", "--no-backup", "--split-length", "4096", "alpha", "z", "{tree}"},
         sameName},
        {"names", buildNames, {"replace", "-r", "--file-names", "--dir-names", "alpha", "omega", "{tree}"}, alphaToOmega},
        {"docx", buildDocument, {"replace", "-r", "alpha", "omega", "{tree}"}, sameName},
        {"utf16", buildUtf16, {"replace", "-r", "--no-backup", "alpha", "omega", "{tree}"}, sameName},
        {"lowercase", buildUpperNames, {"lowercase", "-r", "{tree}"}, lowerFileName},
    };
}

}  // namespace tarnwick::crashpoints
