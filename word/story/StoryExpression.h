#pragma once
// Regular expressions over a story's visible text: the syntax and match
// options of the engine's search in files (Perl syntax, case folded by ICU
// when case does not matter), run on characters (UTF-16 decoded to code
// points). Optional hyphens are passed over as they are by the plain find
// (TextFind.h), and a match is never empty: an empty match marks no text a
// user could see or replace. Stateless; the same threading rules as
// FindInStory.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "word/story/StoryText.h"
#include "word/story/TextFind.h"

namespace tarnwick::word {

class StoryExpression {
public:
    // Throws ServerError (kErrorBadExpression) with the library's text when
    // `pattern` does not compile.
    StoryExpression(std::u16string_view pattern, bool matchCase);
    ~StoryExpression();
    StoryExpression(StoryExpression&&) noexcept;
    StoryExpression& operator=(StoryExpression&&) noexcept;

    const std::u16string& pattern() const { return m_pattern; }
    bool matchCase() const { return m_matchCase; }

    struct Compiled;
    const Compiled& compiled() const { return *m_compiled; }

private:
    std::u16string m_pattern;
    bool m_matchCase;
    std::unique_ptr<Compiled> m_compiled;
};

// A match: the story positions it covers and those of each group of the
// expression (nothing for a group that took no part in it), so that a
// replacement can be built from the groups.
struct StoryMatch {
    StorySpan span;
    std::vector<std::optional<StorySpan>> groups;
    std::u16string replacement;  // the format filled in, when one was given
};

// The first match that lies wholly within the story positions [from, to).
// The text before `from` is seen by look-behind and \b; `to` counts as the
// end of the text. As in files, there is no whole-word test: the expression
// says where words end. With `format` (a replacement in Perl's format, see
// ExpressionFormat.h) the match's replacement is that format filled in from
// its groups.
std::optional<StoryMatch> FindExpressionInStory(const StoryText& story, const StoryExpression& expression, std::int64_t from,
                                                std::int64_t to, const std::u16string* format = nullptr);

}  // namespace tarnwick::word
