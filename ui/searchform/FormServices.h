#pragma once
// What the search form's decisions need from the program around them.
namespace tarnwick {
class Clock;
class CodePage;
namespace settings {
class ProfileStore;
}
}  // namespace tarnwick

namespace tarnwick::ui {

class FormPrompts;

struct FormServices {
    FormPrompts& prompts;
    const Clock& clock;
    const CodePage& codePage;
    settings::ProfileStore* store = nullptr;  // null: nothing is loaded or saved
};

}  // namespace tarnwick::ui
