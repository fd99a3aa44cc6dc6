#include "engine/job/RunEventLines.h"

#include "engine/Messages.h"
#include "engine/log/RunLog.h"

namespace tarnwick {

bool AppendRunLogLine(std::string& out, const HitEvent& hit)
{
    // A document's replacement is logged as its hit; a file's with the offset in the changed file.
    if (hit.inDocument) out.append(text::kWordPrefix);
    if (hit.kind == HitKind::Replaced && !hit.inDocument)
        logline::Replacement(out, hit.path, hit.position, hit.context);
    else if (!hit.positionText.empty())
        logline::Hit(out, hit.path, hit.positionText, hit.length, hit.context);
    else
        logline::Hit(out, hit.path, hit.position, hit.length, hit.context);
    return true;
}

const char* NameHitRemark(const NameHitEvent& hit)
{
    switch (hit.kind) {
    case NameHitKind::Found: return hit.directory ? text::kFoundInDirName : text::kFoundInFileName;
    case NameHitKind::Renamed: return hit.directory ? text::kFoundInDirNameReplaced : text::kFoundInFileNameReplaced;
    case NameHitKind::Lowercased: return text::kConvertedToLower;
    }
    return "";
}

bool AppendRunLogLine(std::string& out, const NameHitEvent& hit)
{
    if (hit.kind == NameHitKind::Lowercased)
        logline::Message(out, NameHitRemark(hit), hit.path);
    else
        logline::NameHit(out, NameHitRemark(hit), hit.path);
    return true;
}

bool AppendRunLogLine(std::string& out, const RunError& error)
{
    switch (error.kind) {
    case ErrorKind::CannotOpen: logline::CannotOpen(out); return true;
    case ErrorKind::UnreadableDirectory: logline::Message(out, text::kCannotReadDirectory, error.path); return true;
    case ErrorKind::DocumentsUnavailable: logline::Message(out, text::kWordCannotStart, error.path); return true;
    case ErrorKind::Document:
    case ErrorKind::DocumentPart:
    case ErrorKind::InsideDamaged:
    case ErrorKind::InsideEncrypted:
    case ErrorKind::InsideExpandsTooFar: logline::Message(out, error.message, error.path); return true;
    case ErrorKind::RefusedOccurrence: {
        std::string where(error.path);
        where.append("; P: ").append(error.position);
        logline::Message(out, error.message, where);
        return true;
    }
    default: return false;
    }
}

bool AppendRunLogLine(std::string& out, const RunNote& note)
{
    switch (note.kind) {
    case NoteKind::NotChanged: logline::Message(out, text::kFileNotChanged, note.path); return true;
    case NoteKind::NotReplaced:
    case NoteKind::InsideNotReplaced: logline::Message(out, note.detail, note.path); return true;
    case NoteKind::WithoutHits: logline::NameHit(out, {}, note.path); return true;
    case NoteKind::AlreadyChangedAs: return false;
    }
    return false;
}

}  // namespace tarnwick
