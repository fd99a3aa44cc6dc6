#pragma once
// The kinds of document the component tells apart, and the refusal of those
// it cannot open: below the formats, so that a format can refuse a file with
// the same words as the sniffer that chose it.

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

// Throws the ServerError that refuses a document of `kind`.
[[noreturn]] void RefuseDocumentKind(DocumentKind kind);

}  // namespace tarnwick::word
