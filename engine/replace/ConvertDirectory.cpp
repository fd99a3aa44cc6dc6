#include "engine/replace/ConvertDirectory.h"

#include "engine/Messages.h"
#include "engine/job/RunContext.h"
#include "engine/job/RunReports.h"
#include "engine/log/RunLog.h"
#include "engine/replace/JournalHooks.h"
#include "engine/replace/Renaming.h"
#include "engine/walk/EntryFilter.h"
#include "engine/walk/TreeWalk.h"
#include "platform/CodePage.h"
#include "platform/DirectoryReader.h"
#include "results/ResultList.h"

#include <strings.h>

#include <algorithm>
#include <cctype>
#include <cerrno>

namespace tarnwick {
namespace {

class Converter {
public:
    Converter(RunContext& run, RenameArgument renameArgument) : m_run(run), m_filter(run.job), m_argument(renameArgument) {}

    void convert(const std::string& directory, bool top = true)
    {
        if (m_run.stopRequested()) return;
        DirectoryListing listing;
        DirectoryReader reader(directory, m_run.codePage, listing);
        if (reader.error() && !(top && reader.error().value() == ENOENT))
            ReportUnreadableDirectory(m_run, directory, reader.error());
        if (!reader.isOpen()) return;
        DirEntry entry;
        std::string path;
        while (reader.readName(entry)) {
            if (m_run.stopRequested()) return;
            if (!reader.stat(entry)) continue;
            JoinPath(path, directory, entry.name);
            if (entry.isDirectory()) {
                if (m_run.job.includeSubfolders && !entry.isSymlink && !m_filter.directoryExcluded(entry)) convert(path, false);
                continue;
            }
            if (admits(entry, path)) convertName(directory, entry.name, path);
            m_run.sink.endEntry();
        }
    }

private:
    bool admits(const DirEntry& entry, const std::string& path) const
    {
        const SearchJob& job = m_run.job;
        if (!m_filter.passesAttributes(entry)) return false;
        // Whole kilobytes, and no upper limit of its own: renaming reads nothing.
        if (job.sizeFilter && (entry.size / 1024 < job.minSizeKb || entry.size / 1024 > job.maxSizeKb)) return false;
        if (!m_filter.passesDates(entry)) return false;
        const std::string_view extension = Extension(entry.name);
        if (job.allFileTypes) {
            return !(job.skipBackupFiles && extension.size() == job.backupExtension.size() &&
                     ::strncasecmp(extension.data(), job.backupExtension.data(), extension.size()) == 0);
        }
        // Here the extension comes from the full path, and the name strings
        // are tested against the full path.
        const auto dot = path.rfind('.');
        if (dot == std::string::npos) return false;
        std::string lowered = path.substr(dot);
        std::transform(lowered.begin(), lowered.end(), lowered.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (job.skipBackupFiles && lowered == job.backupExtension) return false;
        if (job.fileTypes.find(lowered + ';') == std::string::npos) return false;
        return m_filter.passesNameStrings(path);
    }

    void convertName(const std::string& directory, const std::string& name, const std::string& path)
    {
        const std::string lower = m_run.codePage.lower(name);
        if (m_argument == RenameArgument::All) {
            if (lower == name) return;
        } else if (m_run.codePage.upper(name) != name) {
            return;
        }
        if (const std::error_code error = JournaledRename(m_run, directory, name, lower)) {
            ReportRenameFailure(m_run, path, error);
            return;
        }
        NameHitEvent hit;
        hit.kind = NameHitKind::Lowercased;
        hit.path = path;
        m_run.sink.nameHit(hit);
        m_run.sink.committed({CommitKind::Lowercase, path, 0});
    }

    RunContext& m_run;
    EntryFilter m_filter;
    RenameArgument m_argument;
};

}  // namespace

void ConvertDirectory(RunContext& run, const std::string& directory, RenameArgument renameArgument)
{
    Converter converter(run, renameArgument);
    converter.convert(directory);
}

}  // namespace tarnwick
