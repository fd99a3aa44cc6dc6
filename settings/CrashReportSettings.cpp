#include "settings/CrashReportSettings.h"

#include "settings/AppearanceSettings.h"
#include "settings/ProfileStore.h"

namespace tarnwick::settings {

std::string ReadCrashReportServer(ProfileStore& store)
{
    std::string server = store.GetProfileString(kAppearanceSection, kCrashReportServerName);
    return server.empty() ? std::string(kDefaultCrashReportServer) : server;
}

Expected<void> WriteCrashReportServer(ProfileStore& store, const std::string& server)
{
    return store.writeString(kAppearanceSection, kCrashReportServerName, server);
}

}  // namespace tarnwick::settings
