#include "ui/help/HelpLauncher.h"

#include <optional>

#include "ui/common/ProgramFiles.h"
#include "ui/help/HelpMenuTexts.h"

namespace tarnwick::ui {

HelpLauncher::HelpLauncher(std::string programDirectory, Opener opener)
    : m_programDirectory(std::move(programDirectory)), m_opener(std::move(opener))
{
}

bool HelpLauncher::Show()
{
    if (m_unavailable) return false;
    const std::optional<std::string> index = FindProgramFile(m_programDirectory, text::help::kHelpIndex);
    if (!index || !m_opener || !m_opener(*index)) {
        m_unavailable = true;
        return false;
    }
    return true;
}

}  // namespace tarnwick::ui
