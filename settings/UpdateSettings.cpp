#include "settings/UpdateSettings.h"

#include "settings/AppearanceSettings.h"
#include "settings/ProfileStore.h"

namespace tarnwick::settings {

std::string ReadUpdateServer(ProfileStore& store)
{
    std::string server = store.GetProfileString(kAppearanceSection, "UpdateServer", kDefaultUpdateServer);
    // An emptied value would leave the check without any address to ask.
    if (server.find_first_not_of(" \t") == std::string::npos) server = kDefaultUpdateServer;
    return server;
}

}  // namespace tarnwick::settings
