#include "ui/help/UpdaterLaunch.h"

#include <QProcess>
#include <QStringList>

#include "ui/common/EngineText.h"
#include "ui/common/ProgramFiles.h"
#include "ui/help/HelpMenuTexts.h"

namespace tarnwick::ui {

std::vector<std::string> UpdaterArguments(const UpdateChoice& choice, const std::string& programDirectory)
{
    std::string directory = programDirectory;
    if (directory.empty() || directory.back() != '/') directory += '/';
    return {"/l:" + choice.location, std::string("/n:") + text::help::kProgramFileName, "/p:" + directory,
            choice.makeBackup ? "/k:1" : "/k:0"};
}

std::string UpdaterPath(const std::string& programDirectory)
{
    if (auto found = FindProgramFile(programDirectory, text::help::kUpdaterFileName)) return *found;
    return programDirectory + "/" + text::help::kUpdaterFileName;
}

bool DetachedUpdaterLauncher::start(const std::string& program, const std::vector<std::string>& arguments,
                                    const std::string& workingDirectory)
{
    QStringList list;
    // Arguments are bytes (a path, the server's location); decoded as file
    // names they reach the updater unchanged.
    for (const std::string& argument : arguments) list << fromPath(argument);
    return QProcess::startDetached(fromPath(program), list, fromPath(workingDirectory));
}

bool StartUpdater(const UpdateChoice& choice, const std::string& programDirectory, UpdaterLauncher& launcher)
{
    return launcher.start(UpdaterPath(programDirectory), UpdaterArguments(choice, programDirectory), programDirectory);
}

}  // namespace tarnwick::ui
