#pragma once
// Section `Einstellungen`, value `CrashReportServer`: where the crash
// reporter sends its reports ("https://host[:port][/path]"; "http://" also works).
#include <string>

#include "platform/Expected.h"

namespace tarnwick::settings {

class ProfileStore;

inline constexpr char kCrashReportServerName[] = "CrashReportServer";
inline constexpr char kDefaultCrashReportServer[] = "https://crash.korvane.de";

// The stored address, or the default when none (or an empty one) is stored.
std::string ReadCrashReportServer(ProfileStore& store);
Expected<void> WriteCrashReportServer(ProfileStore& store, const std::string& server);

}  // namespace tarnwick::settings
