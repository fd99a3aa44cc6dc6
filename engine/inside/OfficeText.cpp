#include "engine/inside/OfficeText.h"

#include "engine/inside/InsideError.h"
#include "engine/inside/OdfText.h"
#include "engine/inside/OoxmlText.h"
#include "word/automation/WordErrors.h"
#include "word/package/ZipPackage.h"

namespace tarnwick::inside {
namespace {

InsideErrorKind kindOf(const word::ServerError& error)
{
    switch (error.number()) {
    case word::kErrorCannotOpen: return InsideErrorKind::CannotOpen;
    case word::kErrorEncrypted: return InsideErrorKind::Encrypted;
    case word::kErrorExpandsTooFar:
    case word::kErrorTooLarge: return InsideErrorKind::ExpandsTooFar;
    default: return InsideErrorKind::Damaged;
    }
}

// An OpenDocument package says so in its first entry.
bool isOpenDocument(const word::ZipPackage& package)
{
    const std::optional<std::string> mimetype = package.read("mimetype");
    return mimetype && mimetype->rfind("application/vnd.oasis.opendocument.", 0) == 0;
}

// The package reader belongs to the document component, which throws
// where the word processor's interface does; its refusal becomes a failure here.
template <typename Read>
Expected<std::vector<TextPage>> readPackage(const std::string& path, const Read& read)
{
    try {
        const word::ZipPackage package(path);
        return read(package, isOpenDocument(package));
    } catch (const word::ServerError& error) {
        return InsideFailure(kindOf(error), error.what());
    }
}

}  // namespace

Expected<std::vector<TextPage>> ReadSpreadsheetText(const std::string& path)
{
    return readPackage(path, [](const word::ZipPackage& package, bool openDocument) {
        return openDocument ? ReadOdsSheets(package) : ReadXlsxSheets(package);
    });
}

Expected<std::vector<TextPage>> ReadPresentationText(const std::string& path)
{
    return readPackage(path, [](const word::ZipPackage& package, bool openDocument) {
        return openDocument ? ReadOdpSlides(package) : ReadPptxSlides(package);
    });
}

}  // namespace tarnwick::inside
