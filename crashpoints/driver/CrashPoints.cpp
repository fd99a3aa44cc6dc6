#include "crashpoints/driver/CrashPoints.h"

#include <algorithm>
#include <fstream>

namespace tarnwick::crashpoints {

const char* MomentName(Moment moment) { return moment == Moment::Before ? "before" : "after"; }

std::vector<std::uint64_t> ChooseCrashPoints(std::uint64_t calls, std::uint64_t samples, Moment moment)
{
    std::vector<std::uint64_t> points;
    if (calls == 0) return points;
    if (samples == 0 || samples >= calls) {
        for (std::uint64_t k = 1; k <= calls; ++k) points.push_back(k);
        return points;
    }
    // Before: 1, `calls` and samples - 2 points evenly between them. After:
    // 1, `calls` and the midpoints between the points of Before.
    const std::uint64_t span = calls - 1;
    const std::uint64_t segments = samples < 2 ? 1 : samples - 1;
    points.push_back(1);
    for (std::uint64_t i = 1; i < segments; ++i)
        if (moment == Moment::Before) points.push_back(1 + span * i / segments);
    if (moment == Moment::After)
        for (std::uint64_t i = 0; i < segments; ++i) points.push_back(1 + span * (2 * i + 1) / (2 * segments));
    points.push_back(calls);
    std::sort(points.begin(), points.end());
    points.erase(std::unique(points.begin(), points.end()), points.end());
    return points;
}

std::vector<LoggedCall> ReadCallLog(const std::string& path)
{
    std::vector<LoggedCall> calls;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        const auto first = line.find('\t');
        const auto second = first == std::string::npos ? first : line.find('\t', first + 1);
        const auto third = second == std::string::npos ? second : line.find('\t', second + 1);
        if (third == std::string::npos) continue;
        LoggedCall call;
        call.index = std::strtoull(line.c_str(), nullptr, 10);
        call.call = line.substr(first + 1, second - first - 1);
        call.arguments = line.substr(second + 1, third - second - 1);
        call.result = line.substr(third + 1);
        if (call.index > 0) calls.push_back(std::move(call));
    }
    std::sort(calls.begin(), calls.end(), [](const LoggedCall& a, const LoggedCall& b) { return a.index < b.index; });
    return calls;
}

std::string WithoutRoot(std::string text, const std::string& root)
{
    const std::string prefix = root + "/";
    for (auto at = text.find(prefix); at != std::string::npos; at = text.find(prefix, at)) text.erase(at, prefix.size());
    return text;
}

std::string ShortCall(const LoggedCall& call, const std::string& root)
{
    return call.call + "(" + WithoutRoot(call.arguments, root) + ")";
}

}  // namespace tarnwick::crashpoints
