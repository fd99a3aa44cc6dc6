#include "word/libreoffice/WriterWindow.h"

#include <com/sun/star/awt/XTopWindow.hpp>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/uno/RuntimeException.hpp>
#include <com/sun/star/view/XSelectionSupplier.hpp>

#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "platform/SystemError.h"
#include "word/automation/WordErrors.h"
#include "word/libreoffice/LibreOfficeServer.h"
#include "word/libreoffice/LibreOfficeStory.h"
#include "word/libreoffice/OfficePipes.h"
#include "word/libreoffice/WriterHitRange.h"

extern char** environ;

using namespace com::sun::star;
using rtl::OUString;

namespace tarnwick::word {

struct WriterWindow::Connection {
    uno::Reference<frame::XDesktop2> desktop;
    uno::Reference<frame::XModel> shown;
};

namespace {

std::string message(const uno::Exception& e) { return e.Message.toUtf8().getStr(); }

// Started in a session of its own and never waited for by anyone but a
// reaper: it may be the user's LibreOffice from now on. Returns its exit
// status once it has ended (-1 before): 0 when it has handed the request to
// the LibreOffice that runs already.
std::shared_ptr<std::atomic<int>> spawnOffice(const WriterLaunch& launch, const std::string& pipe)
{
    std::vector<std::string> arguments = {launch.soffice, "--accept=pipe,name=" + pipe + ";urp;", "--nologo", "--norestore"};
    arguments.insert(arguments.end(), launch.extraArguments.begin(), launch.extraArguments.end());
    const Expected<pid_t> spawned = SpawnSoffice(std::move(arguments), SpawnGroup::OwnSession);
    if (!spawned) throw ServerError(kErrorOfficeNotStarted, "LibreOffice kann nicht gestartet werden: " + spawned.error().detail);
    const pid_t pid = spawned.value();
    auto ended = std::make_shared<std::atomic<int>>(-1);
    std::thread([pid, ended] {
        int status = 0;
        if (::waitpid(pid, &status, 0) == pid) *ended = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }).detach();
    return ended;
}

uno::Reference<frame::XDesktop2> connect(const WriterLaunch& launch)
{
    if (launch.soffice.empty())
        throw ServerError(kErrorOfficeMissing, "LibreOffice ist nicht installiert (Programm soffice nicht gefunden).");
    // A LibreOffice that ends while the bridge writes to it must fail that
    // call, not end this program.
    std::signal(SIGPIPE, SIG_IGN);
    std::string pipe;
    if (const std::error_code error = NewPipeName("tarnwick-writer-", pipe); error)
        throw ServerError(kErrorOfficeNotStarted, "LibreOffice kann nicht gestartet werden: " + SystemErrorText(error));
    const std::shared_ptr<std::atomic<int>> ended = spawnOffice(launch, pipe);
    const auto deadline = std::chrono::steady_clock::now() + launch.limit;
    try {
        const uno::Reference<bridge::XUnoUrlResolver> resolver = bridge::UnoUrlResolver::create(LocalUnoContext());
        const OUString url = ToOUString("uno:pipe,name=" + pipe + ";urp;StarOffice.ComponentContext");
        // The pipe opens once LibreOffice is ready (or the running one has
        // taken the request over); until then connecting fails.
        for (;;) {
            try {
                const uno::Reference<uno::XComponentContext> remote(resolver->resolve(url), uno::UNO_QUERY_THROW);
                return frame::Desktop::create(remote);
            } catch (const connection::NoConnectException&) {
            }
            if (*ended > 0) throw ServerError(kErrorOfficeNotStarted, "LibreOffice hat sich beim Start beendet.");
            if (std::chrono::steady_clock::now() >= deadline) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    } catch (const uno::Exception& e) {
        throw ServerError(kErrorOfficeNotStarted, "Die Verbindung zu LibreOffice kann nicht hergestellt werden: " + message(e));
    }
    throw ServerError(kErrorOfficeNotStarted, "LibreOffice hat nicht rechtzeitig geantwortet.");
}

uno::Reference<frame::XModel> load(const uno::Reference<frame::XDesktop2>& desktop, const std::string& path)
{
    // Read-only as in the program's own document window: the document is
    // shown, not edited behind the back of a later replace. "_default" finds
    // a window that shows the file already.
    uno::Sequence<beans::PropertyValue> arguments(2);
    arguments.getArray()[0].Name = "Hidden";
    arguments.getArray()[0].Value <<= false;
    arguments.getArray()[1].Name = "ReadOnly";
    arguments.getArray()[1].Value <<= true;
    const uno::Reference<frame::XModel> model(
        desktop->loadComponentFromURL(DocumentUrl(path), OUString("_default"), 0, arguments), uno::UNO_QUERY);
    if (!model.is()) Refuse(kErrorDamaged, "LibreOffice kann die Datei nicht öffnen.");
    return model;
}

}  // namespace

bool WriterCanShowWindows(const std::string& soffice)
{
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if (soffice.empty() || (!(x11 && *x11) && !(wayland && *wayland))) return false;
    std::error_code error;
    const std::filesystem::path program = std::filesystem::canonical(soffice, error).parent_path();
    if (error) return false;
    for (const auto& entry : std::filesystem::directory_iterator(program, error)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("libvclplug_", 0) == 0 && name.rfind("libvclplug_svp", 0) != 0) return true;
    }
    return false;
}

std::chrono::seconds WriterTimeLimit() { return LibreOfficeServer::timeLimit(); }

WriterWindow::WriterWindow(WriterLaunch launch) : m_launch(std::move(launch)) {}

WriterWindow::~WriterWindow() = default;

WriterWindow::Connection& WriterWindow::connection()
{
    if (!m_connection) {
        auto made = std::make_unique<Connection>();
        made->desktop = connect(m_launch);
        m_connection = std::move(made);
    }
    return *m_connection;
}

void WriterWindow::show(const std::string& path, StoryId story, std::optional<std::int64_t> position, std::int64_t length)
{
    uno::Reference<frame::XModel> model;
    try {
        try {
            model = load(connection().desktop, path);
        } catch (const uno::RuntimeException&) {
            // The user has closed LibreOffice since the last document: once more
            // with a new one.
            m_connection.reset();
            model = load(connection().desktop, path);
        }
        m_connection->shown = model;
        const uno::Reference<frame::XController> controller = model->getCurrentController();
        const uno::Reference<text::XTextDocument> document(model, uno::UNO_QUERY);
        if (position && document.is() && controller.is()) {
            if (const uno::Reference<text::XTextCursor> hit = WriterHitRange(document, path, story, *position, length);
                hit.is()) {
                const uno::Reference<view::XSelectionSupplier> selection(controller, uno::UNO_QUERY_THROW);
                selection->select(uno::Any(hit));
            }
        }
        if (controller.is()) {
            const uno::Reference<frame::XFrame> frame = controller->getFrame();
            frame->activate();
            if (const uno::Reference<awt::XTopWindow> top(frame->getContainerWindow(), uno::UNO_QUERY); top.is()) top->toFront();
        }
    } catch (const uno::Exception& e) {
        m_connection.reset();
        throw ServerError(kErrorOfficeRefused, "LibreOffice meldet einen Fehler: " + message(e));
    }
}

std::u16string WriterWindow::selectedText()
{
    if (!m_connection || !m_connection->shown.is()) return {};
    try {
        // The view cursor reads nothing in a table cell; the selection's ranges do.
        const uno::Reference<view::XSelectionSupplier> selection(m_connection->shown->getCurrentController(),
                                                                 uno::UNO_QUERY_THROW);
        const uno::Reference<container::XIndexAccess> ranges(selection->getSelection(), uno::UNO_QUERY);
        if (!ranges.is() || ranges->getCount() == 0) return {};
        const uno::Reference<text::XTextRange> range(ranges->getByIndex(0), uno::UNO_QUERY);
        return range.is() ? ToText(range->getString()) : std::u16string();
    } catch (const uno::Exception& e) {
        throw ServerError(kErrorOfficeRefused, "LibreOffice meldet einen Fehler: " + message(e));
    }
}

void WriterWindow::terminateOffice()
{
    if (!m_connection) return;
    try {
        m_connection->desktop->terminate();
    } catch (const uno::Exception&) {
        // It ends as the call returns.
    }
    m_connection.reset();
}

}  // namespace tarnwick::word
