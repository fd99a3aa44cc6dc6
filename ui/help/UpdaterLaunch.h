#pragma once
// Starting the updater after the user chose "Aktualisieren": the program
// "aktualisierer" beside this one, run in the program's directory and told
// where to fetch the new version, which program to replace, where it lies
// and whether to keep a backup of the old version.
#include <string>
#include <vector>

namespace tarnwick::ui {

// What the update check hands on when the user chose to update.
struct UpdateChoice {
    std::string location;  // the server's download location
    bool makeBackup = true;
};

// "/l:<location>", "/n:tarnwick", "/p:<directory>/" and "/k:1" or "/k:0",
// one argument each: no shell lies between, so nothing is quoted.
std::vector<std::string> UpdaterArguments(const UpdateChoice& choice, const std::string& programDirectory);

// The updater's path: beside the program, else in the installed share
// directory; beside the program when it is in neither (the start fails).
std::string UpdaterPath(const std::string& programDirectory);

// Starts a program without waiting for it; it outlives this one.
class UpdaterLauncher {
public:
    virtual ~UpdaterLauncher() = default;
    // False when the program could not be started.
    virtual bool start(const std::string& program, const std::vector<std::string>& arguments,
                       const std::string& workingDirectory) = 0;
};

// QProcess::startDetached.
class DetachedUpdaterLauncher final : public UpdaterLauncher {
public:
    bool start(const std::string& program, const std::vector<std::string>& arguments,
               const std::string& workingDirectory) override;
};

// Builds the call and starts it; false when the updater did not start.
bool StartUpdater(const UpdateChoice& choice, const std::string& programDirectory, UpdaterLauncher& launcher);

}  // namespace tarnwick::ui
