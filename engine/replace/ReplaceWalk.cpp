#include "engine/replace/ReplaceWalk.h"

#include "engine/Messages.h"
#include "engine/content/ContentSearch.h"
#include "engine/job/RunContext.h"
#include "engine/job/RunReports.h"
#include "engine/replace/ChangePreview.h"
#include "engine/replace/ChangedFiles.h"
#include "engine/replace/CommitBatch.h"
#include "engine/replace/Renaming.h"
#include "engine/replace/ReplaceInFile.h"
#include "engine/walk/InsideSearch.h"
#include "engine/walk/NameSearch.h"
#include "engine/walk/TreeWalk.h"
#include "platform/FileCommit.h"

#include <strings.h>
#include <sys/stat.h>

namespace tarnwick {
namespace {

class ReplaceWalker final : public TreeWalk {
public:
    using TreeWalk::TreeWalk;

private:
    // A backup copy is left alone while the file it was made of exists.
    bool skipsFile(const DirEntry& entry, const std::string& path) const override
    {
        const std::string& extension = m_run.job.backupExtension;
        const std::string_view name = entry.name;
        if (extension.empty() || name.size() <= extension.size()) return false;
        const std::string_view tail = name.substr(name.size() - extension.size());
        if (::strncasecmp(tail.data(), extension.data(), extension.size()) != 0) return false;
        if (Extension(name).size() != extension.size()) return false;
        struct stat st {};
        const std::string source = path.substr(0, path.size() - extension.size());
        // A preview knows which files the run has renamed away meanwhile.
        if (m_run.preview) return m_run.preview->exists(source);
        return ::stat(source.c_str(), &st) == 0;
    }

    Expected<void> processFile(const DirEntry& entry, const std::string& path) override
    {
        if (m_run.job.searchContents && !entry.system) {
            const Expected<InsideOutcome> inside = searchInside(path);
            if (!inside) return inside.error();
            if (inside.value().searchedInside) {
                // Found, never replaced: nothing inside such a file is written.
                if (inside.value().hits > 0) ReportInsideNotReplaced(m_run, path);
            } else if (m_filter.routesToDocuments(entry.name)) {
                replaceDocument(path);
            } else {
                const Expected<void> replaced =
                    ReplaceInFile(m_run, path, entry.isSymlink ? InputFile::Links::Follow : InputFile::Links::Refuse);
                if (!replaced) return replaced;
            }
        }
        if (m_run.job.searchFileNames) RenameFileName(m_run, path.substr(0, path.size() - entry.name.size()), entry.name);
        return succeeded();
    }

    // Hits inside are found, never replaced, and not counted as replacements.
    Expected<InsideOutcome> searchInside(const std::string& path)
    {
        struct Uncounted {
            RunContext& run;
            explicit Uncounted(RunContext& r) : run(r) { run.hitsUncounted = true; }
            ~Uncounted() { run.hitsUncounted = false; }
        } uncounted(m_run);
        return SearchInside(m_run, m_filter, path);
    }

    void processDirectoryName(const DirEntry& entry, const std::string&, std::vector<std::string>& names) override
    {
        if (NameMatches(m_run, entry.name)) names.push_back(entry.name);
    }

    void levelFinished(const std::string& directory, std::vector<std::string>& names) override
    {
        RenameCollectedDirectories(m_run, directory, names);
    }

    std::string unknownErrorText() const override { return text::kUnknownErrorWithColon; }

    // A document reached a second time (a link to it) is not changed again.
    void replaceDocument(const std::string& path)
    {
        struct stat st {};
        const bool known = !m_run.preview && m_run.changed && ::stat(path.c_str(), &st) == 0;
        if (const std::string* first = known ? m_run.changed->changedAs(FileIdentity::of(st)) : nullptr) {
            m_run.sink.note({NoteKind::AlreadyChangedAs, path, *first});
            return;
        }
        documents().replaceDocument(m_run, path);
        if (!known) return;
        m_run.changed->note(FileIdentity::of(st), path);
        if (::stat(path.c_str(), &st) == 0) m_run.changed->note(FileIdentity::of(st), path);
    }
};

}  // namespace

void ReplaceDirectory(RunContext& run, const std::string& directory)
{
    ReplaceWalker walker(run);
    walker.walk(directory);
}

void RunReplace(RunContext& run, const std::string& startPath)
{
    if (run.job.regularExpression && !CompileSearchRegex(run)) return;
    FolderSyncBatch folderSyncs;
    CommitBatch commits(run);
    ChangedFiles changed;
    run.commits = &commits;
    run.changed = &changed;
    struct Detach {
        RunContext& run;
        ~Detach()
        {
            run.commits = nullptr;
            run.changed = nullptr;
        }
    } detach{run};
    ReplaceDirectory(run, startPath);
    commits.flush();
}

}  // namespace tarnwick
