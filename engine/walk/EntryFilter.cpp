#include "engine/walk/EntryFilter.h"

#include "engine/inside/InsideFormat.h"
#include "engine/job/SearchJob.h"

#include <strings.h>

#include <algorithm>
#include <cctype>

namespace tarnwick {
namespace {

constexpr std::string_view kTempExtension = ".trwtmp8";

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && ::strncasecmp(a.data(), b.data(), a.size()) == 0;
}

std::string trim(std::string_view s)
{
    const auto first = s.find_first_not_of(" \t\r\n\f\v");
    if (first == std::string_view::npos) return {};
    const auto last = s.find_last_not_of(" \t\r\n\f\v");
    return std::string(s.substr(first, last - first + 1));
}

}  // namespace

std::string_view Extension(std::string_view name)
{
    const auto dot = name.rfind('.');
    return dot == std::string_view::npos ? name : name.substr(dot);
}

std::string_view BareExtension(std::string_view name)
{
    const auto dot = name.rfind('.');
    return dot == std::string_view::npos ? name : name.substr(dot + 1);
}

bool IsWordExtension(std::string_view e, std::string_view list)
{
    // A file whose name ends with '.' has no extension to match.
    if (e.empty()) return false;
    for (std::size_t at = list.find(e); at != std::string_view::npos; at = list.find(e, at + 1)) {
        const bool startOk = at == 0 || list[at - 1] == ' ' || list[at - 1] == ',' || list[at - 1] == '.';
        const std::size_t end = at + e.size();
        const bool endOk = end == list.size() || list[end] == ',';
        if (startOk && endOk) return true;
    }
    return false;
}

EntryFilter::EntryFilter(const SearchJob& job) : m_job(job)
{
    // Only pieces that end with ';' count; text after the last ';' is ignored.
    const std::string& list = job.nameStrings;
    std::size_t start = 0;
    for (std::size_t semicolon = list.find(';'); semicolon != std::string::npos; semicolon = list.find(';', start)) {
        m_nameTokens.push_back(trim(std::string_view(list).substr(start, semicolon - start)));
        start = semicolon + 1;
    }
}

bool EntryFilter::fileRejectedByName(const DirEntry& entry) const
{
    if (entry.hidden && m_job.skipHidden) return true;
    return !passesNameStrings(entry.name) || !passesType(entry.name);
}

bool EntryFilter::holdsFiles(std::string_view name) const { return m_job.searchInside && inside::NamesContainer(name); }

bool EntryFilter::passesAttributes(const DirEntry& entry) const
{
    return !((entry.hidden && m_job.skipHidden) || (entry.archive && m_job.skipArchive) || (entry.system && m_job.skipSystem) ||
             (entry.readOnly && m_job.skipReadOnly));
}

bool EntryFilter::needsFileAttributes() const { return m_job.sizeFilter || m_job.dateFilter || m_job.skipReadOnly; }

bool EntryFilter::passesSize(std::uint64_t size) const
{
    // Files of any size are searched (split mode holds one chunk at a time).
    if (!m_job.sizeFilter) return true;
    return static_cast<std::uint64_t>(m_job.minSizeKb) * 1024 <= size &&
        size <= static_cast<std::uint64_t>(m_job.maxSizeKb) * 1024;
}

bool EntryFilter::passesDates(const DirEntry& entry) const
{
    if (!m_job.dateFilter) return true;
    auto outside = [&](std::int64_t t) { return t < m_job.dateFrom || t > m_job.dateTo; };
    if (m_job.dateCreated && outside(entry.created)) return false;
    if (m_job.dateModified && outside(entry.modified)) return false;
    if (m_job.dateAccessed && outside(entry.accessed)) return false;
    return true;
}

bool EntryFilter::passesNameStrings(std::string_view name) const
{
    if (m_job.nameStrings.empty()) return true;
    const bool ignoreMode = m_job.nameStringMode == NameStringMode::IgnoreIfAnyOccurs;
    for (const std::string& token : m_nameTokens) {
        const bool occurs = name.find(token) != std::string_view::npos;
        if (ignoreMode && occurs) return false;
        if (!ignoreMode && !occurs) return false;
    }
    return true;
}

bool EntryFilter::admitFile(const DirEntry& entry) const
{
    return passesAttributes(entry) && (passesSize(entry.size) || holdsFiles(entry.name)) && passesDates(entry) &&
        passesNameStrings(entry.name);
}

bool EntryFilter::passesType(std::string_view name) const
{
    const std::string_view extension = Extension(name);
    if (equalsIgnoringCase(extension, kTempExtension)) return false;
    if (m_job.allFileTypes) return !(m_job.skipBackupFiles && equalsIgnoringCase(extension, m_job.backupExtension));
    return holdsFiles(name) || typeListed(name);
}

bool EntryFilter::typeListed(std::string_view name) const
{
    if (m_job.allFileTypes) return false;
    const std::string_view extension = Extension(name);

    // Names are short: a small stack buffer keeps this free of allocation.
    char lowered[256];
    if (extension.size() + 1 > sizeof lowered) return false;
    std::transform(extension.begin(), extension.end(), lowered,
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const std::string_view lower(lowered, extension.size());
    if (m_job.skipBackupFiles && lower == m_job.backupExtension) return false;
    lowered[extension.size()] = ';';
    // The list is searched as plain text, not as wildcard patterns.
    return m_job.fileTypes.find(std::string_view(lowered, extension.size() + 1)) != std::string::npos;
}

bool EntryFilter::directoryExcluded(const DirEntry& entry) const { return m_job.attributesOnDirs && !passesAttributes(entry); }

bool EntryFilter::routesToDocuments(std::string_view name) const
{
    if (!m_job.useWord) return false;
    if (m_job.wordAutoMode == WordAutoMode::AllTypes) return true;
    const std::string_view bare = BareExtension(name);
    char lowered[256];
    if (bare.size() > sizeof lowered) return false;
    std::transform(bare.begin(), bare.end(), lowered, [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return IsWordExtension(std::string_view(lowered, bare.size()), m_job.wordExtensions);
}

}  // namespace tarnwick
