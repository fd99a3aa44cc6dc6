#pragma once
// `tarnwick-cli undo [--list] [RUN]`: lists the journals of runs that
// changed files, or puts back what one of them changed.
#include <atomic>
#include <string>

namespace tarnwick {

// Lists (with `list`) or restores the run `run` (empty: the newest) from
// the journals under `root`. Restored entries and the summary go to `outFd`,
// entries left alone to `errFd`. Returns 0 when all was restored (or listed),
// 1 when there was nothing to do, 2 when something was left alone or failed,
// kUndoStoppedStatus when `stop` ended it early.
int RunUndoCommand(const std::string& root, bool list, const std::string& run, int outFd, int errFd,
                   const std::atomic<bool>* stop = nullptr);

inline constexpr int kUndoStoppedStatus = 130;

}  // namespace tarnwick
