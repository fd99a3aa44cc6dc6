#pragma once
// The error numbers the built-in document component raises as ServerError,
// one per kind of refusal, so that a caller (or a test) can tell them apart
// without parsing the description. The descriptions are short German
// sentences that say what was refused.
#include <string>

#include "word/automation/Automation.h"

namespace tarnwick::word {

enum ServerErrorNumber : int {
    kErrorCannotOpen = 5001,  // the file cannot be read (system text appended)
    kErrorDamaged = 5002,  // not a package of a known kind, or damaged (RefuseDamaged)
    kErrorEncrypted = 5003,  // encrypted document (RefuseEncrypted), or legacy binary container
    kErrorNotWritable = 5004,  // opened read-only, or the file cannot be written
    kErrorSaveFailed = 5005,  // writing the file back failed (system text appended)
    kErrorChangedOnDisk = 5006,  // another program changed the file since it was opened
    kErrorTooLarge = 5007,  // a part or the file is larger than the component reads
    kErrorExpandsTooFar = 5008,  // a part would inflate far beyond its packed size, or all parts beyond the limit
    kErrorRefusedSpan = 5010,  // a replace touches text that must not be edited here
    kErrorRefusedText = 5011,  // the replacement holds a character that cannot be written
    kErrorEditFailed = 5012,  // an edit did not come out as intended: the document takes no more edits and is not saved
    kErrorNoDocument = 5020,  // no document is open
    kErrorNoSuchStory = 5021,  // a story other than the main text was asked for
    kErrorUnsupported = 5022,  // a find option the component does not offer
    kErrorClosed = 5023,  // the document was closed
    kErrorBadExpression = 5024,  // the regular expression does not compile
};

[[noreturn]] inline void Refuse(ServerErrorNumber number, const std::string& description)
{
    throw ServerError(number, description);
}

// A document that cannot be read as it is says why in one text per cause,
// whatever its format: encrypted, or damaged (with what was found wrong).
inline constexpr char kEncryptedDocument[] = "Das Dokument ist verschlüsselt und wird nicht durchsucht.";
inline constexpr char kDamagedDocument[] = "Das Dokument ist beschädigt: ";

[[noreturn]] inline void RefuseEncrypted() { Refuse(kErrorEncrypted, kEncryptedDocument); }
[[noreturn]] inline void RefuseDamaged(const std::string& detail) { Refuse(kErrorDamaged, kDamagedDocument + detail); }

}  // namespace tarnwick::word
