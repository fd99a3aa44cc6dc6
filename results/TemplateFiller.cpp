#include "results/TemplateFiller.h"

#include "results/ExportSelection.h"

#include <array>
#include <vector>

namespace tarnwick {
namespace {

// Every placeholder the template knows; the globals come first.
enum Name : std::size_t {
    kSuchpfad,
    kSuchen,
    kErsetzen,
    kGross,
    kDatinhalt,
    kVerzname,
    kDatname,
    kGanzeWorte,
    kReg,
    kSonderz,
    kDatDur,
    kDatGef,
    kEinGef,
    kHinweis,
    kGlobalCount,
    kDateiname = kGlobalCount,
    kAnzInDat,
    kKontext,
    kPos,
    kFehler,
    kListStart,
    kListStop,
    kHitStart,
    kHitStop,
    kNameCount,
};

constexpr std::array<std::string_view, kNameCount> kNames = {
    "!SUCHPFAD!", "!SUCHEN!",  "!ERSETZEN!", "!GROSS!",       "!DATINHALT!",  "!VERZNAME!",  "!DATNAME!",   "!GANZE_WORTE!",
    "!REG!",      "!SONDERZ!", "!DAT_DUR!",  "!DAT_GEF!",     "!EIN_GEF!",    "!HINWEIS!",   "!DATEINAME!", "!ANZ_IN_DAT!",
    "!KONTEXT!",  "!POS!",     "!FEHLER!",   "!LISTE_START!", "!LISTE_STOP!", "!DAT_START!", "!DAT_STOP!",
};

// A run of literal text, or a placeholder (`name` < kNameCount; `text` is
// then its own spelling, written where it is not filled).
struct Piece {
    std::size_t name;
    std::string_view text;
};
using Pieces = std::vector<Piece>;

// The template cut into pieces in one pass: at each '!' the placeholder that
// begins there, if any, is taken, and the search goes on behind it.
Pieces cut(std::string_view text)
{
    Pieces pieces;
    std::size_t literal = 0;
    for (std::size_t at = text.find('!'); at != std::string_view::npos;) {
        std::size_t name = 0;
        while (name < kNameCount && text.compare(at, kNames[name].size(), kNames[name]) != 0) ++name;
        if (name == kNameCount) {
            at = text.find('!', at + 1);
            continue;
        }
        if (at > literal) pieces.push_back({kNameCount, text.substr(literal, at - literal)});
        pieces.push_back({name, kNames[name]});
        literal = at + kNames[name].size();
        at = text.find('!', literal);
    }
    if (literal < text.size()) pieces.push_back({kNameCount, text.substr(literal)});
    return pieces;
}

// Pieces [begin, end) of a template.
struct Span {
    const Piece* begin = nullptr;
    const Piece* end = nullptr;
};

// The pieces between the first `start` and the first `stop`, when the stop
// comes after the start.
struct Section {
    bool found = false;
    Span before, inner, after;
};

Section findSection(Span all, std::size_t start, std::size_t stop)
{
    const Piece* first = all.begin;
    while (first != all.end && first->name != start) ++first;
    const Piece* last = all.begin;
    while (last != all.end && last->name != stop) ++last;
    if (first == all.end || last == all.end || last < first) return {};
    return {true, {all.begin, first}, {first + 1, last}, {last + 1, all.end}};
}

// The value of each placeholder where it is filled; unset ones stay as written.
class Values {
public:
    void set(std::size_t name, std::string_view value)
    {
        m_value[name] = value;
        m_set[name] = true;
    }
    void unset(std::size_t name) { m_set[name] = false; }

    void append(std::string& out, Span span) const
    {
        for (const Piece* piece = span.begin; piece != span.end; ++piece)
            out.append(piece->name < kNameCount && m_set[piece->name] ? m_value[piece->name] : piece->text);
    }

private:
    std::array<std::string_view, kNameCount> m_value{};
    std::array<bool, kNameCount> m_set{};
};

const char* flag(bool on) { return on ? "1" : "0"; }

// One item template, split at the place of its hit section.
class ItemFiller {
public:
    ItemFiller(Span itemTemplate, const ResultList& list, const Values& globals) : m_list(list), m_values(globals)
    {
        const Section hits = findSection(itemTemplate, kHitStart, kHitStop);
        if (hits.found) {
            m_hasHitTemplate = true;
            m_before = hits.before;
            m_hitTemplate = hits.inner;
            m_after = hits.after;
        } else {
            m_before = itemTemplate;
        }
    }

    void appendFileWithHits(std::string& out, ItemHandle file)
    {
        const std::string path = m_list.ColumnText(file, ResultColumn::FileOrContext);
        std::int64_t count = 0;
        for (ItemHandle hit = m_list.FirstChild(file); hit != kNoItem; hit = m_list.NextSibling(hit)) ++count;
        const std::string countText = std::to_string(count);
        m_values.set(kDateiname, path);
        m_values.set(kAnzInDat, countText);
        // Without a hit section the whole item template stands for each hit.
        if (m_hasHitTemplate) appendOutsideHits(out, m_before);
        for (ItemHandle hit = m_list.FirstChild(file); hit != kNoItem; hit = m_list.NextSibling(hit)) {
            const std::string context = m_list.ColumnText(hit, ResultColumn::FileOrContext);
            const std::string position = m_list.ColumnText(hit, ResultColumn::Position);
            const std::string remark = m_list.ColumnText(hit, ResultColumn::Remark);
            appendHit(out, context, position, remark);
        }
        if (m_hasHitTemplate) appendOutsideHits(out, m_after);
    }

    void appendOther(std::string& out, ItemHandle item, ExportedAs as)
    {
        const std::string path = m_list.ColumnText(item, ResultColumn::FileOrContext);
        const std::string remark = m_list.ColumnText(item, ResultColumn::Remark);
        m_values.set(kDateiname, path);
        m_values.set(kAnzInDat, "-");
        if (m_hasHitTemplate) appendOutsideHits(out, m_before);
        appendHit(out, ContextWordOf(as), "-", remark);
        if (m_hasHitTemplate) appendOutsideHits(out, m_after);
    }

private:
    // Around the hit section only the item's own values and the globals are filled.
    void appendOutsideHits(std::string& out, Span span)
    {
        for (const std::size_t name : {kKontext, kPos, kFehler}) m_values.unset(name);
        m_values.append(out, span);
    }

    void appendHit(std::string& out, std::string_view context, std::string_view position, std::string_view remark)
    {
        m_values.set(kKontext, context);
        m_values.set(kPos, position);
        m_values.set(kFehler, remark);
        m_values.append(out, m_hasHitTemplate ? m_hitTemplate : m_before);
    }

    const ResultList& m_list;
    Values m_values;  // the globals, and the current item's and hit's values
    bool m_hasHitTemplate = false;
    Span m_before;  // the item template up to the hit section (all of it without one)
    Span m_hitTemplate;
    Span m_after;  // the item template after the hit section
};

}  // namespace

std::string FillTemplate(std::string_view templateText, const RunValues& run, const ResultList& list, const ExportFilter& filter)
{
    const Pieces pieces = cut(templateText);
    const Span all{pieces.data(), pieces.data() + pieces.size()};
    const std::string counts[] = {std::to_string(run.filesSearched), std::to_string(run.filesFound),
                                  std::to_string(run.entriesFound)};
    Values globals;
    globals.set(kSuchpfad, run.searchPath);
    globals.set(kSuchen, run.searchText);
    globals.set(kErsetzen, run.replacementText);
    globals.set(kGross, flag(run.matchCase));
    globals.set(kDatinhalt, flag(run.searchContents));
    globals.set(kVerzname, flag(run.searchDirNames));
    globals.set(kDatname, flag(run.searchFileNames));
    globals.set(kGanzeWorte, flag(run.wholeWords));
    globals.set(kReg, flag(run.regularExpression));
    globals.set(kSonderz, flag(run.specialCharacters));
    globals.set(kDatDur, counts[0]);
    globals.set(kDatGef, counts[1]);
    globals.set(kEinGef, counts[2]);
    globals.set(kHinweis, run.notice);

    std::string out;
    const Section listSection = findSection(all, kListStart, kListStop);
    if (!listSection.found) {
        globals.append(out, all);  // no list: nothing but the global values
        return out;
    }
    globals.append(out, listSection.before);
    ItemFiller filler(listSection.inner, list, globals);
    const std::size_t count = list.TopLevelCount();
    for (std::size_t row = 0; row < count; ++row) {
        const ItemHandle item = list.TopLevelItem(row);
        const ExportedAs as = ClassifyForExport(list, item, filter);
        if (as == ExportedAs::FileWithHits || as == ExportedAs::FileWithoutHits)
            filler.appendFileWithHits(out, item);
        else if (as != ExportedAs::Nothing)
            filler.appendOther(out, item, as);
    }
    globals.append(out, listSection.after);
    return out;
}

}  // namespace tarnwick
