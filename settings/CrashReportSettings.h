#pragma once
// Section `Einstellungen`, value `CrashReportServer`: where the crash
// reporter sends its reports ("http://host[:port][/path]").
#include <string>

namespace tarnwick::settings {

class ProfileStore;

inline constexpr char kCrashReportServerName[] = "CrashReportServer";
inline constexpr char kDefaultCrashReportServer[] = "http://crash.korvane.de";

// The stored address, or the default when none (or an empty one) is stored.
std::string ReadCrashReportServer(ProfileStore& store);
bool WriteCrashReportServer(ProfileStore& store, const std::string& server);

}  // namespace tarnwick::settings
