#pragma once
// Everything the search form asks the user: message boxes, the question
// about an empty replacement, the warnings with opt-out, the file-name
// conversion dialog and the directory chooser. The desktop program shows
// dialogs (DialogFormPrompts); tests script the answers.
#include <optional>
#include <string>
#include <string_view>

namespace tarnwick::ui {

// How a warning with opt-out was closed. The check box counts whichever
// button closed it.
struct HinweisAnswer {
    bool ok = false;
    bool dontShowAgain = false;
};

// The choice of "Dateiname wandeln": "alle", or only names in capitals.
enum class RenameChoice { AllNames, OnlyUpperCase };

class FormPrompts {
public:
    virtual ~FormPrompts() = default;
    // A message box with an OK button. Texts are UTF-8.
    virtual void showMessage(std::string_view text) = 0;
    // The same with a title of its own (errors of the document server).
    virtual void showTitledMessage(std::string_view /*title*/, std::string_view text) { showMessage(text); }
    // A question with OK and "Abbrechen"; true for OK.
    virtual bool askOkCancel(std::string_view text) = 0;
    // The warning with the check box "Diese Meldung künftig nicht mehr anzeigen".
    virtual HinweisAnswer showHinweis(std::string_view text) = 0;
    // "Dateiname wandeln": the RenameChoice, or nothing on "Abbrechen".
    virtual std::optional<RenameChoice> askRenameChoice() = 0;
    // The directory chooser opened on `current` (engine bytes); the chosen
    // folder, or nothing on "Abbrechen".
    virtual std::optional<std::string> chooseDirectory(const std::string& current) = 0;
};

}  // namespace tarnwick::ui
