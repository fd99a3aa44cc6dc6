#pragma once
// What every long-lived thread of the program does before its own work. The
// desktop program's crash handler puts a signal stack of the thread's own
// here, so that a stack overflow on that thread is still reported; without a
// hook nothing happens. Set at start-up, before such threads start.

namespace tarnwick {

using ThreadStartHook = void (*)();

void SetThreadStartHook(ThreadStartHook hook);

// Called first on each such thread.
void RunThreadStartHook();

}  // namespace tarnwick
