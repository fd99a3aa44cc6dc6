#include "ui/frame/SearchPaneState.h"

namespace tarnwick::ui {

int SearchPaneState::rowHeight() const
{
    if (!m_shown) return 0;
    return m_expanded ? kExpandedHeight : kCollapsedHeight;
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
