// tarnwick-crashtest: kills tarnwick-cli at every file-changing call of a
// few small scenarios (or a spread of them) and checks what a user finds,
// after the crash, after `undo` and after running the command again. Exit
// status 0 without violations, 1 with, 2 when it could not run.
#include <CLI/CLI.hpp>

#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "crashpoints/driver/FindingReport.h"
#include "crashpoints/driver/ScenarioExplorer.h"

using namespace tarnwick::crashpoints;

namespace {

std::string defaultWorkFolder()
{
    const char* tmp = std::getenv("TMPDIR");
    return tmp && *tmp ? tmp : "/tmp";
}

std::string makeWorkFolder(const std::string& parent)
{
    std::string pattern = parent + "/tarnwick-crashtest-XXXXXX";
    if (::mkdtemp(pattern.data())) return pattern;
    // A memory file system that is full or not ours: slower, but it runs.
    const std::string fallback = defaultWorkFolder();
    std::cerr << "tarnwick-crashtest: cannot make a folder in " << parent << ", using " << fallback << "\n";
    pattern = fallback + "/tarnwick-crashtest-XXXXXX";
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot make a folder in " + fallback);
    return pattern;
}

}  // namespace

int main(int argc, char** argv)
{
    CLI::App app{"Crash tarnwick-cli at its file-changing calls and check what remains"};
    ExploreOptions options;
    std::vector<std::string> only;
    std::string parent = defaultWorkFolder();
    int timeoutSeconds = 60;
    bool keep = false;
    app.add_option("--cli", options.cli, "The tarnwick-cli to test")->required()->check(CLI::ExistingFile);
    app.add_option("--shim", options.shim, "The preload library that counts calls and crashes")
        ->required()
        ->check(CLI::ExistingFile);
    app.add_option("--sample", options.samples, "Crash points per scenario and moment, spread evenly (default 0: all)");
    app.add_option("--scenario", only, "Only this scenario (repeatable)");
    app.add_option("--work-dir", parent, "Where the scenario trees are made (default $TMPDIR or /tmp)")
        ->check(CLI::ExistingDirectory);
    app.add_option("--timeout", timeoutSeconds, "Seconds one program run may take (default 60)");
    app.add_flag("--list-calls", options.listCalls, "Print each scenario's counted calls, explore nothing");
    app.add_flag("--keep", keep, "Keep the work folder");
    CLI11_PARSE(app, argc, argv);

    std::vector<Scenario> scenarios;
    for (Scenario& scenario : AllScenarios())
        if (only.empty() || std::find(only.begin(), only.end(), scenario.name) != only.end())
            scenarios.push_back(std::move(scenario));
    if (scenarios.empty()) {
        std::cerr << "no such scenario\n";
        return 2;
    }
    try {
        options.cli = std::filesystem::absolute(options.cli);
        options.shim = std::filesystem::absolute(options.shim);
        options.workFolder = makeWorkFolder(std::filesystem::absolute(parent));
        options.timeout = std::chrono::seconds(timeoutSeconds);
        FindingReport report(std::cout);
        {
            ScenarioExplorer explorer(options, report, std::cout);
            for (const Scenario& scenario : scenarios) explorer.explore(scenario);
        }
        if (!options.listCalls) report.printSummary();
        if (keep)
            std::cout << "work folder kept: " << options.workFolder << "\n";
        else
            std::filesystem::remove_all(options.workFolder);
        return report.violations() > 0 ? 1 : 0;
    } catch (const std::exception& e) {
        std::cerr << "tarnwick-crashtest: " << e.what() << "\n";
        return 2;
    }
}
