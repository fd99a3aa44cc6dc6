#include "ui/options/OptionsDialogPrompts.h"

#include "ui/searchform/HinweisDialog.h"

namespace tarnwick::ui {

// The same warning with opt-out as the search form's.
WarningAnswer MessageBoxOptionsPrompts::askWarning(const std::string& message)
{
    HinweisDialog dialog(QString::fromStdString(message), m_parent);
    const bool confirmed = dialog.exec() == QDialog::Accepted;
    // Taken whichever button closed it.
    return WarningAnswer{confirmed, dialog.dontShowAgain()};
}

}  // namespace tarnwick::ui
