#pragma once
// Searches and replaces inside word-processor documents through the
// automation interface (word/automation/Automation.h): the connection of the worker
// thread, the search and the replacement of one document, and the
// document procedure of replace in marked results. Worker thread only.
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/job/RunContext.h"
#include "word/automation/Automation.h"

namespace tarnwick {

// The stories of a document a run goes through, and how their parts are named.
struct DocumentStories {
    std::vector<word::StoryId> searched;
    std::vector<word::StoryId> named;  // the names number each other among these (NamedStories)
    std::vector<word::UnreadableStories> unreadable;
};

class WordDocumentEngine final : public DocumentEngine {
public:
    explicit WordDocumentEngine(word::ApplicationFactory factory);
    ~WordDocumentEngine() override;

    void searchDocument(RunContext& run, const std::string& path) override;
    void replaceDocument(RunContext& run, const std::string& path) override;

    bool isStarted() const override { return m_application != nullptr; }
    Expected<std::int64_t> replaceMarked(RunContext& run, const std::string& path, std::string_view part, std::int64_t position,
                                         std::int64_t length, bool backup) override;
    Expected<void> finishMarked() override;
    void abandonMarked() override;

    std::pair<std::string, std::string> quit() override;

private:
    // Starts the application once; on failure reports it for `path`.
    bool ensureWord(RunContext& run, const std::string& path);
    static bool searchesExpression(const RunContext& run);
    word::FindArguments findArguments(const RunContext& run) const;
    // The same for a document that is searched now.
    word::FindArguments searchArguments(RunContext& run) const;
    // Whether the span a marked hit names (its text `selected`) still holds a hit.
    bool stillFound(const RunContext& run, word::StoryId story, std::u16string selected, std::int64_t position,
                    std::int64_t length);
    struct HitContext {
        std::string text;
        std::int32_t highlightStart = 0;
        std::int64_t highlightLength = 0;
    };
    // The context text of a hit [start, end) with the hit's place in it; the
    // range is left as it was found.
    HitContext contextOf(RunContext& run, word::Range& range, std::int64_t start, std::int64_t end);
    // A hit at [start, end) of the part `part` (empty: the main text).
    void reportHit(RunContext& run, HitKind kind, const std::string& path, const std::string& part, std::int64_t start,
                   std::int64_t end, const HitContext& context);
    // An occurrence the document refused to change.
    struct RefusedOccurrence {
        std::string part;
        std::int64_t position = 0;
        std::string text;
    };
    // Replaces in one story of an open document; false when a stop ended it.
    struct DocumentReplace;
    bool replaceInStory(RunContext& run, const std::string& path, word::Document& document, word::StoryId story,
                        DocumentReplace& state);
    // Whether any story the replace goes through holds a hit.
    static bool holdsHit(word::Document& document, const DocumentReplace& state);
    // The range of replace in marked results over the story `id` of the current document.
    word::Range& markedRange(word::StoryId id);
    void reportRefused(RunContext& run, const std::string& path, const RefusedOccurrence& refused);
    // One error item for each part of the document that could not be read.
    void reportUnreadable(RunContext& run, const std::string& path, const DocumentStories& stories);

    word::ApplicationFactory m_factory;
    std::unique_ptr<word::Application> m_application;
    word::Document* m_marked = nullptr;  // the current document of replace in marked results
    std::vector<std::pair<word::StoryId, word::Range*>> m_markedRanges;  // its ranges of parts, one per part
    std::string m_markedPath;
    RunContext* m_markedRun = nullptr;  // the run that opened it, for its journal
};

// The text an automation failure is reported with: the system's text of an
// automation error, "Laufzeitfehler '<n>':<description>" of a server error,
// or `otherwise`.
std::string DescribeDocumentFailure(std::exception_ptr failure, const std::string& otherwise);

}  // namespace tarnwick
