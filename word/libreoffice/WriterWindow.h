#pragma once
// Shows a document in a visible Writer window of the user's own LibreOffice
// (the user's profile, not the document server's private one) with a hit
// selected. `soffice --accept=...` is started for every connection: when
// the user's LibreOffice runs already, it takes the request over and opens
// the pipe itself; otherwise the started one becomes the user's LibreOffice
// and stays after this program ends. Calls block while LibreOffice works
// (a hung one blocks them for good, as it cannot be killed: it is the
// user's), so they belong on a thread of their own. Not thread-safe.
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "word/automation/StoryId.h"

namespace tarnwick::word {

struct WriterLaunch {
    std::string soffice;  // FindSoffice()
    // How long LibreOffice may take to start and open its pipe.
    std::chrono::milliseconds limit{std::chrono::seconds(60)};
    // Added to soffice's arguments: tests run it headless with a profile of their own.
    std::vector<std::string> extraArguments;
};

// Whether `soffice` can show a window here: a display is set and its program
// folder holds a desktop plugin (gtk3, kf5, qt, x11). LibreOffice without one
// (the nogui packages) would run a Writer nobody sees, and would go on
// running as the user's LibreOffice.
bool WriterCanShowWindows(const std::string& soffice);

// How long LibreOffice may take to start: the document server's time limit.
std::chrono::seconds WriterTimeLimit();

class WriterWindow {
public:
    explicit WriterWindow(WriterLaunch launch);
    ~WriterWindow();
    WriterWindow(const WriterWindow&) = delete;
    WriterWindow& operator=(const WriterWindow&) = delete;

    // Opens `path` (or finds it among the open documents), selects the
    // `length` characters at `position` of the story `story` of the engine's
    // model of the document (nothing without a position) and brings its
    // window to the front.
    // Throws ServerError when LibreOffice cannot be started or reached, or
    // refuses the document; a hit it cannot place leaves the document open
    // with nothing selected.
    void show(const std::string& path, StoryId story, std::optional<std::int64_t> position, std::int64_t length);

    // The text selected in the window shown last (tests).
    std::u16string selectedText();
    // Ends the LibreOffice it is connected to (tests; never the user's).
    void terminateOffice();

    struct Connection;

private:
    Connection& connection();

    WriterLaunch m_launch;
    std::unique_ptr<Connection> m_connection;
};

}  // namespace tarnwick::word
