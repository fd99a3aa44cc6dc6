#include "settings/CrashReportSettings.h"

#include "settings/AppearanceSettings.h"
#include "settings/ProfileStore.h"

namespace tarnwick::settings {

std::string ReadCrashReportServer(ProfileStore& store)
{
    std::string server = store.GetProfileString(kAppearanceSection, kCrashReportServerName);
    return server.empty() ? std::string(kDefaultCrashReportServer) : server;
}

bool WriteCrashReportServer(ProfileStore& store, const std::string& server)
{
    return store.WriteProfileString(kAppearanceSection, kCrashReportServerName, server);
}

}  // namespace tarnwick::settings
