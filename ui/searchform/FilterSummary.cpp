#include "ui/searchform/FilterSummary.h"

#include <ctime>
#include <vector>

#include "formjob/FormJob.h"
#include "formjob/RelativeDates.h"
#include "ui/searchform/SearchFormController.h"

namespace tarnwick::ui {
namespace {

std::string Joined(const std::vector<std::string>& parts, const char* separator)
{
    std::string text;
    for (const std::string& part : parts) {
        if (!text.empty()) text += separator;
        text += part;
    }
    return text;
}

std::string ShortLocalTime(std::int64_t seconds)
{
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm tm{};
    if (::localtime_r(&t, &tm) == nullptr) return {};
    char text[32];
    return std::string(text, std::strftime(text, sizeof text, "%d.%m.%Y %H:%M", &tm));
}

std::string SizeText(const settings::FormState& form)
{
    const std::string from = std::to_string(form.minSizeKb);
    if (form.maxSizeKb == kNoUpperSizeLimit) return "Grösse: ab " + from + " kB";
    const std::string to = std::to_string(form.maxSizeKb);
    if (form.minSizeKb == 0) return "Grösse: bis " + to + " kB";
    return "Grösse: " + from + " bis " + to + " kB";
}

std::string RangeText(const settings::FormState& form, std::int64_t dateFrom, std::int64_t dateTo)
{
    if (form.dateRelative == 0) return "zwischen " + ShortLocalTime(dateFrom) + " und " + ShortLocalTime(dateTo);
    const session::RelativeSpan span = session::FormRelativeSpan(form);
    const bool hours = span.unit == session::RelativeUnit::Hours;
    if (span.count == 1) return hours ? "in der letzten Stunde" : "am letzten Tag";
    return "in den letzten " + std::to_string(span.count) + (hours ? " Stunden" : " Tagen");
}

std::string DateText(const settings::FormState& form, std::int64_t dateFrom, std::int64_t dateTo)
{
    std::vector<std::string> kinds;
    if (form.dateModified != 0) kinds.emplace_back("geändert");
    if (form.dateCreated != 0) kinds.emplace_back("erstellt");
    if (form.dateAccessed != 0) kinds.emplace_back("letzter Zugriff");
    const std::string range = RangeText(form, dateFrom, dateTo);
    if (kinds.empty()) return "Datum " + range;
    return Joined(kinds, "/") + " " + range;
}

std::string AttributeText(const settings::FormState& form)
{
    std::vector<std::string> skipped;
    if (form.skipHidden != 0) skipped.emplace_back("versteckte");
    if (form.skipReadOnly != 0) skipped.emplace_back("schreibgeschützte");
    if (form.skipArchive != 0) skipped.emplace_back("Archiv");
    if (form.skipSystem != 0) skipped.emplace_back("System");
    if (skipped.empty()) return {};
    std::string text = "ohne " + Joined(skipped, ", ");
    if (form.attributesOnDirs != 0) text += " (auch Verzeichnisse)";
    return text;
}

}  // namespace

std::string HiddenFiltersText(const settings::FormState& form, std::int64_t dateFrom, std::int64_t dateTo)
{
    std::vector<std::string> parts;
    if (form.allFileTypes == 0)
        parts.push_back("Dateitypen: " + (form.fileTypes.text.empty() ? std::string("keine") : form.fileTypes.text));
    if (!form.nameStrings.text.empty()) {
        const bool ignore = session::NameStringModeOf(form.nameStringMode) == NameStringMode::IgnoreIfAnyOccurs;
        parts.push_back((ignore ? "Dateinamen ohne: " : "Dateinamen mit: ") + form.nameStrings.text);
    }
    if (form.sizeFilter != 0) parts.push_back(SizeText(form));
    if (form.dateFilter != 0) parts.push_back(DateText(form, dateFrom, dateTo));
    if (std::string attributes = AttributeText(form); !attributes.empty()) parts.push_back(std::move(attributes));
    if (form.useWord == 0)
        parts.emplace_back("Word: aus");
    else if (session::WordAutoModeOf(form.wordAutoMode) == WordAutoMode::AllTypes)
        parts.emplace_back("Word: alle Typen");
    if (form.filesWithoutHits != 0) parts.emplace_back("Dateien ohne Treffer");
    if (form.searchInside != 0) parts.emplace_back("In Archiven und PDF");
    if (parts.empty()) return {};
    return "Aktive Filter: " + Joined(parts, " | ");
}

}  // namespace tarnwick::ui
