#include "ui/viewer/ViewerWordConnection.h"

#include <algorithm>
#include <exception>

#include "engine/documents/DocumentParts.h"

namespace tarnwick::ui {

ViewerWordConnection::ViewerWordConnection(Factory factory, DocumentDisplay* display)
    : m_factory(std::move(factory)), m_display(display)
{
}

ViewerWordConnection::~ViewerWordConnection()
{
    m_display = nullptr;
    quit();
}

bool ViewerWordConnection::connect()
{
    if (m_application) {
        // A word processor that has gone away fails even this simple call.
        try {
            m_application->Windows();
            return true;
        } catch (const std::exception&) {
            drop();
        }
    }
    try {
        m_application = m_factory ? m_factory() : nullptr;
    } catch (const std::exception&) {
        m_application.reset();
    }
    return m_application != nullptr;
}

void ViewerWordConnection::drop()
{
    m_application.reset();
    if (m_display) m_display->hideDocument();
}

WordShowOutcome ViewerWordConnection::show(const std::string& path, std::optional<std::int64_t> position, std::int64_t length,
                                           word::StoryId story)
{
    if (!connect()) {
        if (m_display) m_display->hideDocument();
        return WordShowOutcome::NoConnection;
    }
    word::Application& application = *m_application;
    try {
        application.SetVisible(true);
        word::Document* document = nullptr;
        try {
            document = &application.ActiveDocument();
        } catch (const std::exception&) {
            // No document open yet.
        }
        if (document != nullptr && document->FullName() != path) {
            document->Close(false);
            document = nullptr;
        }
        // Opened read-only: the document is only shown, and a write-protected
        // file can be shown as well.
        if (document == nullptr) document = &application.GetDocuments().Open(path, false, true, false);
        if (position) {
            const std::int64_t end = *position + std::max<std::int64_t>(length, 0);
            word::Selection& selection = application.GetSelection();
            if (story.isMainText() && selection.Story().isMainText()) {
                selection.SetStart(*position);
                selection.SetEnd(end);
            } else {
                // The selection moves within the story it lies in: another
                // one is reached through a range of that story.
                word::Range& range = document->StoryRange(story);
                range.SetStart(*position);
                range.SetEnd(end);
                range.Select();
            }
        }
        document->Activate();
        const ShownDocument shown = readShownDocument(*document);
        if (m_display) m_display->showDocument(shown);
        return WordShowOutcome::Shown;
    } catch (const std::exception&) {
        // What the display showed may have been closed on the way.
        if (m_display) m_display->hideDocument();
        return WordShowOutcome::Failed;
    }
}

ShownDocument ViewerWordConnection::readShownDocument(word::Document& document)
{
    ShownDocument shown;
    shown.fullName = document.FullName();
    word::Selection& selection = m_application->GetSelection();
    const word::StoryId story = selection.Story();
    if (!story.isMainText()) shown.part = DocumentPartName(story, NamedStories(document.Stories(), document.Unreadable()));
    shown.text = document.StoryRange(story).Text();
    // Selection positions count every character of the story, field codes
    // and hidden text included; the text shows only the visible ones. The
    // visible text in front of a position is its index in what is shown.
    const auto visibleIndex = [&](std::int64_t position) {
        word::Range& before = document.StoryRange(story);
        before.SetStart(0);
        before.SetEnd(position);
        return std::min(before.Text().size(), shown.text.size());
    };
    shown.selectionStart = visibleIndex(selection.Start());
    shown.selectionEnd = std::max(shown.selectionStart, visibleIndex(selection.End()));
    return shown;
}

void ViewerWordConnection::quit()
{
    if (!m_application) return;
    try {
        m_application->Quit(false);
    } catch (const std::exception&) {
        // Gone already: nothing to save, nothing to report.
    }
    drop();
}

}  // namespace tarnwick::ui
