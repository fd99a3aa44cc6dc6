#pragma once

namespace tarnwick::ui {

// What closing the main window touches, in the order it happens.
class CloseSteps {
public:
    virtual ~CloseSteps() = default;
    // The search form stops its run and writes its settings.
    virtual void saveFormSettings() = 0;
    virtual void writeGuiStyle() = 0;
    // The viewer asks about unsaved changes; false when the user cancels.
    virtual bool confirmViewerClose() = 0;
    virtual void writePlacement() = 0;
};

// Runs the close request and returns whether the window closes. The form's
// settings and the drawing style are written before the viewer's question, so a
// cancelled close has written them already; the placement is written only when
// the window really closes.
bool RunCloseSequence(CloseSteps& steps);

}  // namespace tarnwick::ui
