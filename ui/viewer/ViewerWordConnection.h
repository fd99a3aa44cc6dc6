#pragma once
// The search form's own connection to the word processor, used to show a
// hit in a document (not the worker's, which searches and replaces). It is
// made on first use and kept for later hits; a run that may change
// documents makes it quit first, without saving.
//
// What the word processor shows goes to a DocumentDisplay: after each
// showing, the text of the story the selection lies in (the main text, or a
// header, a note, ...) and the selection are read back through the
// automation interface and handed over, so the display follows whatever the
// steps did (another document opened, the old one closed).
//
// User interface thread only; not thread-safe.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "word/automation/Automation.h"

namespace tarnwick::ui {

// The active document as the user sees it: the visible text of the story
// holding the selection and the selection as indices into that text.
struct ShownDocument {
    std::string fullName;
    std::u16string text;
    std::size_t selectionStart = 0;
    std::size_t selectionEnd = 0;
    std::string part;  // the story's name as the results give it ("Fußnote 2"); empty for the main text
};

class DocumentDisplay {
public:
    virtual ~DocumentDisplay() = default;
    // Shows the document with its selection in view and brings it to the front.
    virtual void showDocument(const ShownDocument& document) = 0;
    // The word processor has quit or shows nothing any more.
    virtual void hideDocument() = 0;
};

enum class WordShowOutcome {
    Shown,
    NoConnection,  // the word processor could not be started
    Failed,  // an automation error on the way
};

class ViewerWordConnection {
public:
    using Factory = std::function<std::unique_ptr<word::Application>()>;

    // `display` may be null and must outlive the connection otherwise.
    ViewerWordConnection(Factory factory, DocumentDisplay* display);
    // Quits the word processor without saving; the display is not touched.
    ~ViewerWordConnection();
    ViewerWordConnection(const ViewerWordConnection&) = delete;
    ViewerWordConnection& operator=(const ViewerWordConnection&) = delete;

    // Shows the document at `path`: the active one when it is that file,
    // else the active one is closed unsaved and `path` opened. With a
    // position, selects `length` characters there, in the story `story`;
    // without, the selection stays where it was.
    WordShowOutcome show(const std::string& path, std::optional<std::int64_t> position, std::int64_t length,
                         word::StoryId story = {});

    // Tells the word processor to quit without saving and lets it go;
    // errors are ignored. Nothing happens while no connection is held.
    void quit();

    bool isHeld() const { return m_application != nullptr; }
    word::Application* application() const { return m_application.get(); }

private:
    bool connect();
    void drop();
    ShownDocument readShownDocument(word::Document& document);

    Factory m_factory;
    DocumentDisplay* m_display;
    std::unique_ptr<word::Application> m_application;
};

}  // namespace tarnwick::ui
