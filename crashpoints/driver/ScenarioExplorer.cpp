#include "crashpoints/driver/ScenarioExplorer.h"

#include <signal.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <sstream>
#include <stdexcept>

namespace tarnwick::crashpoints {
namespace {

std::string firstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

// The lines of the program's output that name a file it did not restore.
std::vector<std::string> notRestoredLines(const ChildOutcome& outcome)
{
    std::vector<std::string> lines;
    for (const std::string* text : {&outcome.out, &outcome.err}) {
        std::istringstream in(*text);
        for (std::string line; std::getline(in, line);)
            if (line.find("Nicht wiederhergestellt") != std::string::npos) lines.push_back(line);
    }
    return lines;
}

}  // namespace

ScenarioExplorer::ScenarioExplorer(const ExploreOptions& options, FindingReport& report, std::ostream& out)
    : m_options(options), m_report(report), m_out(out), m_io(options.workFolder + "/io")
{
    std::filesystem::create_directories(m_io);
}

void ScenarioExplorer::reset(const Scenario& scenario)
{
    std::filesystem::remove_all(m_root);
    for (const std::string& folder : ScenarioFolders()) std::filesystem::create_directories(m_root + "/" + folder);
    scenario.build(m_root);
}

ChildOutcome ScenarioExplorer::runCommand(const Scenario& scenario, std::uint64_t crashAt, Moment moment)
{
    ChildRequest request;
    request.program = m_options.cli;
    for (const std::string& argument : scenario.arguments) {
        if (argument == "{tree}")
            request.arguments.push_back(m_root + "/tree");
        else if (argument == "{spill}")
            request.arguments.push_back(m_root + "/spill");
        else
            request.arguments.push_back(argument);
    }
    request.workingFolder = m_root;
    request.timeout = m_options.timeout;
    // The program's settings, journals and temporary files stay in the scenario folder.
    request.environment = {"PATH=/usr/local/bin:/usr/bin:/bin",
                           "LANG=C.UTF-8",
                           "LC_ALL=C.UTF-8",
                           "HOME=" + m_root + "/home",
                           "XDG_STATE_HOME=" + m_root + "/state",
                           "XDG_CONFIG_HOME=" + m_root + "/config",
                           "XDG_CACHE_HOME=" + m_root + "/home/.cache",
                           "XDG_DATA_HOME=" + m_root + "/home/.local/share",
                           "TMPDIR=" + m_root + "/tmp"};
    if (crashAt != kUntraced) {
        const std::string log = m_io + "/calls.log";
        ::unlink(log.c_str());
        request.environment.push_back("LD_PRELOAD=" + m_options.shim);
        request.environment.push_back("TARNWICK_CRASHPOINT_LOG=" + log);
        if (crashAt > 0) {
            request.environment.push_back("TARNWICK_CRASHPOINT_AT=" + std::to_string(crashAt));
            request.environment.push_back(std::string("TARNWICK_CRASHPOINT_WHEN=") + MomentName(moment));
        }
    }
    return RunChild(request, m_io);
}

ChildOutcome ScenarioExplorer::runUndo()
{
    Scenario undo;
    undo.arguments = {"undo"};
    return runCommand(undo, kUntraced, Moment::Before);
}

ScenarioExplorer::CrashRun ScenarioExplorer::crash(const Scenario& scenario, std::uint64_t k, Moment moment)
{
    reset(scenario);
    // The expected contents were learned from one build of the tree.
    if (!SameEntries(TakeSnapshot(m_root, CheckedFolders()), m_before))
        throw std::runtime_error("scenario " + scenario.name + " does not build the same tree every time");
    CrashRun run;
    run.outcome = runCommand(scenario, k, moment);
    run.crashed = run.outcome.signal == SIGKILL && !run.outcome.timedOut;
    run.tree = TakeSnapshot(m_root, CheckedFolders());
    run.point = {scenario.name, k, moment, {}};
    for (const LoggedCall& call : ReadCallLog(m_io + "/calls.log"))
        if (call.index == k) run.point.call = ShortCall(call, m_root);
    return run;
}

bool ScenarioExplorer::learn(const Scenario& scenario, ScenarioTotals& totals)
{
    Snapshot& before = m_before;
    Snapshot after;
    std::vector<LoggedCall> calls;
    for (int attempt = 0; attempt < 2; ++attempt) {
        reset(scenario);
        if (attempt == 0) before = TakeSnapshot(m_root, CheckedFolders());
        const ChildOutcome outcome = runCommand(scenario, 0, Moment::Before);
        if (outcome.exitStatus != 0) {
            m_report.scenarioProblem(
                scenario.name, "the run ended with " + outcome.describe() + ": " + WithoutRoot(firstLine(outcome.err), m_root));
            return false;
        }
        const std::vector<LoggedCall> log = ReadCallLog(m_io + "/calls.log");
        const std::uint64_t count = log.empty() ? 0 : log.back().index;
        if (count == 0) {
            m_report.scenarioProblem(scenario.name, "no call was counted: is " + m_options.shim + " preloaded?");
            return false;
        }
        totals.fewestCalls = attempt == 0 ? count : std::min(totals.fewestCalls, count);
        totals.mostCalls = std::max(totals.mostCalls, count);
        if (attempt == 0) {
            after = TakeSnapshot(m_root, CheckedFolders());
            calls = log;
        }
    }
    std::vector<std::string> problems;
    m_expected.emplace(before, after, scenario, problems);
    if (!m_expected->changesSomething()) problems.push_back("the run changes nothing");
    for (const std::string& problem : problems) m_report.scenarioProblem(scenario.name, problem);
    if (m_options.listCalls) {
        m_out << scenario.name << ": " << calls.size() << " calls\n";
        for (const LoggedCall& call : calls)
            m_out << "  " << call.index << "\t" << ShortCall(call, m_root) << " = " << call.result << "\n";
    }
    return problems.empty();
}

void ScenarioExplorer::explore(const Scenario& scenario)
{
    const auto start = std::chrono::steady_clock::now();
    m_root = m_options.workFolder + "/" + scenario.name;
    ScenarioTotals totals;
    totals.name = scenario.name;
    if (learn(scenario, totals) && !m_options.listCalls) {
        for (const Moment moment : {Moment::Before, Moment::After})
            for (const std::uint64_t k : ChooseCrashPoints(totals.mostCalls, m_options.samples, moment))
                explorePoint(scenario, k, moment, totals);
    }
    std::filesystem::remove_all(m_root);
    totals.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    m_report.scenarioDone(totals);
}

void ScenarioExplorer::explorePoint(const Scenario& scenario, std::uint64_t k, Moment moment, ScenarioTotals& totals)
{
    ++totals.points;
    // Undo after the crash: everything old again.
    const CrashRun first = crash(scenario, k, moment);
    if (!first.crashed) ++totals.noCrash;
    const StateCheck atCrash = CheckState(*m_expected, first.tree, Stage::Crash);
    reportCrash(first, atCrash, totals);
    const ChildOutcome undo = runUndo();
    reportUndoOutcome(first.point, undo, atCrash.changed, totals);
    reportCleanUp(first, atCrash, CheckState(*m_expected, TakeSnapshot(m_root, CheckedFolders()), Stage::Undo), Stage::Undo,
                  "undo", totals);

    // The same command again after the crash: everything new.
    const CrashRun second = crash(scenario, k, moment);
    const StateCheck atSecondCrash = CheckState(*m_expected, second.tree, Stage::Crash);
    std::set<std::string> seen;
    for (const Finding& finding : atCrash.findings) seen.insert(finding.kind + "\n" + finding.detail);
    StateCheck unseen = atSecondCrash;
    std::erase_if(unseen.findings, [&](const Finding& finding) { return seen.count(finding.kind + "\n" + finding.detail) > 0; });
    reportCrash(second, unseen, totals);
    const ChildOutcome rerun = runCommand(scenario, kUntraced, moment);
    reportRerunOutcome(second.point, rerun, totals);
    reportCleanUp(second, atSecondCrash, CheckState(*m_expected, TakeSnapshot(m_root, CheckedFolders()), Stage::Rerun),
                  Stage::Rerun, "the rerun", totals);
}

void ScenarioExplorer::reportCrash(const CrashRun& run, const StateCheck& check, ScenarioTotals& totals)
{
    const ChildOutcome& outcome = run.outcome;
    if (outcome.timedOut || (!run.crashed && !outcome.exited()))
        add(run.point, Stage::Crash, {true, "the run did not end as planned", "the run " + outcome.describe()}, totals);
    else if (!run.crashed && outcome.exitStatus != 0)
        add(run.point, Stage::Crash,
            {true, "the run without a crash failed",
             "the run ended by itself with " + outcome.describe() + ": " + WithoutRoot(firstLine(outcome.err), m_root)},
            totals);
    for (const Finding& finding : check.findings) add(run.point, Stage::Crash, finding, totals);
}

void ScenarioExplorer::reportCleanUp(const CrashRun& run, const StateCheck& atCrash, const StateCheck& after, Stage stage,
                                     const char* cleanUp, ScenarioTotals& totals)
{
    for (const auto& [index, torn] : atCrash.tornInPlace) {
        ++totals.tornInPlace;
        if (after.wrongContents.count(index)) continue;  // a violation of the clean-up says so
        ++totals.repaired;
        add(run.point, Stage::Crash, {false, "torn in place, repaired", torn + "; " + cleanUp + " repaired it"}, totals);
    }
    for (const Finding& finding : after.findings) add(run.point, stage, finding, totals);
}

void ScenarioExplorer::reportUndoOutcome(const PointId& point, const ChildOutcome& outcome, bool changed, ScenarioTotals& totals)
{
    const int expected = changed ? 0 : 1;
    if (outcome.exitStatus != expected) {
        std::string detail = outcome.describe() + ", expected exit status " + std::to_string(expected) +
            (changed ? " (the crash left changes)" : " (nothing was changed yet)");
        if (!outcome.err.empty()) detail += ": " + WithoutRoot(firstLine(outcome.err), m_root);
        const std::string kind =
            outcome.exitStatus == 2 ? "exit status 2" : "exit status " + std::to_string(expected) + " expected";
        add(point, Stage::Undo, {true, kind, detail}, totals);
    }
    for (const std::string& line : notRestoredLines(outcome))
        add(point, Stage::Undo, {true, "names a file not restored", WithoutRoot(line, m_root)}, totals);
}

void ScenarioExplorer::reportRerunOutcome(const PointId& point, const ChildOutcome& outcome, ScenarioTotals& totals)
{
    if (outcome.exited() && outcome.exitStatus <= 1) return;
    std::string detail = "the command run again ended with " + outcome.describe();
    if (!outcome.err.empty()) detail += ": " + WithoutRoot(firstLine(outcome.err), m_root);
    add(point, Stage::Rerun, {true, outcome.exitStatus == 2 ? "exit status 2" : "did not end by itself", detail}, totals);
}

void ScenarioExplorer::add(const PointId& point, Stage stage, const Finding& finding, ScenarioTotals& totals)
{
    if (finding.violation) ++totals.violations;
    m_report.add(point, stage, finding);
}

}  // namespace tarnwick::crashpoints
