#pragma once
// Tells which kind of document a file holds by its first bytes and, for a
// zip package, by the parts it names; the extension plays no part.
#include <string>
#include <string_view>

namespace tarnwick::word {

enum class DocumentKind {
    Rtf,
    WordprocessingPackage,  // .docx family
    OpenDocumentText,  // .odt family
    LegacyBinary,  // compound file: a binary word-processor document
    EncryptedPackage,  // compound file holding an encrypted package
    EncryptedBinary,  // compound file: a binary word-processor document that is encrypted
    Empty,
    Unknown,
};

// The kind of the document at `path`. Throws ServerError (kErrorCannotOpen,
// with the system's text) when the file cannot be opened or read, and
// kErrorDamaged (RefuseDamaged) for a zip package or compound file that is
// cut short or whose directory cannot be read.
DocumentKind SniffDocument(const std::string& path);

// Throws the ServerError that refuses a document of `kind`.
[[noreturn]] void RefuseDocumentKind(DocumentKind kind);

}  // namespace tarnwick::word
