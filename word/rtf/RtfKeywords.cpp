#include "word/rtf/RtfKeywords.h"

#include <algorithm>
#include <array>

namespace tarnwick::word {
namespace {

using A = RtfAction;
using K = UnitKind;

constexpr char16_t storyValue(StoryKind kind) { return static_cast<char16_t>(kind); }
constexpr char16_t kHeader = storyValue(StoryKind::Header);
constexpr char16_t kFooter = storyValue(StoryKind::Footer);
constexpr char16_t kFootnote = storyValue(StoryKind::Footnote);
constexpr char16_t kComment = storyValue(StoryKind::Comment);
constexpr char16_t kTextBox = storyValue(StoryKind::TextBox);

// Sorted by name for the binary search below.
constexpr std::array kKeywords = {
    RtfKeyword{"aftncn", A::Skip},
    RtfKeyword{"aftnsep", A::Skip},
    RtfKeyword{"aftnsepc", A::Skip},
    RtfKeyword{"annotation", A::Story, K::Text, kComment},
    RtfKeyword{"ansi", A::AnsiCodePage, K::Text, 1252},
    RtfKeyword{"ansicpg", A::AnsiCodePage},
    RtfKeyword{"atnauthor", A::Skip},
    RtfKeyword{"atndate", A::Skip},
    RtfKeyword{"atnicn", A::Skip},
    RtfKeyword{"atnid", A::Skip},
    RtfKeyword{"atnparent", A::Skip},
    RtfKeyword{"atnref", A::Skip},
    RtfKeyword{"atntime", A::Skip},
    RtfKeyword{"atrfend", A::Skip},
    RtfKeyword{"atrfstart", A::Skip},
    RtfKeyword{"bkmkend", A::Skip},
    RtfKeyword{"bkmkstart", A::Skip},
    RtfKeyword{"bullet", A::Character, K::Text, 0x2022},
    RtfKeyword{"cell", A::Character, K::CellEnd, 0x07},
    RtfKeyword{"chatn", A::Character, K::Anchor, 0x05},
    RtfKeyword{"chftn", A::Character, K::Anchor, 0x02},
    RtfKeyword{"colortbl", A::Skip},
    RtfKeyword{"column", A::Character, K::ColumnBreak, 0x0E},
    RtfKeyword{"cpg", A::FontCodePage},
    RtfKeyword{"datastore", A::Skip},
    RtfKeyword{"deff", A::DefaultFont},
    RtfKeyword{"deleted", A::Deleted},
    RtfKeyword{"docvar", A::Skip},
    RtfKeyword{"emdash", A::Character, K::Text, 0x2014},
    RtfKeyword{"emspace", A::Character, K::Text, 0x2003},
    RtfKeyword{"endash", A::Character, K::Text, 0x2013},
    RtfKeyword{"enspace", A::Character, K::Text, 0x2002},
    RtfKeyword{"f", A::Font},
    RtfKeyword{"fcharset", A::FontCharset},
    RtfKeyword{"field", A::Field},
    RtfKeyword{"filetbl", A::Skip},
    RtfKeyword{"fldinst", A::FieldCode},
    RtfKeyword{"fldrslt", A::FieldResult},
    RtfKeyword{"fonttbl", A::FontTable},
    RtfKeyword{"footer", A::Story, K::Text, kFooter},
    RtfKeyword{"footerf", A::Story, K::Text, kFooter},
    RtfKeyword{"footerl", A::Story, K::Text, kFooter},
    RtfKeyword{"footerr", A::Story, K::Text, kFooter},
    RtfKeyword{"footnote", A::Story, K::Text, kFootnote},
    RtfKeyword{"ftnalt", A::Endnote},
    RtfKeyword{"ftncn", A::Skip},
    RtfKeyword{"ftnsep", A::Skip},
    RtfKeyword{"ftnsepc", A::Skip},
    RtfKeyword{"generator", A::Skip},
    RtfKeyword{"header", A::Story, K::Text, kHeader},
    RtfKeyword{"headerf", A::Story, K::Text, kHeader},
    RtfKeyword{"headerl", A::Story, K::Text, kHeader},
    RtfKeyword{"headerr", A::Story, K::Text, kHeader},
    RtfKeyword{"info", A::Skip},
    RtfKeyword{"latentstyles", A::Skip},
    RtfKeyword{"ldblquote", A::Character, K::Text, 0x201C},
    RtfKeyword{"line", A::Character, K::LineBreak, 0x0B},
    RtfKeyword{"listoverridetable", A::Skip},
    RtfKeyword{"listtable", A::Skip},
    RtfKeyword{"listtext", A::Skip},
    RtfKeyword{"lquote", A::Character, K::Text, 0x2018},
    RtfKeyword{"ltrmark", A::Character, K::Text, 0x200E},
    RtfKeyword{"mac", A::AnsiCodePage, K::Text, 10000},
    RtfKeyword{"mmathPr", A::Skip},
    RtfKeyword{"nestcell", A::Character, K::CellEnd, 0x07},
    RtfKeyword{"nestrow", A::Character, K::RowEnd, 0x07},
    // Holds the row mark of a nested table's row.
    RtfKeyword{"nesttableprops", A::MainText},
    RtfKeyword{"nonesttables", A::Skip},
    RtfKeyword{"nonshppict", A::Skip},
    RtfKeyword{"objdata", A::Skip},
    RtfKeyword{"object", A::Anchor, K::Anchor, 0x01},
    RtfKeyword{"page", A::Character, K::PageBreak, 0x0C},
    RtfKeyword{"par", A::Character, K::ParagraphEnd, 0x0D},
    RtfKeyword{"pc", A::AnsiCodePage, K::Text, 437},
    RtfKeyword{"pca", A::AnsiCodePage, K::Text, 850},
    RtfKeyword{"pgdsctbl", A::Skip},
    RtfKeyword{"pict", A::Anchor, K::Anchor, 0x01},
    RtfKeyword{"plain", A::Plain},
    RtfKeyword{"pntext", A::Skip},
    RtfKeyword{"pntxta", A::Skip},
    RtfKeyword{"pntxtb", A::Skip},
    RtfKeyword{"private", A::Skip},
    RtfKeyword{"qmspace", A::Character, K::Text, 0x2005},
    RtfKeyword{"rdblquote", A::Character, K::Text, 0x201D},
    RtfKeyword{"revtbl", A::Skip},
    RtfKeyword{"row", A::Character, K::RowEnd, 0x07},
    RtfKeyword{"rquote", A::Character, K::Text, 0x2019},
    RtfKeyword{"rsidtbl", A::Skip},
    RtfKeyword{"rtlmark", A::Character, K::Text, 0x200F},
    RtfKeyword{"sect", A::Character, K::SectionEnd, 0x0C},
    RtfKeyword{"shp", A::Anchor, K::Anchor, 0x08},
    RtfKeyword{"shppict", A::Anchor, K::Anchor, 0x01},
    RtfKeyword{"shptxt", A::Story, K::Text, kTextBox},
    RtfKeyword{"stylesheet", A::Skip},
    RtfKeyword{"tab", A::Character, K::Tab, 0x09},
    RtfKeyword{"tc", A::Skip},
    RtfKeyword{"template", A::Skip},
    RtfKeyword{"themedata", A::Skip},
    RtfKeyword{"txe", A::Skip},
    RtfKeyword{"u", A::Unicode},
    RtfKeyword{"uc", A::UnicodeSkip},
    RtfKeyword{"userprops", A::Skip},
    RtfKeyword{"v", A::Hidden},
    RtfKeyword{"xe", A::Skip},
    RtfKeyword{"xmlnstbl", A::Skip},
    RtfKeyword{"zwj", A::Character, K::Text, 0x200D},
    RtfKeyword{"zwnj", A::Character, K::Text, 0x200C},
};

constexpr bool isSorted()
{
    for (std::size_t i = 1; i < kKeywords.size(); ++i)
        if (!(kKeywords[i - 1].name < kKeywords[i].name)) return false;
    return true;
}
static_assert(isSorted(), "keep the keyword table sorted");

}  // namespace

const RtfKeyword* FindRtfKeyword(std::string_view word)
{
    const auto it = std::lower_bound(kKeywords.begin(), kKeywords.end(), word,
                                     [](const RtfKeyword& k, std::string_view w) { return k.name < w; });
    return it != kKeywords.end() && it->name == word ? &*it : nullptr;
}

}  // namespace tarnwick::word
