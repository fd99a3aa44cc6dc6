#pragma once
// The tester's output: one line per violation as it is found, notes on their
// own lines, and at the end a table per scenario, the totals and the
// violations grouped by kind, each with its first example.
#include <cstdint>
#include <map>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "crashpoints/driver/CrashPoints.h"
#include "crashpoints/driver/StateCheck.h"

namespace tarnwick::crashpoints {

// One crash point of one scenario, and the call the process died at.
struct PointId {
    std::string scenario;
    std::uint64_t k = 0;
    Moment moment = Moment::Before;
    std::string call;  // "rename(tree/a.txt.k3J9aq.trwtmp8, tree/a.txt)"; empty: the run ended before K
};

struct ScenarioTotals {
    std::string name;
    std::uint64_t fewestCalls = 0, mostCalls = 0;  // the runs without a crash
    std::uint64_t points = 0;  // crash points explored (both moments)
    std::uint64_t noCrash = 0;  // points the run ended before reaching
    std::uint64_t violations = 0;
    std::uint64_t tornInPlace = 0, repaired = 0;
    double seconds = 0;
};

class FindingReport {
public:
    explicit FindingReport(std::ostream& out) : m_out(out) {}

    // A finding at a crash point (`stage` says when it was seen).
    void add(const PointId& point, Stage stage, const Finding& finding);
    // A fault of the scenario itself (its run without a crash).
    void scenarioProblem(const std::string& scenario, const std::string& problem);
    void scenarioDone(const ScenarioTotals& totals);

    std::uint64_t violations() const { return m_violations; }
    void printSummary() const;

private:
    struct Kind {
        std::uint64_t count = 0;
        std::string example;
    };
    std::ostream& m_out;
    std::vector<ScenarioTotals> m_scenarios;
    // By stage, then "keeps the new contents"; the scenario problems come first.
    std::map<std::pair<int, std::string>, Kind> m_kinds;
    std::uint64_t m_violations = 0;
};

}  // namespace tarnwick::crashpoints
