#pragma once
// The decisions of the export dialog ("Ergebnisse exportieren") without any
// widget: which fields are enabled, what "Durchsuchen..." and the save dialog
// are asked for, the checks of "OK" and the request the writer gets. The
// desktop binds its controls to this class; tests drive it directly.
// The terminal program's export options go through the same checks.
// A plain value: not thread-safe, owns nothing but its settings.
#include "platform/Expected.h"
#include "results/ExportRequest.h"
#include "settings/ExportSettings.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace tarnwick {

using settings::ExportSettings;

// Every two-character "\t" becomes a tab.
std::string ExpandTabEscapes(std::string_view separator);

struct ExportFieldStates {
    bool separator = false;  // "Trennzeichen:" (CSV only)
    bool templatePath = false;  // "Vorlagendatei" (template only)
    bool browseTemplate = false;  // "Durchsuchen..." (template only)
};

struct FileDialogParameters {
    std::string filterText;  // e.g. "XML Dateien (*.xml)"
    std::string pattern;  // e.g. "*.xml"
    std::string defaultExtension;  // without the dot; empty for none
    std::string directory;  // start directory; empty for the default
    std::string fileName;  // preset name
    bool promptOverwrite = false;  // save: ask before replacing a file
    bool mustExist = false;  // open: the file must exist; save: its directory
    std::size_t maxNameLength = 272;
};

using FileExistsCheck = std::function<bool(const std::string& path)>;
// Whether `path` names an existing file that is not a directory.
bool IsExistingFile(const std::string& path);

class ExportDialogLogic {
public:
    // Takes the stored settings (the type read with ExportTypeFromStored).
    explicit ExportDialogLogic(ExportSettings stored);

    const ExportSettings& settings() const { return m_settings; }
    void setType(ExportType type);
    void setElement(int bit, bool on);
    void setTemplatePath(std::string path) { m_settings.templatePath = std::move(path); }
    void setSeparator(std::string separator) { m_settings.separator = std::move(separator); }

    ExportFieldStates fieldStates() const;

    // "Durchsuchen...": an open dialog starting at the current template.
    FileDialogParameters browseDialog() const;

    // "OK": an InvalidInput failure with the first failing check's message,
    // or success when the dialog may close; then settings() is what to store
    // (the separator as typed).
    Expected<void> accept(const FileExistsCheck& fileExists = IsExistingFile) const;

    // The save dialog for the target file, by export type.
    FileDialogParameters saveDialog() const;

    // What the writer gets for the chosen target.
    ExportRequest makeRequest(std::string targetPath) const;

private:
    ExportSettings m_settings;
};

}  // namespace tarnwick
