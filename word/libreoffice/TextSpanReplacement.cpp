#include "word/libreoffice/TextSpanReplacement.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/text/XBookmarksSupplier.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/text/XTextContent.hpp>
#include <com/sun/star/text/XTextRangeCompare.hpp>

#include <vector>

#include "word/automation/WordErrors.h"
#include "word/libreoffice/LibreOfficeStory.h"

using namespace com::sun::star;
using rtl::OUString;

namespace tarnwick::word {
namespace {

// A bookmark that lies wholly inside the span: the server removes it with
// the text.
struct InnerBookmark {
    OUString name;
    bool atStart = false;  // it begins where the span begins
    bool whole = false;  // it covers the whole span
};

std::vector<InnerBookmark> innerBookmarks(const uno::Reference<text::XTextCursor>& span, std::size_t spanLength)
{
    // The paragraphs of a cursor yield only the portions inside its selection.
    // The cursor of a drawn shape's text lists none; that text holds no bookmarks.
    const uno::Reference<container::XEnumerationAccess> paragraphs(span, uno::UNO_QUERY);
    if (!paragraphs.is()) return {};
    const uno::Reference<container::XEnumeration> paragraph = paragraphs->createEnumeration();
    const uno::Reference<container::XEnumerationAccess> access(paragraph->nextElement(), uno::UNO_QUERY_THROW);
    const uno::Reference<container::XEnumeration> portions = access->createEnumeration();
    std::vector<InnerBookmark> inner;
    std::vector<std::pair<OUString, std::size_t>> open;  // started inside, at this offset
    std::size_t offset = 0;
    for (uno::Any element; NextElement(portions, element);) {
        const uno::Reference<beans::XPropertySet> properties(element, uno::UNO_QUERY_THROW);
        OUString type;
        properties->getPropertyValue(OUString("TextPortionType")) >>= type;
        if (type == "Text") {
            offset += static_cast<std::size_t>(
                uno::Reference<text::XTextRange>(element, uno::UNO_QUERY_THROW)->getString().getLength());
            continue;
        }
        // Marks of other kinds and the page breaks the server computes hold
        // no text. A comment's anchor in the span is a character the span
        // reads as nothing, which holdsOnlyText refuses; its portion shows
        // up at the start of a span that begins right behind it too.
        if (type == "Redline" || type == "SoftPageBreak" || type == "AnnotationEnd" || type == "ReferenceMark" ||
            type == "Annotation")
            continue;
        if (type != "Bookmark") Refuse(kErrorRefusedSpan, "Der Text enthält ein Feld oder ein Objekt und wird nicht ersetzt.");
        const uno::Reference<container::XNamed> bookmark(properties->getPropertyValue(OUString("Bookmark")), uno::UNO_QUERY);
        if (!bookmark.is()) continue;
        bool collapsed = false;
        bool isStart = false;
        properties->getPropertyValue(OUString("IsCollapsed")) >>= collapsed;
        properties->getPropertyValue(OUString("IsStart")) >>= isStart;
        if (collapsed) {
            inner.push_back({bookmark->getName(), offset == 0, false});
        } else if (isStart) {
            open.emplace_back(bookmark->getName(), offset);
        } else {
            for (const auto& [name, start] : open)
                if (name == bookmark->getName()) inner.push_back({name, start == 0, start == 0 && offset == spanLength});
        }
    }
    return inner;
}

void restoreBookmarks(const uno::Reference<text::XTextDocument>& document, const uno::Reference<text::XTextCursor>& span,
                      const std::vector<InnerBookmark>& inner)
{
    const uno::Reference<text::XBookmarksSupplier> supplier(document, uno::UNO_QUERY_THROW);
    const uno::Reference<container::XNameAccess> bookmarks = supplier->getBookmarks();
    const uno::Reference<lang::XMultiServiceFactory> factory(document, uno::UNO_QUERY_THROW);
    const uno::Reference<text::XText> text = span->getText();
    for (const InnerBookmark& lost : inner) {
        if (bookmarks->hasByName(lost.name)) continue;
        const uno::Reference<text::XTextContent> bookmark(factory->createInstance(OUString("com.sun.star.text.Bookmark")),
                                                          uno::UNO_QUERY_THROW);
        uno::Reference<container::XNamed>(bookmark, uno::UNO_QUERY_THROW)->setName(lost.name);
        const uno::Reference<text::XTextCursor> at = text->createTextCursorByRange(uno::Reference<text::XTextRange>(span.get()));
        if (!lost.whole) at->collapseToEnd();
        if (lost.atStart && !lost.whole) at->collapseToStart();
        text->insertTextContent(uno::Reference<text::XTextRange>(at.get()), bookmark, lost.whole);
    }
}

// Whether the span is as long to a cursor as its text: an anchor (a
// comment's, a frame's) or a field is a character of its own there.
bool holdsOnlyText(const uno::Reference<text::XTextCursor>& span, const std::u16string& old)
{
    const uno::Reference<text::XText> text = span->getText();
    const uno::Reference<text::XTextCursor> measure = text->createTextCursorByRange(span->getStart());
    if (!measure->goRight(CursorSteps(old), true)) return false;
    const uno::Reference<text::XTextRangeCompare> compare(text, uno::UNO_QUERY_THROW);
    return compare->compareRegionEnds(uno::Reference<text::XTextRange>(measure.get()),
                                      uno::Reference<text::XTextRange>(span.get())) == 0;
}

}  // namespace

void ReplaceTextSpan(const uno::Reference<text::XTextDocument>& document, const uno::Reference<text::XTextCursor>& span,
                     const std::u16string& old, const std::u16string& text)
{
    if (!old.empty() && !holdsOnlyText(span, old))
        Refuse(kErrorRefusedSpan, "Der Text enthält ein Feld oder ein Objekt und wird nicht ersetzt.");
    const std::vector<InnerBookmark> inner = old.empty() ? std::vector<InnerBookmark>() : innerBookmarks(span, old.size());
    if (old.empty() || text.empty()) {
        span->setString(ToOUString(text));
    } else {
        // Inserted behind the first old character, the new text takes its
        // attributes and stays inside its hyperlink; then the old text on
        // either side goes. Every step counts from the span's start, which
        // no edit moves: the cursors of a drawn shape's text do not follow
        // edits as the document's do.
        const uno::Reference<text::XText> server = span->getText();
        const auto fromStart = [&](sal_Int32 skip, sal_Int32 select) {
            const uno::Reference<text::XTextCursor> cursor = server->createTextCursorByRange(span->getStart());
            cursor->goRight(skip, false);
            cursor->goRight(select, true);
            return cursor;
        };
        const sal_Int32 newSteps = CursorSteps(text);
        server->insertString(uno::Reference<text::XTextRange>(fromStart(1, 0).get()), ToOUString(text), false);
        fromStart(1 + newSteps, CursorSteps(old) - 1)->setString(OUString());
        fromStart(0, 1)->setString(OUString());
        span->gotoRange(span->getStart(), false);
        span->goRight(newSteps, true);
        if (ToText(span->getString()) != text)
            Refuse(kErrorEditFailed, "Der neue Text steht nach dem Ersetzen nicht an seiner Stelle.");
    }
    if (!inner.empty()) restoreBookmarks(document, span, inner);
}

}  // namespace tarnwick::word
