#include "engine/documents/WordDocumentEngine.h"

#include "engine/Messages.h"
#include "engine/documents/DocumentContext.h"
#include "engine/documents/DocumentParts.h"
#include "engine/job/EntryCounts.h"
#include "engine/job/RunReports.h"
#include "engine/job/SearchJob.h"
#include "engine/log/RunLog.h"
#include "engine/match/DocumentText.h"
#include "engine/match/PatternCache.h"
#include "engine/match/PreserveCase.h"
#include "engine/match/Utf16Pattern.h"
#include "engine/replace/BackupCopy.h"
#include "engine/replace/ChangePreview.h"
#include "engine/replace/JournalHooks.h"
#include "platform/CodePage.h"
#include "results/HitPosition.h"
#include "results/ResultList.h"
#include "word/automation/WordErrors.h"
#include "word/story/ExpressionFormat.h"
#include "word/story/TextFind.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <optional>
#include <vector>

namespace tarnwick {
namespace {

std::string formatRuntimeError(int number, const std::string& description)
{
    char head[64];
    std::snprintf(head, sizeof head, "Laufzeitfehler '%d':", number & 0xFFFF);
    return head + description;
}

// The format `replacement` filled in from the expression matched exactly
// over a marked hit's text, as a marked hit in a file is; false when it
// does not match there alone.
bool fillInMarkedHit(RunContext& run, std::u16string hit, std::u16string& replacement)
{
    std::erase_if(hit, [](char16_t c) { return word::IsOptionalHyphen(c); });
    const Utf16Pattern& pattern = run.patterns.forUtf16();
    if (!pattern.regex) return false;
    using Iterator = word::CodePointIterator<const UChar*>;
    const UChar* first = hit.data();
    const UChar* last = first + hit.size();
    word::CodePointMatch<const UChar*> match;
    if (!boost::regex_match(Iterator(first, first, last), Iterator(last, first, last), match, *pattern.regex)) return false;
    std::u16string filled;
    word::AppendExpressionFormat(match, word::ToFormatCodePoints(replacement), *pattern.regex, filled);
    replacement = std::move(filled);
    return true;
}

// With "Schreibweise der Treffer übernehmen": the replacement in the case of
// the marked hit, after its groups are filled in.
void keepHitCase(const RunContext& run, std::u16string_view hit, std::u16string& replacement)
{
    if (!run.job.preserveCase) return;
    std::u16string cased;
    AppendCasePreserved(hit, replacement, cased);
    replacement = std::move(cased);
}

std::u16string lowerDocumentText(std::u16string text)
{
    // Case as the engine's search text has it: the code page's folding, on
    // the UTF-16 units of the letters it knows.
    for (char16_t& c : text) {
        const std::uint32_t lower = LowerTwoByteCodePoint(c);
        if (c < 0x800 && lower < 0x800) c = static_cast<char16_t>(lower);
    }
    return text;
}

}  // namespace

std::string DescribeDocumentFailure(std::exception_ptr failure, const std::string& otherwise)
{
    try {
        std::rethrow_exception(failure);
    } catch (const word::AutomationError& e) {
        return e.what();
    } catch (const word::ServerError& e) {
        return formatRuntimeError(e.number(), e.description());
    } catch (...) {
        return otherwise;
    }
}

WordDocumentEngine::WordDocumentEngine(word::ApplicationFactory factory) : m_factory(factory) {}

WordDocumentEngine::~WordDocumentEngine() = default;

bool WordDocumentEngine::ensureWord(RunContext& run, const std::string& path)
{
    if (m_application) return true;
    try {
        m_application = m_factory ? m_factory() : nullptr;
    } catch (...) {
        m_application.reset();
    }
    if (m_application) return true;
    // Every following document tries again.
    ReportDocumentsUnavailable(run, path);
    return false;
}

bool WordDocumentEngine::searchesExpression(const RunContext& run) { return run.job.regularExpression && run.job.wordRegex; }

word::FindArguments WordDocumentEngine::findArguments(const RunContext& run) const
{
    word::FindArguments arguments;
    // Without expressions in documents, an expression is looked for
    // literally there (see searchArguments).
    arguments.findText = ToDocumentText(run.searchText, run.codePage);
    arguments.matchCase = run.job.matchCase;
    arguments.preserveCase = run.job.preserveCase;
    arguments.matchRegularExpression = searchesExpression(run);
    // As in files, an expression is never held to whole words.
    arguments.matchWholeWord = run.job.wholeWords && !arguments.matchRegularExpression;
    return arguments;
}

word::FindArguments WordDocumentEngine::searchArguments(RunContext& run) const
{
    // The run says once at its end that an expression was taken literally.
    if (run.job.regularExpression && !searchesExpression(run))
        run.counters.documentsLiteral.store(true, std::memory_order_relaxed);
    return findArguments(run);
}

WordDocumentEngine::HitContext WordDocumentEngine::contextOf(RunContext& run, word::Range& range, std::int64_t start,
                                                             std::int64_t end)
{
    // Before, hit and after are read on their own, so the hit's place in the
    // context does not depend on how many characters of the span the
    // document hides (field codes, hidden text) or shows twice (cell marks).
    const std::int64_t k = run.job.contextLength;
    range.SetStart(std::max<std::int64_t>(start - k, 0));
    range.SetEnd(start);
    const std::u16string before = range.Text();
    range.SetEnd(end);
    range.SetStart(start);
    const std::u16string hit = range.Text();
    range.SetEnd(end + k);
    range.SetStart(end);
    const std::u16string after = range.Text();
    range.SetStart(start);
    range.SetEnd(end);

    const DocumentContext context = BuildDocumentContext(before, hit, after, start <= k);
    const std::u16string_view text = context.text;
    // Offsets in the code page's characters (bytes of a UTF-8 code page).
    const std::string shown = FromDocumentText(text, run.codePage);
    const std::string upToHit = FromDocumentText(text.substr(0, context.hitOffset), run.codePage);
    const std::string hitShown = FromDocumentText(text.substr(context.hitOffset, context.hitLength), run.codePage);
    return {shown, static_cast<std::int32_t>(upToHit.size()), static_cast<std::int64_t>(hitShown.size())};
}

void WordDocumentEngine::reportHit(RunContext& run, HitKind kind, const std::string& path, const std::string& part,
                                   std::int64_t start, std::int64_t end, const HitContext& context)
{
    const std::string position = part.empty() ? std::string() : FormatHitPosition(part, start);
    HitEvent hit;
    hit.kind = kind;
    hit.inDocument = true;
    hit.path = path;
    hit.position = start;
    hit.positionText = position;
    hit.length = end - start;
    hit.context = context.text;
    hit.highlightStart = context.highlightStart;
    hit.highlightLength = context.highlightLength;
    run.sink.hit(hit);
}

namespace {

// The stories a run goes through: every one with the option, else the main text.
DocumentStories storiesToSearch(const RunContext& run, word::Document& document)
{
    DocumentStories stories;
    if (!run.job.wordAllParts) {
        stories.searched = stories.named = {word::StoryId{}};
        return stories;
    }
    stories.searched = document.Stories();
    stories.unreadable = document.Unreadable();
    stories.named = NamedStories(stories.searched, stories.unreadable);
    return stories;
}

word::Range& rangeOver(word::Document& document, word::StoryId id)
{
    return id.isMainText() ? document.StoryRange(word::kMainTextStory) : document.StoryRange(id);
}

// The text of every story searched, each part's paragraphs named, for a preview.
std::u16string previewText(word::Document& document, const DocumentStories& stories, const CodePage& codePage)
{
    std::u16string text;
    for (const word::StoryId id : stories.searched) {
        word::Range& range = rangeOver(document, id);
        range.SetStart(0);
        range.SetEnd(std::numeric_limits<std::int64_t>::max());
        text += LabelledPartText(ToDocumentText(DocumentPartName(id, stories.named), codePage), range.Text());
    }
    return text;
}

}  // namespace

void WordDocumentEngine::searchDocument(RunContext& run, const std::string& path)
{
    if (!ensureWord(run, path)) return;
    try {
        word::Application& application = *m_application;
        word::Documents& documents = application.GetDocuments();
        application.SetScreenUpdating(false);
        word::Document& document = documents.Open(path, false, true, false);
        const word::FindArguments arguments = searchArguments(run);
        const DocumentStories stories = storiesToSearch(run, document);
        EntryCounts counts(run.sink);
        bool found = false;
        const bool listWithoutHits = run.job.filesWithoutHits;
        for (const word::StoryId story : stories.searched) {
            // One hit in any part settles whether the document is listed.
            if (found && listWithoutHits) break;
            word::Range& range = rangeOver(document, story);
            word::Find& find = range.GetFind();
            find.ClearFormatting();
            const std::string part = DocumentPartName(story, stories.named);
            std::int64_t last = -1;
            while (find.Execute(arguments)) {
                // A stopped search leaves the document open until the application quits.
                if (run.stopRequested()) return;
                if (listWithoutHits) {
                    found = true;
                    break;
                }
                if (!found) {
                    run.sink.beginEntry({path, EntryKind::Document, 0});
                    found = true;
                }
                const std::int64_t start = range.Start();
                const std::int64_t end = range.End();
                // A find that does not move on would repeat for ever.
                if (start <= last) break;
                reportHit(run, HitKind::Found, path, part, start, end, contextOf(run, range, start, end));
                counts.addHit();
                last = start;
                range.SetStart(end);
            }
        }
        application.SetScreenUpdating(true);
        if (listWithoutHits) {
            // A part that could not be read may hold a hit: such a document
            // has only its error items.
            if (!found && stories.unreadable.empty() && !run.stopRequested())
                ReportFileWithoutHits(run, {path, EntryKind::Document, 0});
        } else if (found) {
            counts.addFile();
        }
        reportUnreadable(run, path, stories);
        document.Close(false);
    } catch (...) {
        ReportDocumentFailure(run, path, DescribeDocumentFailure(std::current_exception(), text::kWordProcessingFailed));
    }
}

void WordDocumentEngine::reportUnreadable(RunContext& run, const std::string& path, const DocumentStories& stories)
{
    // After the hits the readable parts gave: each part that could not be
    // read is an item of its own that names it.
    for (const word::UnreadableStories& part : stories.unreadable)
        ReportUnreadablePart(
            run, path, UnreadablePartName(part, stories.named) + ": " + formatRuntimeError(part.errorNumber, part.description));
}

void WordDocumentEngine::reportRefused(RunContext& run, const std::string& path, const RefusedOccurrence& refused)
{
    ReportRefusedOccurrence(run, path, FormatHitPosition(refused.part, refused.position), refused.text);
}

struct WordDocumentEngine::DocumentReplace {
    word::FindArguments arguments;
    word::FindArguments locate;  // the same, finding without replacing
    DocumentStories stories;
    std::int64_t replaced = 0;
    bool listed = false;  // the document's item is in the list
    // Refused before the first replacement: listed after the backup and
    // the document's item, which come with the first change.
    std::vector<RefusedOccurrence> refusedEarly;
};

bool WordDocumentEngine::replaceInStory(RunContext& run, const std::string& path, word::Document& document, word::StoryId story,
                                        DocumentReplace& state)
{
    word::Range& range = rangeOver(document, story);
    word::Find& find = range.GetFind();
    find.ClearFormatting();
    const std::string part = DocumentPartName(story, state.stories.named);
    std::int64_t last = -1;
    for (;;) {
        std::string refusal;
        bool found = false;
        try {
            found = find.Execute(state.arguments);
        } catch (const word::ServerError& e) {
            // One occurrence the document does not let change (a field's
            // code or result, a tracked deletion, ...): it is skipped and
            // the others are still replaced. Anything else ends the document.
            if (e.number() != word::kErrorRefusedSpan) throw;
            refusal = DescribeDocumentFailure(std::current_exception(), text::kWordProcessingFailed);
            found = find.Execute(state.locate);
        }
        if (!found) return true;
        // Stopped: nothing is saved; the document stays open unsaved.
        if (run.stopRequested()) return false;
        const std::int64_t start = range.Start();
        const std::int64_t end = range.End();
        // A find that does not move on would repeat for ever.
        if (start <= last) return true;
        last = start;
        if (!refusal.empty()) {
            const RefusedOccurrence refused{part, start, refusal};
            if (state.listed)
                reportRefused(run, path, refused);
            else
                state.refusedEarly.push_back(refused);
            range.SetEnd(end);
            range.SetStart(end);
            continue;
        }
        if (!state.listed) {
            // The file on disk is still unchanged: nothing has been saved.
            if (run.job.makeBackup) MakeBackupCopyOfPath(run, path);
            run.sink.beginEntry({path, EntryKind::Document, 0});
            state.listed = true;
            for (const RefusedOccurrence& refused : state.refusedEarly) reportRefused(run, path, refused);
        }
        const HitContext context = contextOf(run, range, start, end);
        // The next execution starts behind the inserted text.
        range.SetEnd(end);
        range.SetStart(end);
        reportHit(run, HitKind::Replaced, path, part, start, end, context);
        ++state.replaced;
    }
}

bool WordDocumentEngine::holdsHit(word::Document& document, const DocumentReplace& state)
{
    for (const word::StoryId story : state.stories.searched) {
        word::Find& find = rangeOver(document, story).GetFind();
        find.ClearFormatting();
        if (find.Execute(state.locate)) return true;
    }
    return false;
}

void WordDocumentEngine::replaceDocument(RunContext& run, const std::string& path)
{
    if (!ensureWord(run, path)) return;
    DocumentReplace state;
    try {
        word::Documents& documents = m_application->GetDocuments();
        word::Document& document = documents.Open(path, false, false, false);
        state.arguments = searchArguments(run);
        state.arguments.replaceWith = ToDocumentText(run.replacementText, run.codePage);
        state.arguments.replace = word::FindReplace::One;
        state.arguments.replaceIsFormat = UsesCaptures(run.job);
        state.locate = state.arguments;
        state.locate.replace = word::FindReplace::None;
        state.stories = storiesToSearch(run, document);
        if (UsesCaptures(run.job) && !state.arguments.matchRegularExpression) {
            // Searched literally, a hit has no groups: the document is left
            // as it is, and only one with a hit says so.
            if (holdsHit(document, state)) ReportUnsupported(run, path, text::kCapturesInLiteralDocument);
            reportUnreadable(run, path, state.stories);
            document.Close(false);
            return;
        }
        // A preview compares the text before and after.
        const std::u16string before = run.preview ? previewText(document, state.stories, run.codePage) : std::u16string();
        for (const word::StoryId story : state.stories.searched) {
            if (!replaceInStory(run, path, document, story, state)) {
                if (state.replaced > 0) run.sink.note({NoteKind::NotChanged, path, {}});
                return;
            }
        }
        if (!state.listed && !state.refusedEarly.empty()) {
            run.sink.beginEntry({path, EntryKind::Document, 0});
            for (const RefusedOccurrence& refused : state.refusedEarly) reportRefused(run, path, refused);
        }
        // A part that could not be read is not written either: the package
        // formats write back only the parts that changed.
        reportUnreadable(run, path, state.stories);
        if (state.replaced > 0) {
            if (run.preview) {
                run.preview->document(path, before, previewText(document, state.stories, run.codePage), state.replaced);
            } else {
                const Expected<std::uint64_t> entry = JournalBeforeDocumentSave(run, path);
                if (!entry) {
                    document.Close(false);
                    run.sink.note({NoteKind::NotChanged, path, {}});
                    return;
                }
                const std::uint64_t journalEntry = entry.value();
                try {
                    // The document saves itself; its commit records the intent here.
                    JournalCommitGate gate(run, path, journalEntry);
                    const ScopedCommitGate scope(gate.get());
                    document.Save();
                } catch (...) {
                    JournalAfterCommit(run, journalEntry, false);
                    throw;
                }
                JournalAfterCommit(run, journalEntry, true);
            }
            // Counted once the document holds them.
            run.sink.committed({CommitKind::Contents, path, state.replaced});
        }
        document.Close(false);
    } catch (...) {
        ReportDocumentFailure(run, path, DescribeDocumentFailure(std::current_exception(), text::kWordProcessingFailed));
        if (state.replaced > 0) run.sink.note({NoteKind::NotChanged, path, {}});
    }
}

word::Range& WordDocumentEngine::markedRange(word::StoryId id)
{
    for (const auto& [story, range] : m_markedRanges)
        if (story == id) return *range;
    word::Range& range = m_marked->StoryRange(id);
    m_markedRanges.emplace_back(id, &range);
    return range;
}

bool WordDocumentEngine::stillFound(const RunContext& run, word::StoryId story, std::u16string selected, std::int64_t position,
                                    std::int64_t length)
{
    if (searchesExpression(run)) {
        // An expression's hit is what the document finds there, exactly.
        word::Range& range = story.isMainText() ? m_marked->StoryRange(word::kMainTextStory) : markedRange(story);
        range.SetStart(position);
        range.SetEnd(position + length);
        return range.GetFind().Execute(findArguments(run)) && range.Start() == position && range.End() == position + length;
    }
    // Optional hyphens belong to a hit without being part of the search text.
    std::erase_if(selected, [](char16_t c) { return word::IsOptionalHyphen(c); });
    const std::u16string expected = ToDocumentText(run.searchText, run.codePage);
    return run.job.matchCase ? selected == expected : lowerDocumentText(selected) == lowerDocumentText(expected);
}

Expected<std::int64_t> WordDocumentEngine::replaceMarked(RunContext& run, const std::string& path, std::string_view part,
                                                         std::int64_t position, std::int64_t length, bool backup)
{
    if (!m_application) return refusal(text::kWordCannotStart);
    if (!m_marked || m_markedPath != path) {
        if (backup) MakeBackupCopyOfPath(run, path);
        try {
            m_marked = &m_application->GetDocuments().Open(path, false, false, false);
            m_markedPath = path;
            m_markedRun = &run;
            m_markedRanges.clear();
        } catch (...) {
            m_marked = nullptr;
            char fallback[600];
            std::snprintf(fallback, sizeof fallback, text::kWordOpenFailed, path.c_str());
            return refusal(DescribeDocumentFailure(std::current_exception(), fallback));
        }
    }
    // A part the document does not have (any more) cannot hold the search text.
    const std::optional<word::StoryId> story = DocumentPartOfName(part);
    if (!story) return refusal(text::kChangedSinceSearch);
    // Found literally, a hit has no groups.
    const bool captures = UsesCaptures(run.job);
    if (captures && !searchesExpression(run)) return refusal(text::kCapturesInLiteralDocument);
    try {
        std::u16string replacement = ToDocumentText(run.replacementText, run.codePage);
        if (story->isMainText()) {
            word::Selection& selection = m_application->GetSelection();
            selection.SetStart(position);
            selection.SetEnd(position + length);
            const std::u16string hit = selection.Text();
            if (!stillFound(run, *story, hit, position, length) || (captures && !fillInMarkedHit(run, hit, replacement)))
                return refusal(text::kChangedSinceSearch);
            keepHitCase(run, hit, replacement);
            selection.SetText(replacement);
        } else {
            word::Range& range = markedRange(*story);
            range.SetStart(position);
            range.SetEnd(position + length);
            const std::u16string hit = range.Text();
            if (range.Start() != position || !stillFound(run, *story, hit, position, length) ||
                (captures && !fillInMarkedHit(run, hit, replacement)))
                return refusal(text::kChangedSinceSearch);
            keepHitCase(run, hit, replacement);
            range.SetStart(position);
            range.SetEnd(position + length);
            range.SetText(replacement);
        }
        return static_cast<std::int64_t>(replacement.size()) - length;
    } catch (const word::ServerError& e) {
        if (e.number() == word::kErrorNoSuchStory) return refusal(text::kChangedSinceSearch);
        return refusal(DescribeDocumentFailure(std::current_exception(), text::kWordProcessingFailed));
    } catch (...) {
        return refusal(DescribeDocumentFailure(std::current_exception(), text::kWordProcessingFailed));
    }
}

Expected<void> WordDocumentEngine::finishMarked()
{
    if (!m_marked) return succeeded();
    word::Document* document = m_marked;
    RunContext* run = m_markedRun;
    const std::string path = std::move(m_markedPath);
    m_marked = nullptr;
    m_markedRun = nullptr;
    m_markedPath.clear();
    m_markedRanges.clear();
    std::uint64_t journalEntry = 0;
    if (run) {
        const Expected<std::uint64_t> entry = JournalBeforeDocumentSave(*run, path);
        if (!entry) {
            try {
                document->Close(false);
            } catch (...) {
                // Nothing was saved; the document is given up either way.
            }
            return systemFailure(entry.error().code, text::kFileNotChanged);
        }
        journalEntry = entry.value();
    }
    try {
        std::optional<JournalCommitGate> gate;
        if (run) gate.emplace(*run, path, journalEntry);
        const ScopedCommitGate scope(gate ? gate->get() : nullptr);
        document->Save();
    } catch (...) {
        if (run) JournalAfterCommit(*run, journalEntry, false);
        return refusal(DescribeDocumentFailure(std::current_exception(), text::kSaveFileFailed));
    }
    if (run) JournalAfterCommit(*run, journalEntry, true);
    try {
        document->Close(false);
        return succeeded();
    } catch (...) {
        return refusal(DescribeDocumentFailure(std::current_exception(), text::kSaveFileFailed));
    }
}

void WordDocumentEngine::abandonMarked()
{
    if (!m_marked) return;
    try {
        m_marked->Close(false);
    } catch (...) {
        // Nothing was saved; the document is given up either way.
    }
    m_marked = nullptr;
    m_markedRun = nullptr;
    m_markedPath.clear();
    m_markedRanges.clear();
}

std::pair<std::string, std::string> WordDocumentEngine::quit()
{
    if (!m_application) return {};
    std::pair<std::string, std::string> message;
    try {
        m_application->Quit(false);
    } catch (const word::AutomationError& e) {
        message = {text::kComErrorTitle, e.what()};
    } catch (const word::ServerError& e) {
        message = {text::kServerErrorTitle, formatRuntimeError(e.number(), e.description())};
    } catch (...) {
        // Other failures while quitting are of no use to the user.
    }
    m_marked = nullptr;
    m_markedRanges.clear();
    m_application.reset();
    return message;
}

}  // namespace tarnwick
