#pragma once
// Which crash points to explore, and how the shim's call log reads.
#include <cstdint>
#include <string>
#include <vector>

namespace tarnwick::crashpoints {

// Whether the process dies right before or right after the chosen call.
enum class Moment : std::uint8_t { Before, After };
const char* MomentName(Moment moment);

// The points among 1..calls: all of them with `samples` 0, else the first,
// the last and the rest spread evenly, `samples` in all for Moment::Before;
// those of Moment::After lie halfway between them (one more), so the two
// moments together cover twice as many places. Ascending, no repeats.
std::vector<std::uint64_t> ChooseCrashPoints(std::uint64_t calls, std::uint64_t samples, Moment moment);

struct LoggedCall {
    std::uint64_t index = 0;
    std::string call;  // "rename"
    std::string arguments;  // "/x/tree/a.txt.k3J9aq.trwtmp8, /x/tree/a.txt"
    std::string result;  // "0", "-1 ENOENT", "not run: killed before it"
};

// The calls of a log the shim wrote, by index; an absent or empty log gives none.
std::vector<LoggedCall> ReadCallLog(const std::string& path);

// "rename(tree/a.txt.k3J9aq.trwtmp8, tree/a.txt)": `root` and the slash after
// it taken out of the paths.
std::string ShortCall(const LoggedCall& call, const std::string& root);

// `text` with every "root/" taken out.
std::string WithoutRoot(std::string text, const std::string& root);

}  // namespace tarnwick::crashpoints
