#include "engine/documents/DocumentContext.h"

namespace tarnwick {
namespace {

// Where a context begins: a line feed or paragraph mark, the "\r\a" a cell
// or row end reads as, a page or section break.
bool startsLine(char16_t c) { return c == u'\n' || c == u'\r' || c == 0x07 || c == u'\f'; }

// Where it ends: a paragraph mark (a cell mark reads as "\r\a") or a page or
// section break. A line feed is part of the line, shown as a blank.
bool endsLine(char16_t c) { return c == u'\r' || c == 0x07 || c == u'\f'; }

bool isHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Appends `text` as it is shown: breaks and tabs as blanks, the document's
// non-breaking hyphen as a hyphen, every other control character left out.
void appendShown(std::u16string_view text, std::u16string& out)
{
    for (const char16_t c : text) {
        if (c >= 0x20) {
            out.push_back(c);
        } else if (c == u'\n' || c == u'\v' || c == u'\t' || c == 0x0E) {
            out.push_back(u' ');
        } else if (c == 0x1E) {
            out.push_back(u'-');
        }
    }
}

}  // namespace

DocumentContext BuildDocumentContext(std::u16string_view before, std::u16string_view hit, std::u16string_view after,
                                     bool beforeBeginsText)
{
    // The pieces were read from character positions, which may fall inside
    // a surrogate pair; half a pair is no character.
    if (!before.empty() && isLowSurrogate(before.front())) before.remove_prefix(1);
    if (!after.empty() && isHighSurrogate(after.back())) after.remove_suffix(1);

    DocumentContext context;
    std::size_t lineStart = before.size();
    while (lineStart > 0 && !startsLine(before[lineStart - 1])) --lineStart;
    if (lineStart == 0 && !beforeBeginsText) context.text = u"...";
    appendShown(before.substr(lineStart), context.text);
    context.hitOffset = context.text.size();
    appendShown(hit, context.text);
    context.hitLength = context.text.size() - context.hitOffset;

    std::size_t lineEnd = 0;
    while (lineEnd < after.size() && !endsLine(after[lineEnd])) ++lineEnd;
    appendShown(after.substr(0, lineEnd), context.text);
    if (lineEnd == after.size()) context.text += u"...";
    return context;
}

}  // namespace tarnwick
