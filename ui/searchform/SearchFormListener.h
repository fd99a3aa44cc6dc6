#pragma once
// What the search form's decisions tell the widgets around them. Every
// call comes on the user interface thread; the defaults do nothing.
#include <string>

namespace tarnwick::ui {

class FormListener {
public:
    virtual ~FormListener() = default;
    // Fields, histories or enabled states changed other than by the
    // control that is being edited: the controls are to show them again.
    virtual void formChanged() {}
    // The busy flag: a run is active (from its start until its completion
    // message or "Stopp").
    virtual void busyChanged(bool /*busy*/) {}
    virtual void expandedChanged(bool /*expanded*/) {}
    // The first pane of the status bar (engine bytes).
    virtual void statusTextChanged(const std::string& /*text*/) {}
    virtual void lastRunWasSearchChanged(bool /*value*/) {}
    // A replace in the marked results has ended (or was aborted): the
    // result list may be used again.
    virtual void selectedReplaceEnded() {}
    // Files are about to change: the viewer must reload its document
    // before it shows it again.
    virtual void filesAboutToChange() {}
    // A run starts: a document the viewer holds open in the word processor
    // is closed without saving.
    virtual void releaseViewerDocuments() {}
};

}  // namespace tarnwick::ui
