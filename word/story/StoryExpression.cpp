#include "word/story/StoryExpression.h"

#include <boost/regex/icu.hpp>

#include <iterator>

#include "word/automation/WordErrors.h"
#include "word/story/ExpressionFormat.h"

namespace tarnwick::word {

struct StoryExpression::Compiled {
    boost::u32regex regex;
};

namespace {

// The visible text of a story as UTF-16 units, read in place (a splice's
// gap stays where it is) and with optional hyphens passed over, for the
// expression library, which decodes the units to code points itself.
class VisibleUnits {
public:
    using iterator_category = std::bidirectional_iterator_tag;
    using value_type = char16_t;
    using difference_type = std::ptrdiff_t;
    using pointer = const char16_t*;
    using reference = char16_t;

    VisibleUnits() = default;
    // At `index`, or at the first unit at or after it that is no optional
    // hyphen (at most `end`); `lowest` is as far back as it goes.
    VisibleUnits(const StoryText& story, std::int64_t index, std::int64_t lowest, std::int64_t end)
        : m_story(&story), m_index(index), m_lowest(lowest), m_end(end)
    {
        skipForward();
    }

    std::int64_t index() const { return m_index; }
    char16_t operator*() const { return m_story->visibleAt(m_index); }
    VisibleUnits& operator++()
    {
        ++m_index;
        skipForward();
        return *this;
    }
    VisibleUnits operator++(int)
    {
        VisibleUnits before = *this;
        ++*this;
        return before;
    }
    VisibleUnits& operator--()
    {
        do --m_index;
        while (m_index > m_lowest && IsOptionalHyphen(m_story->visibleAt(m_index)));
        return *this;
    }
    VisibleUnits operator--(int)
    {
        VisibleUnits before = *this;
        --*this;
        return before;
    }
    bool operator==(const VisibleUnits& other) const { return m_index == other.m_index; }

private:
    void skipForward()
    {
        while (m_index < m_end && IsOptionalHyphen(m_story->visibleAt(m_index))) ++m_index;
    }

    const StoryText* m_story = nullptr;
    std::int64_t m_index = 0;
    std::int64_t m_lowest = 0;
    std::int64_t m_end = 0;
};

// The story span of the visible units [first, end) of a match: from its
// first character to just behind its last, so that an optional hyphen that
// follows it is not taken along.
StorySpan spanOf(const StoryText& story, const VisibleUnits& first, VisibleUnits end)
{
    // An empty group may lie at the very end of the text.
    const std::int64_t start = first.index() < story.visibleSize() ? story.positionOfVisible(first.index()) : story.size();
    if (end.index() <= first.index()) return {start, start};
    --end;
    return {start, story.positionOfVisible(end.index()) + 1};
}

}  // namespace

StoryExpression::StoryExpression(std::u16string_view pattern, bool matchCase)
    : m_pattern(pattern), m_matchCase(matchCase), m_compiled(std::make_unique<Compiled>())
{
    // The engine's syntax for files (SearchRegexFlags): Perl, icase when case does not matter.
    boost::regex_constants::syntax_option_type flags = boost::regex::perl;
    if (!matchCase) flags |= boost::regex::icase;
    try {
        const auto* units = reinterpret_cast<const UChar*>(m_pattern.data());
        m_compiled->regex = boost::make_u32regex(units, units + m_pattern.size(), flags);
    } catch (const std::exception& e) {
        Refuse(kErrorBadExpression, std::string("Der reguläre Ausdruck ist ungültig: ") + e.what());
    }
}

StoryExpression::~StoryExpression() = default;
StoryExpression::StoryExpression(StoryExpression&&) noexcept = default;
StoryExpression& StoryExpression::operator=(StoryExpression&&) noexcept = default;

std::optional<StoryMatch> FindExpressionInStory(const StoryText& story, const StoryExpression& expression, std::int64_t from,
                                                std::int64_t to, const std::u16string* format)
{
    if (from >= to) return std::nullopt;
    const std::int64_t first = story.visibleIndexAt(from);
    const std::int64_t limit = story.visibleIndexAt(to);
    if (first >= limit) return std::nullopt;
    const VisibleUnits base(story, 0, 0, limit);
    const VisibleUnits begin(story, first, base.index(), limit);
    const VisibleUnits end(story, limit, base.index(), limit);
    if (begin == end) return std::nullopt;
    // An empty match would mark nothing, and one found again behind itself
    // would hold a replace-all in one place.
    auto flags = boost::match_default | boost::match_not_null;
    if (begin.index() > base.index()) flags |= boost::match_prev_avail;
    CodePointMatch<VisibleUnits> found;
    const boost::u32regex& regex = expression.compiled().regex;
    if (!SearchCodePoints(begin, end, found, regex, flags, base)) return std::nullopt;
    StoryMatch match{spanOf(story, found[0].first.base(), found[0].second.base()), {}, {}};
    for (std::size_t group = 1; group < found.size(); ++group) {
        if (found[group].matched)
            match.groups.emplace_back(spanOf(story, found[group].first.base(), found[group].second.base()));
        else
            match.groups.emplace_back();
    }
    if (format != nullptr) AppendExpressionFormat(found, ToFormatCodePoints(*format), regex, match.replacement);
    return match;
}

}  // namespace tarnwick::word
