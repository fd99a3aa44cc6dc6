#include "ui/results/CatchUpPacing.h"

#include <algorithm>

namespace tarnwick::ui {

int CatchUpPacing::nextIntervalMs(bool changed, int costMs) const
{
    if (!changed) return kQuietIntervalMs;
    return std::clamp(costMs * kPauseToCostRatio, kBusyIntervalMs, kLongestIntervalMs);
}

}  // namespace tarnwick::ui
