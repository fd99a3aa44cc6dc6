#pragma once
// Judges what a user finds at one moment against the expected tree:
//  - right after a crash, every entry under its old or its new name (each
//    name on its own: a folder may be renamed while a file in it is not),
//    every file with exactly its old or its new contents, hard links still
//    one file; temporary files and backup copies (also partial) allowed;
//  - after an undo, everything old: names, contents, permission bits, no
//    temporary file, no partial backup copy;
//  - after the same command run again, everything new likewise.
// A hard-linked file rewritten in place may be torn at a crash; that is no
// finding but listed in tornInPlace, for the clean-up to repair.
#include <map>
#include <set>
#include <string>
#include <vector>

#include "crashpoints/driver/ExpectedTree.h"
#include "crashpoints/driver/TreeSnapshot.h"

namespace tarnwick::crashpoints {

enum class Stage : std::uint8_t { Crash, Undo, Rerun };
const char* StageName(Stage stage);

struct Finding {
    bool violation = true;  // false: a note
    std::string kind;  // fixed text, for grouping: "keeps the new contents"
    std::string detail;  // with the paths: "tree/a.txt keeps the new contents"
};

struct StateCheck {
    std::vector<Finding> findings;
    bool changed = false;  // something differs from the old tree (at a crash: the undo has work)
    std::map<int, std::string> tornInPlace;  // hard-linked entries holding neither contents -> what they hold
    std::set<int> wrongContents;  // entries whose contents are not what the stage wants
};

StateCheck CheckState(const ExpectedTree& expected, const Snapshot& now, Stage stage);

}  // namespace tarnwick::crashpoints
