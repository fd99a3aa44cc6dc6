#pragma once
// Runs one scenario through its crash points. A run without a crash (twice,
// since the program syncs on helper threads and the number of calls may
// differ) gives the expected new tree and the number of calls N; then for
// each chosen K and moment, on a fresh tree each time:
//   crash at K, check the tree; run `undo`, check that everything is old;
//   crash at K again, check; run the command again, check that everything
//   is new.
// A K beyond the end of a run counts as "no crash": the run finished.
#include <chrono>
#include <optional>
#include <string>

#include "crashpoints/driver/ChildRun.h"
#include "crashpoints/driver/CrashPoints.h"
#include "crashpoints/driver/ExpectedTree.h"
#include "crashpoints/driver/FindingReport.h"
#include "crashpoints/driver/Scenario.h"

namespace tarnwick::crashpoints {

struct ExploreOptions {
    std::string cli;  // tarnwick-cli
    std::string shim;  // the preload library
    std::string workFolder;  // a fresh folder of ours; scenario folders go below it
    std::uint64_t samples = 0;  // crash points per scenario and moment; 0: all
    std::chrono::milliseconds timeout{60'000};
    bool listCalls = false;  // print the calls of the run without a crash, explore nothing
};

class ScenarioExplorer {
public:
    ScenarioExplorer(const ExploreOptions& options, FindingReport& report, std::ostream& out);

    void explore(const Scenario& scenario);

private:
    struct CrashRun {
        bool crashed = false;  // false: the run ended before call K
        ChildOutcome outcome;
        Snapshot tree;
        PointId point;
    };

    void reset(const Scenario& scenario);
    // Runs the scenario's command: untraced, traced (the shim counts and logs
    // the calls) or, with `crashAt` > 0, crashing at that call.
    static constexpr std::uint64_t kUntraced = ~std::uint64_t(0);
    ChildOutcome runCommand(const Scenario& scenario, std::uint64_t crashAt, Moment moment);
    ChildOutcome runUndo();
    CrashRun crash(const Scenario& scenario, std::uint64_t k, Moment moment);
    bool learn(const Scenario& scenario, ScenarioTotals& totals);
    void explorePoint(const Scenario& scenario, std::uint64_t k, Moment moment, ScenarioTotals& totals);
    // Reports the findings of the check at the crash; torn files wait for the clean-up's verdict.
    void reportCrash(const CrashRun& run, const StateCheck& check, ScenarioTotals& totals);
    void reportCleanUp(const CrashRun& run, const StateCheck& atCrash, const StateCheck& after, Stage stage, const char* cleanUp,
                       ScenarioTotals& totals);
    // Undo exits 0 when it restored something (the crash left changes), 1
    // when there was nothing to restore, and names no file as not restored.
    void reportUndoOutcome(const PointId& point, const ChildOutcome& outcome, bool changed, ScenarioTotals& totals);
    // Run again, the command exits 0 (it finished the job) or 1 (nothing was
    // left to do); which of the two shows in the tree.
    void reportRerunOutcome(const PointId& point, const ChildOutcome& outcome, ScenarioTotals& totals);
    void add(const PointId& point, Stage stage, const Finding& finding, ScenarioTotals& totals);

    ExploreOptions m_options;
    FindingReport& m_report;
    std::ostream& m_out;
    std::string m_root;  // the scenario folder
    std::string m_io;  // captured output and the call log
    Snapshot m_before;  // the tree every run starts from
    std::optional<ExpectedTree> m_expected;
};

}  // namespace tarnwick::crashpoints
