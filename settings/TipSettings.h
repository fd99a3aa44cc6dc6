#pragma once
// Section `Tip`: the tip of the day's state.
#include <cstdint>
#include <string>

#include "platform/Expected.h"

namespace tarnwick::settings {

class ProfileStore;

inline constexpr char kTipSection[] = "Tip";

struct TipSettings {
    std::int32_t startUp = 0;  // StartUp: 1 = do not show the tips at start-up
    std::uint32_t filePos = 0;  // FilePos: offset of the next tip in the tips file
    std::string timeStamp;  // TimeStamp: the tips file's modification time as text

    bool operator==(const TipSettings&) const = default;
};

TipSettings ReadTipSettings(ProfileStore& store);
// Each value is written at its own moment: StartUp when the dialog is
// closed, FilePos when it is destroyed, TimeStamp when the file changed.
Expected<void> WriteTipStartUp(ProfileStore& store, std::int32_t startUp);
Expected<void> WriteTipFilePos(ProfileStore& store, std::uint32_t filePos);
Expected<void> WriteTipTimeStamp(ProfileStore& store, const std::string& timeStamp);

}  // namespace tarnwick::settings
