#include "settings/TipSettings.h"

#include "settings/ProfileStore.h"

namespace tarnwick::settings {

TipSettings ReadTipSettings(ProfileStore& store)
{
    TipSettings tip;
    tip.startUp = store.GetProfileInt(kTipSection, "StartUp", tip.startUp);
    tip.filePos = store.GetProfileInt(kTipSection, "FilePos", tip.filePos);
    tip.timeStamp = store.GetProfileString(kTipSection, "TimeStamp");
    return tip;
}

bool WriteTipStartUp(ProfileStore& store, std::int32_t startUp) { return store.WriteProfileInt(kTipSection, "StartUp", startUp); }

bool WriteTipFilePos(ProfileStore& store, std::uint32_t filePos)
{
    return store.WriteProfileInt(kTipSection, "FilePos", filePos);
}

bool WriteTipTimeStamp(ProfileStore& store, const std::string& timeStamp)
{
    return store.WriteProfileString(kTipSection, "TimeStamp", timeStamp);
}

}  // namespace tarnwick::settings
