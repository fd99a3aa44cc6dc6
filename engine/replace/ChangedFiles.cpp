#include "engine/replace/ChangedFiles.h"

#include "platform/InputFile.h"

namespace tarnwick {

const std::string* ChangedFiles::changedAs(FileIdentity identity) const
{
    const auto found = m_changed.find(identity);
    return found == m_changed.end() ? nullptr : &found->second;
}

void ChangedFiles::note(const InputFile& file)
{
    note(file.identity(), file.path());
    note(file.currentIdentity(), file.path());
}

void ChangedFiles::note(FileIdentity identity, const std::string& path)
{
    if (identity.isKnown()) m_changed.emplace(identity, path);
}

}  // namespace tarnwick
