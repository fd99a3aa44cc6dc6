#include "engine/replace/PreviewNames.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>

#include "engine/match/DocumentText.h"
#include "engine/replace/Renaming.h"
#include "platform/SystemError.h"

namespace tarnwick {

bool PreviewNames::exists(const std::string& path) const
{
    if (m_taken.count(path) != 0) return true;
    if (m_freed.count(path) != 0) return false;
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

std::error_code PreviewNames::rename(const std::string& directory, const std::string& name, const std::string& newName,
                                     Move& move)
{
    move = {};
    if (!IsUsableEntryName(newName)) return ErrnoCode(EINVAL);
    if (newName == name) return {};
    std::string fromPath = directory + (directory.empty() || directory.back() == '/' ? "" : "/") + name;
    std::string toPath = fromPath.substr(0, fromPath.size() - name.size()) + newName;
    if (exists(toPath)) return ErrnoCode(EEXIST);
    m_freed.insert(fromPath);
    m_taken.erase(fromPath);
    m_taken.insert(toPath);
    m_freed.erase(toPath);
    move = {std::move(fromPath), std::move(toPath)};
    return {};
}

std::string DocumentAsLines(std::u16string_view text, const CodePage& codePage)
{
    // Paragraphs end with CR in a document's text.
    std::string bytes = FromDocumentText(text, codePage);
    std::replace(bytes.begin(), bytes.end(), '\r', '\n');
    return bytes;
}

}  // namespace tarnwick
