#include "ui/frame/SearchPaneState.h"

#include <algorithm>

namespace tarnwick::ui {

int SearchPaneState::rowHeight(int formHeight) const
{
    if (!m_shown) return 0;
    return std::max(m_expanded ? kExpandedHeight : kCollapsedHeight, formHeight);
}

void SearchPaneState::toggleShown() { m_shown = !m_shown; }

bool SearchPaneState::beginExpandToggle()
{
    if (m_shown) return false;
    m_shown = true;
    m_expanded = false;
    return true;
}

}  // namespace tarnwick::ui
