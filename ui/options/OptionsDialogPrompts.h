#pragma once
// The desktop's answer to the options dialog's warning: a message box with
// the warning text, the check box "Diese Meldung künftig nicht mehr
// anzeigen" and the buttons OK and "Abbrechen".
#include "ui/options/OptionsDialogLogic.h"

class QWidget;

namespace tarnwick::ui {

class MessageBoxOptionsPrompts : public OptionsPrompts {
public:
    explicit MessageBoxOptionsPrompts(QWidget* parent) : m_parent(parent) {}
    WarningAnswer askWarning(const std::string& text) override;

private:
    QWidget* m_parent;
};

}  // namespace tarnwick::ui
