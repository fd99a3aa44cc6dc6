#pragma once

namespace tarnwick::ui {

// The last run kind: set when a run starts. The search form keeps it; the
// results need it to tell what a hit's selection covers after a replace.
enum class RunKind : int { Search = 0, Replace = 1, Rename = 2, None = 3 };

}  // namespace tarnwick::ui
