#include "settings/AppearanceSettings.h"

#include "settings/ProfileStore.h"

namespace tarnwick::settings {

std::uint32_t ReadGuiStyle(ProfileStore& store)
{
    return store.GetProfileInt(kAppearanceSection, "Guistil", GuiStyle::Office2003);
}

Expected<void> WriteGuiStyle(ProfileStore& store, std::uint32_t style)
{
    return store.writeInt(kAppearanceSection, "Guistil", style);
}

std::uint32_t ReadTabStops(ProfileStore& store) { return store.GetProfileInt(kAppearanceSection, "TabStops", 32); }

Expected<void> WriteViewerState(ProfileStore& store, std::uint32_t tabStops, bool wordWrap)
{
    ProfileStore::Batch batch(store);
    batch.WriteProfileInt(kAppearanceSection, "TabStops", tabStops);
    batch.WriteProfileInt(kAppearanceSection, "Zeilenumbruch", wordWrap ? 1 : 0);
    return batch.commit();
}

FontSettings ReadFontSettings(ProfileStore& store)
{
    FontSettings font;
    font.height = store.GetProfileInt(kFontSection, "Höhe", font.height);
    if (font.height == 0) return font;
    font.weight = store.GetProfileInt(kFontSection, "Dicke", font.weight);
    font.italic = store.GetProfileInt(kFontSection, "Kursiv", font.italic);
    font.underline = store.GetProfileInt(kFontSection, "Unterstrichen", font.underline);
    font.pitchAndFamily = store.GetProfileInt(kFontSection, "PitchAndFamily", font.pitchAndFamily);
    font.charSet = store.GetProfileInt(kFontSection, "CharSet", font.charSet);
    font.faceName = store.GetProfileString(kFontSection, "Art", font.faceName);
    return font;
}

Expected<void> WriteFontSettings(ProfileStore& store, const FontSettings& current, const FontSettings& readAtCreation)
{
    ProfileStore::Batch batch(store);
    const auto writeIfChanged = [&](const char* name, std::int32_t now, std::int32_t before) {
        if (now != before) batch.WriteProfileInt(kFontSection, name, now);
    };
    writeIfChanged("Höhe", current.height, readAtCreation.height);
    if (current.height != 0) {
        writeIfChanged("Dicke", current.weight, readAtCreation.weight);
        writeIfChanged("Kursiv", current.italic, readAtCreation.italic);
        writeIfChanged("Unterstrichen", current.underline, readAtCreation.underline);
        writeIfChanged("PitchAndFamily", current.pitchAndFamily, readAtCreation.pitchAndFamily);
        writeIfChanged("CharSet", current.charSet, readAtCreation.charSet);
        if (current.faceName != readAtCreation.faceName) batch.WriteProfileString(kFontSection, "Art", current.faceName);
    }
    return batch.commit();
}

}  // namespace tarnwick::settings
