#pragma once
// "&Hilfe": the program's HTML help (help/index.html beside the program, or
// in the installed share directory) opened in the desktop's browser. When
// the help is missing or cannot be opened, nothing is shown, and later
// requests do not try again. Plain C++; the opener is injected.
#include <functional>
#include <string>

namespace tarnwick::ui {

class HelpLauncher {
public:
    // Opens a local file; false when that failed.
    using Opener = std::function<bool(const std::string& path)>;

    HelpLauncher(std::string programDirectory, Opener opener);

    // Returns whether the help was handed to the opener.
    bool Show();
    bool isUnavailable() const { return m_unavailable; }

private:
    std::string m_programDirectory;
    Opener m_opener;
    bool m_unavailable = false;
};

}  // namespace tarnwick::ui
