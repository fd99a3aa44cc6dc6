#include "crashpoints/driver/FindingReport.h"

#include <cstdio>

namespace tarnwick::crashpoints {
namespace {

std::string pointText(const PointId& point)
{
    std::string text = point.scenario + " K=" + std::to_string(point.k) + " " + MomentName(point.moment);
    text += point.call.empty() ? " (the run ended before call K)" : " " + point.call;
    return text;
}

}  // namespace

void FindingReport::add(const PointId& point, Stage stage, const Finding& finding)
{
    const std::string where = std::string(StageName(stage)) + ": ";
    if (!finding.violation) {
        m_out << "note      " << pointText(point) << ": " << where << finding.detail << "\n";
        return;
    }
    ++m_violations;
    m_out << "VIOLATION " << pointText(point) << ": " << where << finding.detail << "\n";
    Kind& kind = m_kinds[{static_cast<int>(stage) + 1, where + finding.kind}];
    if (kind.count++ == 0) kind.example = point.scenario + " K=" + std::to_string(point.k) + " " + MomentName(point.moment);
    m_out.flush();
}

void FindingReport::scenarioProblem(const std::string& scenario, const std::string& problem)
{
    ++m_violations;
    m_out << "VIOLATION " << scenario << " (run without a crash): " << problem << "\n";
    Kind& kind = m_kinds[{0, "run without a crash: scenario does not hold"}];
    if (kind.count++ == 0) kind.example = scenario;
    m_out.flush();
}

void FindingReport::scenarioDone(const ScenarioTotals& totals) { m_scenarios.push_back(totals); }

void FindingReport::printSummary() const
{
    char line[256];
    m_out << "\nscenario           calls  points  no-crash  violations  torn-in-place(repaired)  seconds\n";
    std::uint64_t points = 0, torn = 0, repaired = 0;
    for (const ScenarioTotals& s : m_scenarios) {
        const std::string calls = s.fewestCalls == s.mostCalls
            ? std::to_string(s.mostCalls)
            : std::to_string(s.fewestCalls) + "-" + std::to_string(s.mostCalls);
        std::snprintf(line, sizeof line, "%-17s %6s %7llu %9llu %11llu %15llu(%llu) %15.1f\n", s.name.c_str(), calls.c_str(),
                      static_cast<unsigned long long>(s.points), static_cast<unsigned long long>(s.noCrash),
                      static_cast<unsigned long long>(s.violations), static_cast<unsigned long long>(s.tornInPlace),
                      static_cast<unsigned long long>(s.repaired), s.seconds);
        m_out << line;
        points += s.points;
        torn += s.tornInPlace;
        repaired += s.repaired;
    }
    m_out << "\n" << points << " crash points explored, " << m_violations << " violations found";
    if (torn > 0) m_out << ", " << torn << " hard-linked files torn in place at a crash (" << repaired << " repaired)";
    m_out << "\n";
    if (m_kinds.empty()) return;
    m_out << "\nviolations by kind:\n";
    for (const auto& [key, kind] : m_kinds) {
        std::snprintf(line, sizeof line, "%6llu  %-55s first: %s\n", static_cast<unsigned long long>(kind.count),
                      key.second.c_str(), kind.example.c_str());
        m_out << line;
    }
}

}  // namespace tarnwick::crashpoints
