#include "word/format/DocumentFormat.h"
#include "word/format/FileSniffer.h"
#include "word/package/PackageFormats.h"
#include "word/rtf/RtfDocument.h"

namespace tarnwick::word {

std::unique_ptr<DocumentFormat> OpenDocumentFormat(const std::string& path)
{
    const DocumentKind kind = SniffDocument(path);
    switch (kind) {
    case DocumentKind::Rtf: return RtfDocument::open(path);
    case DocumentKind::WordprocessingPackage: return OpenDocxFormat(path);
    case DocumentKind::OpenDocumentText: return OpenOdtFormat(path);
    default: RefuseDocumentKind(kind);
    }
}

}  // namespace tarnwick::word
