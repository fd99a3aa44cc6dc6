// The line of active filters the collapsed form shows under its main fields.
#include "ui/searchform/FilterSummary.h"

#include <gtest/gtest.h>

namespace tarnwick::ui {
namespace {

TEST(HiddenFilters, NamesEveryFilterInForceAndNothingWhenNoneIs)
{
    settings::FormState form;
    form.fileTypes.text = "*.txt;";
    // The first start: only the file types filter.
    EXPECT_EQ(HiddenFiltersText(form, 0, 0), "Aktive Filter: Dateitypen: *.txt;");

    form.nameStrings.text = "alt;";
    form.nameStringMode = 1;
    form.sizeFilter = 1;
    form.minSizeKb = 0;
    form.maxSizeKb = 100;
    form.dateFilter = 1;
    form.dateCreated = 0;
    form.dateModified = 1;
    form.dateRelative = 1;
    form.dateRelativeCount = 7;
    form.skipHidden = 1;
    form.skipSystem = 1;
    form.attributesOnDirs = 1;
    form.wordAutoMode = 0;
    EXPECT_EQ(HiddenFiltersText(form, 0, 0),
              "Aktive Filter: Dateitypen: *.txt; | Dateinamen ohne: alt; | Grösse: bis 100 kB | geändert in den letzten 7 "
              "Tagen | ohne versteckte, System (auch Verzeichnisse) | Word: alle Typen");

    form.dateRelativeCount = 1;
    form.dateRelativeUnit = 1;
    form.useWord = 0;
    form.sizeFilter = 0;
    const std::string text = HiddenFiltersText(form, 0, 0);
    EXPECT_NE(text.find("geändert in der letzten Stunde"), std::string::npos) << text;
    EXPECT_NE(text.find("Word: aus"), std::string::npos) << text;

    // Not a filter, but it changes what the list holds just as much.
    form.filesWithoutHits = 1;
    EXPECT_EQ(HiddenFiltersText(form, 0, 0).substr(text.size()), " | Dateien ohne Treffer");
    form.searchInside = 1;
    EXPECT_EQ(HiddenFiltersText(form, 0, 0).substr(text.size()), " | Dateien ohne Treffer | In Archiven und PDF");

    settings::FormState none;
    none.allFileTypes = 1;
    EXPECT_EQ(HiddenFiltersText(none, 0, 0), "");
}

}  // namespace
}  // namespace tarnwick::ui
