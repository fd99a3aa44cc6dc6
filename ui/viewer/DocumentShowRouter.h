#pragma once
// Where "In Vorschau/Word öffnen" shows a document hit: in a visible
// LibreOffice Writer window when LibreOffice is installed, else in the
// program's own document window. Writer is driven on a thread of its own, so
// that a LibreOffice that starts slowly or hangs never freezes the program;
// when it fails, the hit goes to the document window after all (through
// `post`, on the user interface thread). Requests made while one is being
// shown wait, and only the newest of them is shown next. User interface
// thread only.
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "word/automation/StoryId.h"

namespace tarnwick::ui {

struct DocumentHit {
    std::string path;
    std::optional<std::int64_t> position;
    std::int64_t length = 0;
    word::StoryId story;  // the part of the document the position counts in
};

class DocumentShowRouter {
public:
    // Shows the hit in Writer; throws (any std::exception) when it cannot.
    // Called on the router's thread only, one request at a time.
    using WriterShow = std::function<void(const DocumentHit&)>;
    // Runs a function on the user interface thread, later.
    using Post = std::function<void(std::function<void()>)>;
    // Shows the hit in the document window (user interface thread).
    using Fallback = std::function<void(const DocumentHit&)>;

    // `available` tells at each request whether LibreOffice is installed.
    // A request still unanswered after `stuckAfter` means a hung LibreOffice:
    // later hits go to the document window.
    DocumentShowRouter(std::function<bool()> available, WriterShow writer, Post post, Fallback fallback,
                       std::chrono::milliseconds stuckAfter);
    // Does not wait for a LibreOffice that hangs: its thread is left to end
    // by itself, and nothing is posted any more.
    ~DocumentShowRouter();
    DocumentShowRouter(const DocumentShowRouter&) = delete;
    DocumentShowRouter& operator=(const DocumentShowRouter&) = delete;

    // True when the hit was handed to Writer; false when the caller is to
    // show it in the document window now.
    bool show(DocumentHit hit);

    struct State;

private:
    std::function<bool()> m_available;
    std::chrono::milliseconds m_stuckAfter;
    std::shared_ptr<State> m_state;
};

}  // namespace tarnwick::ui
