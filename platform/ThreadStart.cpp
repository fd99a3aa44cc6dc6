#include "platform/ThreadStart.h"

#include <atomic>

namespace tarnwick {
namespace {

std::atomic<ThreadStartHook> g_hook{nullptr};

}  // namespace

void SetThreadStartHook(ThreadStartHook hook) { g_hook.store(hook, std::memory_order_release); }

void RunThreadStartHook()
{
    if (const ThreadStartHook hook = g_hook.load(std::memory_order_acquire)) hook();
}

}  // namespace tarnwick
