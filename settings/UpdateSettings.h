#pragma once
// The update server the "Auf neue Version überprüfen" dialog asks: value
// `UpdateServer` of section `Einstellungen`, a text such as
// "https://update.korvane.de". It is only read; an administrator or a test
// sets it in the settings file.
#include <string>

namespace tarnwick::settings {

class ProfileStore;

inline constexpr char kDefaultUpdateServer[] = "https://update.korvane.de";

// The stored server, or the default when the value is missing or empty.
std::string ReadUpdateServer(ProfileStore& store);

}  // namespace tarnwick::settings
