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

// How RunCliWith runs the program.
struct CliOptions {
    // Read stdout up to the end of its `lines`-th line (-1: to the end), then
    // close it as head does, or send `signal` when it is not 0 and read on.
    int lines = -1;
    int signal = 0;
    bool signalTwice = false;  // at once again, as an impatient Ctrl+C Ctrl+C
    // The child's file size limit in bytes (-1: none). Writes beyond it fail
    // with EFBIG, for root as well: a way to make a commit fail.
    long fileSizeLimit = -1;
    // XDG_STATE_HOME of the child, where undo journals go; empty: this
    // process's own (the test support sets one for every test program).
    std::string stateHome;
    // XDG_CONFIG_HOME of the child (the stored settings); empty: inherited.
    std::string configHome;
    // The child's working folder; empty: this process's own.
    std::string workingFolder;
};
CliOutcome RunCliWith(const std::vector<std::string>& arguments, const CliOptions& options);

// The lines of stdout between the header and the summary (which the remark
// on documents searched literally and the line of a stopped run may follow).
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
