// The desktop program against tarnwick-cli on the same search, in one paired
// run: the real program window (offscreen) runs the search from its form,
// and the time until its result list shows everything, the summary included,
// is set beside the time tarnwick-cli takes for the command line the form
// copies ("Als Befehlszeile kopieren"), its output through a pipe. The two
// alternate, so that a machine that gets busier slows both alike.
// A figure, not a test: nothing here fails.
//
//   list-complete [--runs N] [--cli PATH] [--match-case] [--window-only] [--memory TEXT] SEARCH DIR
//
// --window-only leaves tarnwick-cli out, for profiling the program alone.
// --memory TEXT: afterwards, the process's resident memory before a search
// for TEXT (meant to find millions of hits), after it, and after the next
// search (for a text that is nowhere) has cleared the list.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "formjob/CommandLineText.h"
#include "results/ResultList.h"
#include "ui/app/ProgramWindow.h"
#include "ui/frame/MainFrame.h"
#include "ui/results/ResultsModel.h"
#include "ui/results/ResultsPane.h"
#include "ui/results/ResultsTreeView.h"
#include "ui/searchform/SearchFormController.h"
#include "ui/searchform/SearchFormPrompts.h"
#include "ui/searchform/SearchFormWidget.h"

namespace {

using namespace tarnwick;

// No dialog may wait for an answer offscreen: messages go to stderr.
class BenchPrompts final : public ui::FormPrompts {
public:
    void showMessage(std::string_view text) override
    {
        std::fprintf(stderr, "list-complete: the form says: %.*s\n", int(text.size()), text.data());
    }
    bool askOkCancel(std::string_view text) override
    {
        showMessage(text);
        return true;
    }
    ui::HinweisAnswer showHinweis(std::string_view text) override
    {
        showMessage(text);
        return {true, false};
    }
    std::optional<ui::RenameChoice> askRenameChoice() override { return std::nullopt; }
    std::optional<std::string> chooseDirectory(const std::string&) override { return std::nullopt; }
};

struct Options {
    int runs = 5;
    std::string cli;
    bool matchCase = false;
    bool windowOnly = false;  // for profiling the program alone
    std::string memoryText;
    std::string search;
    std::string dir;
};

std::optional<Options> parse(int argc, char** argv)
{
    Options options;
    std::vector<std::string> rest;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--runs" && i + 1 < argc)
            options.runs = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--cli" && i + 1 < argc)
            options.cli = argv[++i];
        else if (arg == "--memory" && i + 1 < argc)
            options.memoryText = argv[++i];
        else if (arg == "--match-case")
            options.matchCase = true;
        else if (arg == "--window-only")
            options.windowOnly = true;
        else
            rest.push_back(arg);
    }
    if (rest.size() != 2) return std::nullopt;
    options.search = rest[0];
    options.dir = rest[1];
    return options;
}

double residentMiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::atof(line.c_str() + 6) / 1024.0;
    return 0;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double cpuSeconds(const rusage& usage)
{
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
        static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double cpuSeconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return cpuSeconds(usage);
}

// Wall and CPU seconds of one run.
struct Timing {
    double wall = 0;
    double cpu = 0;  // every thread (or every process of the command)
    double uiCpu = 0;  // the user interface thread alone
};

// Until `command` (run by bash) has ended.
Timing timeShell(const std::string& command)
{
    QElapsedTimer clock;
    clock.start();
    const pid_t child = fork();
    if (child == 0) {
        execl("/bin/bash", "bash", "-c", command.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    return {static_cast<double>(clock.nsecsElapsed()) / 1e9, cpuSeconds(usage), 0};
}

class Bench {
public:
    explicit Bench(const Options& options) : m_options(options)
    {
        m_config = QDir::tempPath().toStdString() + "/list-complete-" + std::to_string(getpid());
        ui::ProgramSetup setup;
        setup.profilePath = m_config + "/Tarnwick.conf";
        setup.prompts = &m_prompts;
        m_window = std::make_unique<ui::ProgramWindow>(setup);
        m_window->frame().resize(1200, 800);
        m_window->frame().show();
        QCoreApplication::processEvents();
    }
    ~Bench()
    {
        m_window.reset();
        std::system(("rm -rf '" + m_config + "'").c_str());
    }

    // Fills the form as a user would for a search of every file below DIR.
    void fillForm(const std::string& text)
    {
        ui::SearchFormController& form = m_window->controller();
        form.setComboText(ui::FormCombo::SearchText, text);
        form.setComboText(ui::FormCombo::Directory, m_options.dir);
        form.setAllFileTypes(true);
        settings::FormState& fields = form.fields();
        fields.includeSubfolders = 1;
        fields.matchCase = m_options.matchCase ? 1 : 0;
        // Documents through the word processor are another benchmark's subject.
        fields.useWord = 0;
    }

    // The form's own command line, with this build's tarnwick-cli.
    std::string cliCommand() const
    {
        const ui::SearchFormController& form = m_window->controller();
        std::vector<std::string> args =
            session::CommandLineArguments(form.state(), session::CommandLineKind::Search, form.dateFrom(), form.dateTo());
        args.front() = m_options.cli;
        return session::ShellCommandLine(args) + " | cat >/dev/null";
    }

    // From "Suche starten" until the list shows the whole run.
    Timing timeWindow()
    {
        const double cpuBefore = cpuSeconds(RUSAGE_SELF);
        const double uiBefore = cpuSeconds(RUSAGE_THREAD);
        QElapsedTimer clock;
        clock.start();
        qint64 runEnded = -1;
        if (!m_window->controller().runs().startSearchRun()) return {};
        // Looked at when the run ends and whenever the view learns of new
        // items, so that waiting adds no wake-ups of its own to the window's.
        QEventLoop loop;
        const auto check = [&] {
            if (m_window->controller().runs().isBusy()) return;
            if (runEnded < 0) runEnded = clock.nsecsElapsed();
            if (m_window->results().model()->isCaughtUp()) loop.quit();
        };
        ui::ResultsModel* model = m_window->results().model();
        QObject::connect(&m_window->form(), &ui::SearchFormWidget::busyChanged, &loop, check);
        QObject::connect(model, &QAbstractItemModel::rowsInserted, &loop, check);
        QObject::connect(model, &QAbstractItemModel::dataChanged, &loop, check);
        QObject::connect(model, &QAbstractItemModel::modelReset, &loop, check);
        loop.exec();
        // What the user sees: the new rows laid out and painted.
        m_window->results().view()->layoutPendingRows();
        m_window->frame().repaint();
        const qint64 complete = clock.nsecsElapsed();
        m_lags.push_back(static_cast<double>(complete - runEnded) / 1e9);
        return {static_cast<double>(complete) / 1e9, cpuSeconds(RUSAGE_SELF) - cpuBefore, cpuSeconds(RUSAGE_THREAD) - uiBefore};
    }

    // Per timed window run: from the end of the run (its summary added) to the complete list.
    const std::vector<double>& lags() const { return m_lags; }

    const ResultList& list() const { return m_window->resultList(); }

private:
    Options m_options;
    std::string m_config;
    BenchPrompts m_prompts;
    std::unique_ptr<ui::ProgramWindow> m_window;
    std::vector<double> m_lags;
};

}  // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::optional<Options> options = parse(argc, argv);
    if (!options) {
        std::fprintf(stderr,
                     "usage: list-complete [--runs N] [--cli PATH] [--match-case] [--window-only] [--memory TEXT] SEARCH DIR\n");
        return 2;
    }
    if (options->cli.empty()) options->cli = QCoreApplication::applicationDirPath().toStdString() + "/../cli/tarnwick-cli";

    Bench bench(*options);
    bench.fillForm(options->search);
    const std::string cli = bench.cliCommand();
    // One of each first: page cache, the program's first layout, the pool's threads.
    if (!options->windowOnly) timeShell(cli);
    bench.timeWindow();

    std::vector<Timing> cliRuns;
    std::vector<Timing> windowRuns;
    for (int i = 0; i < options->runs; ++i) {
        if (!options->windowOnly) cliRuns.push_back(timeShell(cli));
        windowRuns.push_back(bench.timeWindow());
    }
    std::printf("command                  %s\n", cli.c_str());
    std::printf("items in the list        %zu (%zu rows)\n", bench.list().ItemCount(), bench.list().TopLevelCount());
    std::printf("paired runs              %d (alternating, after one warm-up each)\n", options->runs);
    const auto show = [](const char* name, const std::vector<Timing>& runs) {
        if (runs.empty()) return 0.0;
        std::vector<double> walls;
        std::vector<double> cpus;
        std::vector<double> uis;
        for (const Timing& run : runs) walls.push_back(run.wall), cpus.push_back(run.cpu), uis.push_back(run.uiCpu);
        std::printf("%-24s median %.3f s (", name, median(walls));
        for (double wall : walls) std::printf(" %.3f", wall);
        std::printf(" ), CPU %.3f s", median(cpus));
        if (median(uis) > 0) std::printf(", of it the user interface thread %.3f s", median(uis));
        std::printf("\n");
        return median(walls);
    };
    const double cliMedian = show("tarnwick-cli", cliRuns);
    const double windowMedian = show("window, list complete", windowRuns);
    std::printf("after the run's end      median %.3f s until the list showed it all\n",
                median(std::vector<double>(bench.lags().end() - options->runs, bench.lags().end())));
    if (cliMedian > 0) std::printf("window / tarnwick-cli    %.2f\n", windowMedian / cliMedian);

    if (!options->memoryText.empty()) {
        // Measured around the large list with a (nearly) empty one before and after.
        const std::string nothing = "xq_absent_literal_zz";
        bench.fillForm(nothing);
        bench.timeWindow();
        const double before = residentMiB();
        bench.fillForm(options->memoryText);
        bench.timeWindow();
        const std::size_t bigItems = bench.list().ItemCount();
        const double after = residentMiB();
        bench.fillForm(nothing);
        bench.timeWindow();
        const double cleared = residentMiB();
        std::printf("resident memory          %.0f MiB before a search with %zu items in the list, %.0f MiB after it,\n"
                    "                         %.0f MiB after the next search cleared it (%+.0f MiB against before)\n",
                    before, bigItems, after, cleared, cleared - before);
    }
    return 0;
}
