#include "ui/HelpLauncher.h"

#include <QDesktopServices>
#include <QUrl>

#include <optional>

#include "ui/EngineText.h"
#include "ui/HelpMenuTexts.h"
#include "ui/ProgramFiles.h"

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

bool OpenInDesktop(const std::string& path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(fromPath(path))); }

}  // namespace tarnwick::ui
