#include "formjob/ExportDialogLogic.h"

#include <sys/stat.h>

namespace tarnwick {
namespace {

constexpr const char* kInvalidTemplate =
    "Die gewählte Vorlage ist ungültig. Bitte wählen Sie eine andere oder eine andere Exportoption.";
constexpr const char* kMissingSeparator =
    "Bitte geben Sie ein Listentrennzeichen ein. Diese Zeichen(folge) dient zur Separierung der einzelnen Spalten. "
    "(z.B. Strichpunkt, Tabulator (als \\t eingeben) etc..)";
constexpr const char* kNoElement = "Mindestens ein Exporttyp muss gewählt werden.";

// The last component of a path.
std::string_view fileNameOf(std::string_view path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string ExpandTabEscapes(std::string_view separator)
{
    std::string out;
    out.reserve(separator.size());
    for (std::size_t i = 0; i < separator.size(); ++i) {
        if (separator[i] == '\\' && i + 1 < separator.size() && separator[i + 1] == 't') {
            out.push_back('\t');
            ++i;
        } else {
            out.push_back(separator[i]);
        }
    }
    return out;
}

bool IsExistingFile(const std::string& path)
{
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

ExportDialogLogic::ExportDialogLogic(ExportSettings stored) : m_settings(std::move(stored)) {}

void ExportDialogLogic::setType(ExportType type) { m_settings.type = type; }

void ExportDialogLogic::setElement(int bit, bool on)
{
    if (on)
        m_settings.elements |= bit;
    else
        m_settings.elements &= ~bit;
}

ExportFieldStates ExportDialogLogic::fieldStates() const
{
    const bool csv = m_settings.type == ExportType::Csv;
    const bool byTemplate = m_settings.type == ExportType::Template;
    return {csv, byTemplate, byTemplate};
}

FileDialogParameters ExportDialogLogic::browseDialog() const
{
    FileDialogParameters dialog;
    dialog.filterText = "Alle Dateien (*.*)";
    dialog.pattern = "*.*";
    dialog.mustExist = true;
    const std::string& path = m_settings.templatePath;
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        dialog.fileName = path;
    } else {
        // A template right under the root starts in "/", not in "".
        dialog.directory = slash == 0 ? std::string("/") : path.substr(0, slash);
        dialog.fileName = path.substr(slash + 1);
    }
    return dialog;
}

Expected<void> ExportDialogLogic::accept(const FileExistsCheck& fileExists) const
{
    if (m_settings.type == ExportType::Template && !fileExists(m_settings.templatePath)) return invalidInput(kInvalidTemplate);
    if (m_settings.type == ExportType::Csv && m_settings.separator.empty()) return invalidInput(kMissingSeparator);
    if ((m_settings.elements & ExportElement::All) == 0) return invalidInput(kNoElement);
    return succeeded();
}

FileDialogParameters ExportDialogLogic::saveDialog() const
{
    FileDialogParameters dialog;
    dialog.promptOverwrite = true;
    dialog.mustExist = true;
    switch (m_settings.type) {
    case ExportType::Xml:
        dialog.filterText = "XML Dateien (*.xml)";
        dialog.pattern = "*.xml";
        dialog.defaultExtension = "xml";
        break;
    case ExportType::Csv:
        dialog.filterText = "csv Dateien (*.csv)";
        dialog.pattern = "*.csv";
        dialog.defaultExtension = "csv";
        break;
    case ExportType::Template: {
        dialog.filterText = "Alle Dateien (*.*)";
        dialog.pattern = "*.*";
        // The output gets the template's extension; a dot in a directory
        // name is no extension.
        const std::string_view name = fileNameOf(m_settings.templatePath);
        const std::size_t dot = name.rfind('.');
        if (dot != std::string_view::npos) dialog.defaultExtension = std::string(name.substr(dot + 1));
        break;
    }
    }
    return dialog;
}

ExportRequest ExportDialogLogic::makeRequest(std::string targetPath) const
{
    ExportRequest request;
    request.targetPath = std::move(targetPath);
    request.type = m_settings.type;
    request.templatePath = m_settings.templatePath;
    request.separator = ExpandTabEscapes(m_settings.separator);
    request.filter.hits = m_settings.elements & ExportElement::Hits;
    request.filter.errors = m_settings.elements & ExportElement::Errors;
    request.filter.fileNames = m_settings.elements & ExportElement::FileNames;
    request.filter.dirNames = m_settings.elements & ExportElement::DirNames;
    return request;
}

}  // namespace tarnwick
