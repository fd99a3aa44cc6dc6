#pragma once
// Runs a program to its end (or its kill) with exactly the environment
// given, stdin from /dev/null, stdout and stderr captured through files in a
// folder of the caller's, and no other descriptor open.
#include <chrono>
#include <string>
#include <vector>

namespace tarnwick::crashpoints {

struct ChildRequest {
    std::string program;
    std::vector<std::string> arguments;  // without the program name
    std::vector<std::string> environment;  // NAME=value
    std::string workingFolder;
    std::chrono::milliseconds timeout{60'000};
};

struct ChildOutcome {
    int exitStatus = -1;  // -1: it did not exit by itself
    int signal = 0;  // the signal that ended it
    bool timedOut = false;  // killed by us after the time limit
    std::string out;
    std::string err;

    bool exited() const { return exitStatus >= 0; }
    // "exit status 2", "killed by signal 9", "timed out".
    std::string describe() const;
};

// `ioFolder` receives the captured output files. Throws when the program
// cannot be started.
ChildOutcome RunChild(const ChildRequest& request, const std::string& ioFolder);

}  // namespace tarnwick::crashpoints
