#pragma once
// Runs the built tarnwick-cli as a child process and captures what it wrote.
#include <set>
#include <string>
#include <vector>

namespace tarnwick::test {

struct CliOutcome {
    std::string out;  // stdout, byte for byte
    std::string err;  // stderr, byte for byte
    int status = -1;  // exit status; -1 when the program did not exit normally
};

// Runs tarnwick-cli with `arguments` in the C locale, so that system error
// texts and month names are the ones strerror gives this test process.
CliOutcome RunCli(const std::vector<std::string>& arguments);

// Runs tarnwick-cli as `tarnwick-cli ... | head -n lines` would: reads
// stdout up to the end of its `lines`-th line, then closes it. `status` is -1
// when a signal ended the program.
CliOutcome RunCliClosingAfter(const std::vector<std::string>& arguments, int lines);

// The lines of stdout between the header and the summary.
std::vector<std::string> BodyLines(const std::string& out);

// "P: offset; L: length" of every content hit in stdout ("P: offset" for a
// replacement), in output order.
std::vector<std::string> HitPositions(const std::string& out);

// Paths of every content-hit and name-hit line, relative to `root`.
std::set<std::string> ReportedPaths(const std::string& out, const std::string& root);

// Every file and directory below `root`, relative to it: shows backup copies
// and temporary files that a run left behind.
std::set<std::string> TreeEntries(const std::string& root);

}  // namespace tarnwick::test
