#include "ui/viewer/ViewerFind.h"

#include "engine/job/RunReplacement.h"
#include "engine/job/SearchJob.h"
#include "engine/match/DocumentText.h"
#include "engine/match/PreserveCase.h"
#include "platform/CodePage.h"
#include "word/story/ExpressionFormat.h"

#include <QStringView>
#include <algorithm>
#include <boost/regex/icu.hpp>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace tarnwick::ui {

namespace {

using U16 = const UChar*;
using U32It = boost::u16_to_u32_iterator<U16, UChar32>;

U16 Units(const QString& text) { return reinterpret_cast<U16>(text.constData()); }

// A plain copy: QString::fromUtf16 would take a leading U+FEFF for a byte-order mark.
QString FromUnits(const std::u16string& units)
{
    return QString(reinterpret_cast<const QChar*>(units.data()), static_cast<qsizetype>(units.size()));
}

// Only a to z are folded when the first (or last) character is looked for.
char16_t FoldAz(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c; }

bool IsWholeWord(const QChar* s, qsizetype n, qsizetype at, qsizetype length)
{
    if (at > 0 && IsViewerWordChar(s[at - 1].unicode())) return false;
    if (at + length < n && IsViewerWordChar(s[at + length].unicode())) return false;
    return true;
}

bool IsAsciiLetter(char16_t c) { return (c | 0x20) >= u'a' && (c | 0x20) <= u'z'; }

bool CandidateMatches(const QChar* s, qsizetype n, qsizetype at, const QString& find, bool matchCase, bool wholeWord)
{
    // Most candidates differ early in plain ASCII: reject those without the
    // full Unicode comparison.
    for (qsizetype k = 0; k < find.size(); ++k) {
        const char16_t a = s[at + k].unicode();
        const char16_t b = find[k].unicode();
        if (a == b) continue;
        if (a >= 0x80 || b >= 0x80) break;
        if (matchCase || !IsAsciiLetter(a) || (a | 0x20) != (b | 0x20)) return false;
    }
    const QStringView candidate(s + at, find.size());
    if (candidate.compare(find, matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive) != 0) return false;
    return !wholeWord || IsWholeWord(s, n, at, find.size());
}

using Match = boost::match_results<U32It>;

std::u16string_view UnitsOf(const QString& text, qsizetype from, qsizetype to)
{
    return {reinterpret_cast<const char16_t*>(text.constData()) + from, static_cast<std::size_t>(to - from)};
}
std::u16string_view UnitsOf(const QString& text) { return UnitsOf(text, 0, text.size()); }

// `text` in the case of `hit` when that is asked for ("Schreibweise der Treffer übernehmen").
std::u16string InHitCase(bool preserveCase, std::u16string_view hit, std::u16string text)
{
    if (!preserveCase) return text;
    std::u16string cased;
    AppendCasePreserved(hit, text, cased);
    return cased;
}

// `match` filled into the replacement: the run's format (`runPoints`) by
// Perl's rules, else `replaceText` by the library's default rules. Nothing
// when the library gives up.
std::optional<std::u16string> FormatMatch(const Match& match, const boost::u32regex& expression,
                                          const word::FormatCodePoints* runPoints, const QString& replaceText)
{
    std::u16string out;
    if (runPoints != nullptr) {
        word::AppendExpressionFormat(match, *runPoints, expression, out);
        return out;
    }
    std::vector<UChar32> format;
    const U16 first = Units(replaceText);
    const U16 last = first + replaceText.size();
    for (auto it = U32It(first, first, last), stop = U32It(last, first, last); it != stop; ++it)
        format.push_back(static_cast<UChar32>(*it));
    try {
        match.format(boost::utf16_output_iterator<std::back_insert_iterator<std::u16string>>(std::back_inserter(out)), format,
                     boost::format_default, expression);
    } catch (const std::exception&) {
        return std::nullopt;
    }
    return out;
}

}  // namespace

bool IsViewerWordChar(char16_t c)
{
    if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9')) return true;
    switch (c) {
    case 0xE7:
    case 0xFC:
    case 0xE8:
    case 0xF6:
    case 0xE9:
    case 0xE4:
    case 0xE0: return true;
    default: return false;
    }
}

qsizetype FindPlainDown(const QString& text, const QString& find, qsizetype from, bool matchCase, bool wholeWord)
{
    const qsizetype n = text.size();
    const qsizetype length = find.size();
    if (length == 0 || from < 0 || n - length < from) return -1;
    const QChar* s = text.constData();
    const char16_t first = matchCase ? find[0].unicode() : FoldAz(find[0].unicode());
    // Without case folding both forms of the first letter are looked for.
    const char16_t other = !matchCase && first >= u'A' && first <= u'Z' ? static_cast<char16_t>(first + 32) : first;
    const qsizetype last = n - length;
    // Qt's vectorised single-character search finds the candidates; with two
    // forms of the first letter the nearer of both is taken.
    const QStringView view(s, last + 1);
    qsizetype nextFirst = view.indexOf(QChar(first), from);
    qsizetype nextOther = other == first ? -1 : view.indexOf(QChar(other), from);
    while (nextFirst >= 0 || nextOther >= 0) {
        const bool takeFirst = nextOther < 0 || (nextFirst >= 0 && nextFirst < nextOther);
        const qsizetype i = takeFirst ? nextFirst : nextOther;
        if (CandidateMatches(s, n, i, find, matchCase, wholeWord)) return i;
        if (takeFirst)
            nextFirst = view.indexOf(QChar(first), i + 1);
        else
            nextOther = view.indexOf(QChar(other), i + 1);
    }
    return -1;
}

qsizetype FindPlainUp(const QString& text, const QString& find, qsizetype before, bool matchCase, bool wholeWord)
{
    const qsizetype n = text.size();
    const qsizetype length = find.size();
    before = std::min(before, n);
    if (length == 0 || before < length) return -1;
    const QChar* s = text.constData();
    const char16_t lastChar = matchCase ? find[length - 1].unicode() : FoldAz(find[length - 1].unicode());
    const char16_t other = !matchCase && lastChar >= u'A' && lastChar <= u'Z' ? static_cast<char16_t>(lastChar + 32) : lastChar;
    // i is the candidate's last character.
    for (qsizetype i = before - 1; i >= length - 1; --i) {
        const char16_t c = s[i].unicode();
        if (c != lastChar && c != other) continue;
        if (CandidateMatches(s, n, i - length + 1, find, matchCase, wholeWord)) return i - length + 1;
    }
    return -1;
}

struct ViewerFinder::Regex {
    QString pattern;
    bool matchCase = false;
    boost::u32regex expression;
    // The last match, in the text it was found in (kept alive by `matchText`).
    QString matchText;
    boost::match_results<U32It> match;
    bool hasMatch = false;
};

struct ViewerFinder::RunFormat {
    QString findText;
    QString replaceText;
    bool matchCase = false;
    bool specialCharacters = false;
    QString error;  // the run's message when it refuses the replacement
    std::u16string units;  // the format, when not refused
    word::FormatCodePoints points;
};

ViewerFinder::ViewerFinder() = default;
ViewerFinder::~ViewerFinder() = default;

void ViewerFinder::setOptions(const ViewerFindOptions& options) { m_options = options; }

bool ViewerFinder::compile(QString* error)
{
    if (m_regex && m_regex->pattern == m_options.findText && m_regex->matchCase == m_options.matchCase) return true;
    auto regex = std::make_unique<Regex>();
    regex->pattern = m_options.findText;
    regex->matchCase = m_options.matchCase;
    try {
        const auto flags = static_cast<boost::regex_constants::syntax_option_type>(
            boost::regex_constants::perl | (m_options.matchCase ? 0 : boost::regex_constants::icase));
        const U16 p = Units(m_options.findText);
        regex->expression = boost::make_u32regex(p, p + m_options.findText.size(), flags);
    } catch (const std::exception& e) {
        if (error != nullptr) *error = QString::fromLocal8Bit(e.what());
        m_regex.reset();
        return false;
    }
    m_regex = std::move(regex);
    return true;
}

std::optional<QString> ViewerFinder::expressionError()
{
    QString error;
    if (!compile(&error)) return error;
    if (usesRunFormat() && !runFormat().error.isEmpty()) return runFormat().error;
    return std::nullopt;
}

const ViewerFinder::RunFormat& ViewerFinder::runFormat()
{
    const auto& o = m_options;
    if (m_runFormat && m_runFormat->findText == o.findText && m_runFormat->replaceText == o.replaceText &&
        m_runFormat->matchCase == o.matchCase && m_runFormat->specialCharacters == o.specialCharacters)
        return *m_runFormat;
    auto format = std::make_unique<RunFormat>();
    format->findText = o.findText;
    format->replaceText = o.replaceText;
    format->matchCase = o.matchCase;
    format->specialCharacters = o.specialCharacters;
    // The run's texts are in the code page.
    const CodePage& codePage = CodePage::system();
    SearchJob job;
    job.regularExpression = true;
    job.matchCase = o.matchCase;
    job.replacementCaptures = true;
    job.specialCharacters = o.specialCharacters;
    const Expected<std::string> prepared = PrepareRunReplacement(codePage.utf8ToAnsi(o.replaceText.toStdString()),
                                                                 codePage.utf8ToAnsi(o.findText.toStdString()), job);
    if (prepared) {
        format->units = ToDocumentText(prepared.value(), codePage);
        format->points = word::ToFormatCodePoints(format->units);
    } else {
        format->error = QString::fromStdString(prepared.error().detail);
    }
    m_runFormat = std::move(format);
    return *m_runFormat;
}

FindResult ViewerFinder::find(const QString& text, qsizetype selStart, qsizetype selEnd)
{
    if (m_options.findText.isEmpty()) return {FindStatus::NoFindText, 0, 0, {}};
    const qsizetype n = text.size();
    selStart = std::clamp<qsizetype>(selStart, 0, n);
    selEnd = std::clamp<qsizetype>(selEnd, selStart, n);
    if (!m_options.regularExpression) return findPlain(text, selStart, selEnd);

    FindResult result;
    if (!compile(&result.message)) {
        result.status = FindStatus::BadExpression;
        return result;
    }
    m_regex->hasMatch = false;
    // An empty match right at an empty selection is where the last find ended.
    result = findRegex(text, selEnd, false);
    if (result.status == FindStatus::Found && selStart == selEnd && result.start == selEnd && result.end == selEnd) {
        result = findRegex(text, selEnd, true);
    }
    if (result.status == FindStatus::NotFound) result = findRegex(text, 0, false);
    return result;
}

// `skipEmptyAtStart`: an empty match at `from` does not count.
FindResult ViewerFinder::findRegex(const QString& text, qsizetype from, bool skipEmptyAtStart)
{
    Regex& regex = *m_regex;
    regex.matchText = text;
    const U16 begin = Units(regex.matchText);
    const U16 end = begin + regex.matchText.size();
    // Never start between the two halves of a surrogate pair.
    // Read through `text`: a non-const access to the shared copy would detach
    // it, and the match would no longer belong to the text it is asked about.
    if (from > 0 && from < text.size() && text.at(from).isLowSurrogate() && text.at(from - 1).isHighSurrogate()) ++from;
    boost::match_flag_type flags = boost::match_default;
    // The character before the start decides whether it is a line or word start.
    if (from > 0) flags |= boost::match_prev_avail;
    if (skipEmptyAtStart) flags |= boost::regex_constants::match_not_initial_null;
    FindResult result;
    try {
        if (boost::regex_search(U32It(begin + from, begin, end), U32It(end, begin, end), regex.match, regex.expression, flags,
                                U32It(begin, begin, end))) {
            result.status = FindStatus::Found;
            result.start = regex.match[0].first.base() - begin;
            result.end = regex.match[0].second.base() - begin;
            regex.hasMatch = true;
        }
    } catch (const std::exception& e) {
        // The library gives up on expressions that would take too long.
        result.status = FindStatus::BadExpression;
        result.message = QString::fromLocal8Bit(e.what());
    }
    return result;
}

FindResult ViewerFinder::findPlain(const QString& text, qsizetype selStart, qsizetype selEnd) const
{
    const auto& o = m_options;
    qsizetype at = o.down ? FindPlainDown(text, o.findText, selEnd, o.matchCase, o.wholeWord)
                          : FindPlainUp(text, o.findText, selStart, o.matchCase, o.wholeWord);
    if (at < 0) {
        at = o.down ? FindPlainDown(text, o.findText, 0, o.matchCase, o.wholeWord)
                    : FindPlainUp(text, o.findText, text.size(), o.matchCase, o.wholeWord);
    }
    if (at < 0) return {FindStatus::NotFound, 0, 0, {}};
    return {FindStatus::Found, at, at + o.findText.size(), {}};
}

std::optional<QString> ViewerFinder::replacement(const QString& text, qsizetype selStart, qsizetype selEnd)
{
    const bool preserveCase = m_options.preserveCase;
    if (!m_options.regularExpression) {
        if (selStart >= selEnd) return std::nullopt;
        if (!preserveCase) return m_options.replaceText;
        return FromUnits(InHitCase(true, UnitsOf(text, selStart, selEnd), std::u16string(UnitsOf(m_options.replaceText))));
    }
    if (!m_regex || !m_regex->hasMatch || m_regex->pattern != m_options.findText) return std::nullopt;
    Regex& regex = *m_regex;
    // The match belongs to the text it was found in; an edit since then voids it.
    if (regex.matchText.constData() != text.constData() || regex.matchText.size() != text.size()) return std::nullopt;
    const U16 begin = Units(regex.matchText);
    if (regex.match[0].first.base() - begin != selStart || regex.match[0].second.base() - begin != selEnd) return std::nullopt;
    const word::FormatCodePoints* runPoints = nullptr;
    if (usesRunFormat()) {
        const RunFormat& format = runFormat();
        if (!format.error.isEmpty()) return std::nullopt;
        runPoints = &format.points;
    }
    std::optional<std::u16string> out = FormatMatch(regex.match, regex.expression, runPoints, m_options.replaceText);
    if (!out) return std::nullopt;
    return FromUnits(InHitCase(preserveCase, UnitsOf(text, selStart, selEnd), std::move(*out)));
}

std::optional<QString> ViewerFinder::replaceAll(const QString& text, QString* error)
{
    const auto& o = m_options;
    if (o.findText.isEmpty()) return std::nullopt;
    if (!o.regularExpression) {
        QString out;
        qsizetype copied = 0;
        qsizetype at = FindPlainDown(text, o.findText, 0, o.matchCase, o.wholeWord);
        if (at < 0) return std::nullopt;
        out.reserve(text.size());
        while (at >= 0) {
            out.append(QStringView(text).mid(copied, at - copied));
            if (o.preserveCase)
                out.append(FromUnits(
                    InHitCase(true, UnitsOf(text, at, at + o.findText.size()), std::u16string(UnitsOf(o.replaceText)))));
            else
                out.append(o.replaceText);
            copied = at + o.findText.size();
            at = FindPlainDown(text, o.findText, copied, o.matchCase, o.wholeWord);
        }
        out.append(QStringView(text).mid(copied));
        return out;
    }
    if (!compile(error)) return std::nullopt;
    if (usesRunFormat() && !runFormat().error.isEmpty()) {
        if (error != nullptr) *error = runFormat().error;
        return std::nullopt;
    }
    const U16 begin = Units(text);
    const U16 end = begin + text.size();
    try {
        if (!boost::u32regex_search(begin, end, m_regex->expression)) return std::nullopt;
        if (o.preserveCase) return FromUnits(replaceMatchesInHitCase(begin, end));
        std::u16string out;
        out.reserve(static_cast<std::size_t>(text.size()));
        // With the run's format, Perl's rules as a run fills it in; else the library's default rules.
        const std::u16string format = usesRunFormat() ? runFormat().units : std::u16string(UnitsOf(o.replaceText));
        boost::u32regex_replace(std::back_inserter(out), begin, end, m_regex->expression, format.c_str(),
                                usesRunFormat() ? boost::format_perl : boost::format_default);
        return FromUnits(out);
    } catch (const std::exception& e) {
        if (error != nullptr) *error = QString::fromLocal8Bit(e.what());
        return std::nullopt;
    }
}

// Match by match, as the library's replace goes through them, so that each
// replacement takes its own hit's case.
std::u16string ViewerFinder::replaceMatchesInHitCase(const char16_t* begin, const char16_t* end)
{
    using Matches = boost::regex_iterator<U32It, UChar32, boost::icu_regex_traits>;
    const word::FormatCodePoints* runPoints = usesRunFormat() ? &runFormat().points : nullptr;
    std::u16string out;
    out.reserve(static_cast<std::size_t>(end - begin));
    U16 copied = begin;
    for (Matches it(U32It(begin, begin, end), U32It(end, begin, end), m_regex->expression), last; it != last; ++it) {
        const Match& match = *it;
        const U16 from = match[0].first.base();
        const U16 to = match[0].second.base();
        out.append(copied, from);
        const std::optional<std::u16string> filled = FormatMatch(match, m_regex->expression, runPoints, m_options.replaceText);
        if (!filled) throw std::runtime_error("format");
        AppendCasePreserved(std::u16string_view(from, static_cast<std::size_t>(to - from)), *filled, out);
        copied = to;
    }
    out.append(copied, end);
    return out;
}

}  // namespace tarnwick::ui
