#pragma once
// How long the results pane waits before it catches up with the store again.
// Each catch-up that brings new rows costs a layout of every top-level row
// and a repaint of the visible ones, on the thread that also lets the search
// threads' results in; so while a run keeps adding, the list moves in steps
// a few times a second rather than twenty. The first items after a quiet
// spell show at once, and a long list (whose layout costs more) moves in
// bigger steps. The end of a run is caught up at once by the program
// window, not by this pause.
// Not thread-safe; no widgets.
namespace tarnwick::ui {

class CatchUpPacing {
public:
    // While nothing changes: how soon new items show.
    static constexpr int kQuietIntervalMs = 50;
    // While items keep coming.
    static constexpr int kBusyIntervalMs = 200;
    static constexpr int kLongestIntervalMs = 1000;
    // The pause after a catch-up is at least this multiple of what it cost.
    static constexpr int kPauseToCostRatio = 4;

    // The pause after a catch-up that took `costMs` and found the store
    // `changed` or not.
    int nextIntervalMs(bool changed, int costMs) const;
};

}  // namespace tarnwick::ui
