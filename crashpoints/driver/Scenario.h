#pragma once
// A crash scenario: a small tree built afresh for every run, and one
// tarnwick-cli command run on it. Trees live in a scenario folder with the
// subfolders "tree" (what the command works on), "spill" (a --temp-dir),
// "tmp" (TMPDIR) and the program's own home and state folders.
#include <functional>
#include <string>
#include <vector>

namespace tarnwick::crashpoints {

// The name an entry should have after the run; the same name when the
// command does not rename it.
using NameRule = std::function<std::string(const std::string& name, bool folder)>;

struct Scenario {
    std::string name;
    // Fills `root`/tree (and, if it needs them, the other subfolders).
    std::function<void(const std::string& root)> build;
    // The command's arguments; "{tree}" and "{spill}" stand for those folders.
    std::vector<std::string> arguments;
    NameRule newName;
    std::string backupExtension = ".bak";
};

// The folders of a scenario folder whose entries are checked.
const std::vector<std::string>& CheckedFolders();
// Every folder a scenario folder holds before a run.
const std::vector<std::string>& ScenarioFolders();

std::vector<Scenario> AllScenarios();

// Writes `bytes` to `path`, making the folders above it, with `mode`.
void WriteFile(const std::string& path, const std::string& bytes, unsigned mode = 0644);

}  // namespace tarnwick::crashpoints
