#include "ui/help/HelpLauncher.h"

#include <fcntl.h>
#include <unistd.h>

#include <QFileInfo>

#include <cerrno>
#include <optional>

#include "platform/SystemError.h"
#include "ui/common/ProgramFiles.h"
#include "ui/help/HelpMenuTexts.h"

namespace tarnwick::ui {

struct HelpLauncher::State {
    State(std::string directory, BrowserOpener browser, HelpDisplay& shownOn)
        : programDirectory(std::move(directory)), opener(std::move(browser)), display(shownOn)
    {
    }

    std::string programDirectory;
    BrowserOpener opener;
    HelpDisplay& display;
    bool unavailable = false;
    bool browserFailed = false;
    bool browserAsked = false;  // an answer about the help is still to come
    std::string browserFailure;
};

namespace {

// Why the file cannot be read; nothing when it can.
std::optional<std::string> ReadError(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return SystemErrorText(errno);
    ::close(fd);
    return std::nullopt;
}

std::string InOwnWindow(const std::string& failure) { return failure + text::help::kHelpInOwnWindow; }

}  // namespace

HelpLauncher::HelpLauncher(std::string programDirectory, BrowserOpener opener, HelpDisplay& display)
    : m_state(std::make_shared<State>(std::move(programDirectory), std::move(opener), display))
{
}

HelpLauncher::~HelpLauncher() = default;

bool HelpLauncher::isUnavailable() const { return m_state->unavailable; }

bool HelpLauncher::hasBrowserFailed() const { return m_state->browserFailed; }

void HelpLauncher::show()
{
    State& state = *m_state;
    const std::optional<std::string> index =
        state.unavailable ? std::nullopt : FindProgramFile(state.programDirectory, text::help::kHelpIndex);
    if (!index) {
        state.unavailable = true;
        state.display.showHelpMessage(text::help::kHelpMissing + state.programDirectory);
        return;
    }
    if (const std::optional<std::string> error = ReadError(*index)) {
        state.display.showHelpMessage(std::string(text::help::kHelpUnreadable) + *index + ":\n" + *error);
        return;
    }
    if (state.browserFailed) {
        state.display.showHelpWindow(*index, InOwnWindow(state.browserFailure));
        return;
    }
    // A second click while the browser starts would start it twice.
    if (state.browserAsked) return;
    state.browserAsked = true;
    std::weak_ptr<State> weak = m_state;
    state.opener(*index, [weak, page = *index](const BrowserAnswer& answer) {
        const std::shared_ptr<State> alive = weak.lock();
        if (!alive) return;
        alive->browserAsked = false;
        if (answer.opened) return;
        alive->browserFailed = true;
        alive->browserFailure = answer.failure;
        alive->display.showHelpWindow(page, InOwnWindow(answer.failure));
    });
}

void HelpLauncher::openAddress(const std::string& address)
{
    // Tried each time: a desktop without a program for HTML files may still
    // have one for web addresses.
    std::weak_ptr<State> weak = m_state;
    m_state->opener(address, [weak, address](const BrowserAnswer& answer) {
        const std::shared_ptr<State> alive = weak.lock();
        if (alive && !answer.opened) alive->display.showHelpNote(answer.failure + text::help::kAddressAsText + address);
    });
}

bool IsHelpPage(const QUrl& link)
{
    if (!link.isLocalFile() && !link.isRelative()) return false;
    if (link.path().isEmpty()) return true;  // a place in the page shown
    const QString suffix = QFileInfo(link.path()).suffix().toLower();
    return suffix == QLatin1String("html") || suffix == QLatin1String("htm");
}

}  // namespace tarnwick::ui
