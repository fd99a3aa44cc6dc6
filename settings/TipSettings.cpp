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

Expected<void> WriteTipStartUp(ProfileStore& store, std::int32_t startUp)
{
    return store.writeInt(kTipSection, "StartUp", startUp);
}

Expected<void> WriteTipFilePos(ProfileStore& store, std::uint32_t filePos)
{
    return store.writeInt(kTipSection, "FilePos", filePos);
}

Expected<void> WriteTipTimeStamp(ProfileStore& store, const std::string& timeStamp)
{
    return store.writeString(kTipSection, "TimeStamp", timeStamp);
}

}  // namespace tarnwick::settings
