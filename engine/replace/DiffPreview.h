#pragma once
// A preview of a replace run as a git-style unified diff of the tree below
// the start folder: `git apply` of it in that folder gives the files the run
// would give. Changed contents as hunks, renames (of files, and of every
// file below a renamed folder) as "rename from/to", backup copies as "copy
// from/to". Binary files, documents and files reached through a symbolic
// link (the run writes the link's target) cannot be patched: they are
// listed as comment lines ("# ..."), which git apply passes over, with their
// counts, documents with each changed paragraph's old and new text.
// Every name, in the notes as well, is written as git quotes it
// (QuoteDiffPath), so a name can never end its line and pass for a patch.
//
// Renames are checked against the tree as the run would have left it so
// far, so a name taken by an earlier rename fails as it would on disk.
#include <map>
#include <string>
#include <vector>

#include "engine/replace/ChangePreview.h"
#include "engine/replace/PreviewNames.h"

namespace tarnwick {

class CodePage;

class DiffPreview final : public ChangePreview {
public:
    DiffPreview(std::string root, const CodePage& codePage);

    std::error_code contents(const std::string& path, std::string_view previous, std::string_view contents,
                             std::int64_t replacements) override;
    std::error_code splitContents(const std::string& path, const std::string& newContentsPath,
                                  std::int64_t replacements) override;
    void backup(const std::string& path, const std::string& backupPath) override;
    std::error_code rename(const std::string& directory, const std::string& name, const std::string& newName) override;
    void document(const std::string& path, std::u16string_view before, std::u16string_view after,
                  std::int64_t replacements) override;
    bool exists(const std::string& path) const override;

    // The whole diff: the notes first, then the copies, then the changes.
    std::string text() const;

private:
    struct Change {
        std::string from;  // relative to the root, as the file is named now
        std::string to;  // its name after the run
        std::string hunks;
    };
    Change& changeOf(const std::string& relative);
    std::string relative(const std::string& path) const;
    void addFilesBelow(const std::string& directory, const std::string& from, const std::string& to);

    std::string m_root;  // ends with '/'
    const CodePage& m_codePage;
    std::string m_notes;
    std::vector<Change> m_copies;
    std::vector<Change> m_changes;
    std::map<std::string, std::size_t> m_changeOf;  // present name -> index in m_changes
    PreviewNames m_names;
};

}  // namespace tarnwick
