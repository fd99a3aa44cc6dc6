#include "word/open/OpenDocumentFormat.h"
#include "word/open/FileSniffer.h"
#include "word/package/PackageFormats.h"
#include "word/rtf/RtfDocument.h"
#include "word/text/TextFormat.h"

namespace tarnwick::word {

std::unique_ptr<DocumentFormat> OpenDocumentFormat(const std::string& path)
{
    const DocumentKind kind = SniffDocument(path);
    switch (kind) {
    case DocumentKind::Rtf: return RtfDocument::open(path);
    case DocumentKind::WordprocessingPackage: return OpenDocxFormat(path);
    case DocumentKind::OpenDocumentText: return OpenOdtFormat(path);
    // Anything else that is text (a .txt, a text file named .doc) is a
    // document of lines; what is not text is refused as an unknown format.
    case DocumentKind::Unknown:
    case DocumentKind::Empty: return OpenTextFormat(path);
    default: RefuseDocumentKind(kind);
    }
}

}  // namespace tarnwick::word
