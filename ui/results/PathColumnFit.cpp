#include "ui/results/PathColumnFit.h"

#include <algorithm>

namespace tarnwick::ui {

std::optional<int> PathColumnFit::pathWidth(int viewWidth, int otherColumns) const
{
    if (m_pathSizedByUser) return std::nullopt;
    return std::max(kLeastWidth, viewWidth - otherColumns);
}

void PathColumnFit::columnSizedByUser(int column)
{
    if (column == 0) m_pathSizedByUser = true;
}

}  // namespace tarnwick::ui
