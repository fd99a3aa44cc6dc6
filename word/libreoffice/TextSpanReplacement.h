#pragma once
// Replaces the text a cursor of the LibreOffice server selects inside one
// paragraph, as the built-in formats replace: the new text takes the format
// of the first replaced character (its character attributes and its
// hyperlink), and bookmarks inside the replaced text are kept, at the start
// or the end of the new text.
#include <com/sun/star/text/XTextCursor.hpp>
#include <com/sun/star/text/XTextDocument.hpp>

#include <string>

namespace tarnwick::word {

// `span` selects `old` (the text the story read there) and is left on the
// new text. Throws ServerError (kErrorRefusedSpan) when the span holds
// anything but text and bookmarks (a field, a comment, an anchored object,
// a footnote), which replacing would remove; ServerError (kErrorEditFailed)
// when the new text does not read back where it was put, the text then
// being changed; uno::Exception from the server.
void ReplaceTextSpan(const css::uno::Reference<css::text::XTextDocument>& document,
                     const css::uno::Reference<css::text::XTextCursor>& span, const std::u16string& old,
                     const std::u16string& text);

}  // namespace tarnwick::word
