#include "results/TemplateFiller.h"

#include "results/ExportSelection.h"

#include <utility>

namespace tarnwick {
namespace {

constexpr std::string_view kListStart = "!LISTE_START!";
constexpr std::string_view kListStop = "!LISTE_STOP!";
constexpr std::string_view kHitStart = "!DAT_START!";
constexpr std::string_view kHitStop = "!DAT_STOP!";

const char* flag(bool on) { return on ? "1" : "0"; }

// The text between the first `start` and the first `stop`, when `stop`
// begins after `start` has ended.
struct Section {
    bool found = false;
    std::size_t start = 0;  // where `start` begins
    std::size_t inner = 0;  // first byte after `start`
    std::size_t stop = 0;  // where `stop` begins
    std::size_t after = 0;  // first byte after `stop`
};

Section findSection(std::string_view text, std::string_view start, std::string_view stop)
{
    Section section;
    section.start = text.find(start);
    section.stop = text.find(stop);
    if (section.start == std::string_view::npos || section.stop == std::string_view::npos) return {};
    section.inner = section.start + start.size();
    if (section.stop < section.inner) return {};
    section.after = section.stop + stop.size();
    section.found = true;
    return section;
}

// One item template, split at the place of its hit section.
class ItemFiller {
public:
    ItemFiller(std::string_view itemTemplate, const ResultList& list) : m_list(list)
    {
        const Section hits = findSection(itemTemplate, kHitStart, kHitStop);
        if (hits.found) {
            m_hasHitTemplate = true;
            m_before = itemTemplate.substr(0, hits.start);
            m_hitTemplate = itemTemplate.substr(hits.inner, hits.stop - hits.inner);
            m_after = itemTemplate.substr(hits.after);
        } else {
            m_before = itemTemplate;
        }
    }

    void appendFileWithHits(std::string& out, ItemHandle file)
    {
        const std::string path = m_list.ColumnText(file, ResultColumn::FileOrContext);
        std::int64_t count = 0;
        m_item.clear();
        if (m_hasHitTemplate) {
            m_item.append(m_before);
            for (ItemHandle hit = m_list.FirstChild(file); hit != kNoItem; hit = m_list.NextSibling(hit), ++count)
                appendHit(m_item, m_hitTemplate, hit);
            m_item.append(m_after);
            ReplaceAll(m_item, "!DATEINAME!", path, m_scratch);
        } else {
            // Without a hit section the whole item template stands for each hit.
            m_named.assign(m_before);
            ReplaceAll(m_named, "!DATEINAME!", path, m_scratch);
            for (ItemHandle hit = m_list.FirstChild(file); hit != kNoItem; hit = m_list.NextSibling(hit), ++count)
                appendHit(m_item, m_named, hit);
        }
        ReplaceAll(m_item, "!ANZ_IN_DAT!", std::to_string(count), m_scratch);
        out.append(m_item);
    }

    void appendOther(std::string& out, ItemHandle item, ExportedAs as)
    {
        m_hit.assign(m_hasHitTemplate ? m_hitTemplate : m_before);
        fill(m_hit, ContextWordOf(as), "-", m_list.ColumnText(item, ResultColumn::Remark));
        if (m_hasHitTemplate) {
            m_item.assign(m_before);
            m_item.append(m_hit);
            m_item.append(m_after);
        } else {
            std::swap(m_item, m_hit);
        }
        ReplaceAll(m_item, "!DATEINAME!", m_list.ColumnText(item, ResultColumn::FileOrContext), m_scratch);
        ReplaceAll(m_item, "!ANZ_IN_DAT!", "-", m_scratch);
        out.append(m_item);
    }

private:
    void appendHit(std::string& out, std::string_view hitTemplate, ItemHandle hit)
    {
        m_hit.assign(hitTemplate);
        fill(m_hit, m_list.ColumnText(hit, ResultColumn::FileOrContext), m_list.ColumnText(hit, ResultColumn::Position),
             m_list.ColumnText(hit, ResultColumn::Remark));
        out.append(m_hit);
    }

    void fill(std::string& text, std::string_view context, std::string_view position, std::string_view remark)
    {
        ReplaceAll(text, "!KONTEXT!", context, m_scratch);
        ReplaceAll(text, "!POS!", position, m_scratch);
        ReplaceAll(text, "!FEHLER!", remark, m_scratch);
    }

    const ResultList& m_list;
    bool m_hasHitTemplate = false;
    std::string_view m_before;  // the item template up to the hit section (all of it without one)
    std::string_view m_hitTemplate;
    std::string_view m_after;  // the item template after the hit section
    // Reused between items and hits so that filling allocates little.
    std::string m_item, m_hit, m_named, m_scratch;
};

}  // namespace

void ReplaceAll(std::string& text, std::string_view from, std::string_view to, std::string& scratch)
{
    std::size_t found = text.find(from);
    if (found == std::string::npos) return;
    scratch.clear();
    std::size_t done = 0;
    while (found != std::string::npos) {
        scratch.append(text, done, found - done);
        scratch.append(to);
        done = found + from.size();
        found = text.find(from, done);
    }
    scratch.append(text, done, std::string::npos);
    text.swap(scratch);
}

std::string FillTemplate(std::string_view templateText, const RunValues& run, const ResultList& list, const ExportFilter& filter)
{
    std::string text(templateText);
    std::string scratch;
    const std::pair<std::string_view, std::string> globals[] = {
        {"!SUCHPFAD!", run.searchPath},
        {"!SUCHEN!", run.searchText},
        {"!ERSETZEN!", run.replacementText},
        {"!GROSS!", flag(run.matchCase)},
        {"!DATINHALT!", flag(run.searchContents)},
        {"!VERZNAME!", flag(run.searchDirNames)},
        {"!DATNAME!", flag(run.searchFileNames)},
        {"!GANZE_WORTE!", flag(run.wholeWords)},
        {"!REG!", flag(run.regularExpression)},
        {"!SONDERZ!", flag(run.specialCharacters)},
        {"!DAT_DUR!", std::to_string(run.filesSearched)},
        {"!DAT_GEF!", std::to_string(run.filesFound)},
        {"!EIN_GEF!", std::to_string(run.entriesFound)},
    };
    for (const auto& [placeholder, value] : globals) ReplaceAll(text, placeholder, value, scratch);

    const Section listSection = findSection(text, kListStart, kListStop);
    if (!listSection.found) return text;  // no list: nothing but the global values

    const std::string_view all(text);
    std::string out(all.substr(0, listSection.start));
    ItemFiller filler(all.substr(listSection.inner, listSection.stop - listSection.inner), list);
    const std::size_t count = list.TopLevelCount();
    for (std::size_t row = 0; row < count; ++row) {
        const ItemHandle item = list.TopLevelItem(row);
        const ExportedAs as = ClassifyForExport(list, item, filter);
        if (as == ExportedAs::FileWithHits)
            filler.appendFileWithHits(out, item);
        else if (as != ExportedAs::Nothing)
            filler.appendOther(out, item, as);
    }
    out.append(all.substr(listSection.after));
    return out;
}

}  // namespace tarnwick
