#pragma once

namespace tarnwick::ui {

// The row of the search form in the main window: shown or hidden, and the
// form's own expanded flag, which decides the row height. Owns no widgets.
class SearchPaneState {
public:
    static constexpr int kCollapsedHeight = 150;
    static constexpr int kExpandedHeight = 400;

    bool isShown() const { return m_shown; }
    bool isExpanded() const { return m_expanded; }

    // The height the form row should have: 0 while hidden, else the row's
    // usual height or, where the form needs more (`formHeight`, its fonts,
    // the line of active filters), that, so that it never has to scroll.
    int rowHeight(int formHeight = 0) const;

    // "Such&optionen": hide a shown form, show a hidden one at the height of its
    // expanded flag.
    void toggleShown();

    // First half of "Er&weitere Suchoptionen". Returns true when the form was
    // hidden: it is shown again and must clear its expanded flag before it
    // toggles, so that it ends up expanded.
    bool beginExpandToggle();

    // The form reports its expanded flag after it has expanded or collapsed.
    void setExpanded(bool expanded) { m_expanded = expanded; }

    // Check marks of the two menu entries.
    bool isShownChecked() const { return m_shown; }
    bool isExpandedChecked() const { return m_shown && m_expanded; }

private:
    bool m_shown = true;
    bool m_expanded = true;
};

}  // namespace tarnwick::ui
