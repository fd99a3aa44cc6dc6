#include "word/format/DocumentKind.h"

#include "word/automation/WordErrors.h"

namespace tarnwick::word {

void RefuseDocumentKind(DocumentKind kind)
{
    switch (kind) {
    case DocumentKind::LegacyBinary:
        Refuse(kErrorEncrypted, "Das alte binäre Dokumentformat (.doc, .dot) wird nicht unterstützt.");
    case DocumentKind::EncryptedPackage:
    case DocumentKind::EncryptedBinary: RefuseEncrypted();
    case DocumentKind::Empty: Refuse(kErrorDamaged, "Die Datei ist leer.");
    default: Refuse(kErrorDamaged, "Das Dateiformat wird nicht unterstützt.");
    }
}

}  // namespace tarnwick::word
