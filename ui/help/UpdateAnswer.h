#pragma once
// What the update server answers, read by plain text search: the message
// between "<text>" and "</text>", the flag after "<akt>" ('0': a newer
// version exists) and the download location between "<ort>" and "</ort>".
// Only an "https://" location is handed to the updater: any other would let
// whoever can change the answer send the updater to a download of theirs.
// Each tag counts at its first occurrence; a closing tag is looked for
// after its opening one. Plain C++, no state.
#include <string>
#include <string_view>

namespace tarnwick::ui {

struct UpdateAnswer {
    bool readable = false;  // both the text and the akt parts are there
    std::string message;  // the server's text, bytes as sent
    bool updateAvailable = false;  // '0' after "<akt>" and an "https://" location
    std::string location;  // where the updater fetches the new version

    bool operator==(const UpdateAnswer&) const = default;
};

UpdateAnswer ParseUpdateAnswer(std::string_view answer);

// The address asked: `server` ("https://host[:port]", a trailing '/' allowed,
// "https://" assumed when no scheme is given) followed by the request path.
std::string UpdateRequestUrl(std::string server);

}  // namespace tarnwick::ui
