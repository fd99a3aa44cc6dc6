#include "word/libreoffice/DocumentApplication.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string_view>

#include "word/automation/WordErrors.h"
#include "word/builtin/FileApplication.h"
#include "word/libreoffice/LibreOfficeFormat.h"
#include "word/libreoffice/LibreOfficeServer.h"
#include "word/open/FileSniffer.h"
#include "word/open/OpenDocumentFormat.h"

namespace tarnwick::word {
namespace {

class DocumentApplication final : public FileApplication {
public:
    DocumentApplication() : FileApplication(&OpenRoutedDocumentFormat) {}

    void Quit(bool saveChanges) override
    {
        FileApplication::Quit(saveChanges);
        LibreOfficeServer::stopShared();
    }
};

bool hasBuiltInExtension(const std::string& path)
{
    static constexpr std::string_view kExtensions[] = {"docx", "docm", "dotx", "dotm", "odt", "ott", "rtf"};
    std::string extension = std::filesystem::path(path).extension().string();
    if (extension.empty()) return false;
    extension.erase(0, 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return std::find(std::begin(kExtensions), std::end(kExtensions), extension) != std::end(kExtensions);
}

}  // namespace

std::unique_ptr<DocumentFormat> OpenRoutedDocumentFormat(const std::string& path)
{
    const DocumentKind kind = SniffDocument(path);
    if (kind == DocumentKind::LegacyBinary) return OpenLibreOfficeFormat(path);
    if (kind != DocumentKind::Unknown) return OpenDocumentFormat(path);
    try {
        return OpenDocumentFormat(path);
    } catch (const ServerError& e) {
        // Only a format the component does not know goes on to LibreOffice;
        // a file it cannot read, or a damaged file named as one of its own
        // formats, is reported as it is rather than repaired on the quiet.
        if (e.number() != kErrorDamaged || hasBuiltInExtension(path)) throw;
    }
    return OpenLibreOfficeFormat(path);
}

std::unique_ptr<Application> CreateDocumentApplication() { return std::make_unique<DocumentApplication>(); }

}  // namespace tarnwick::word
