#include "engine/documents/WordDocumentEngine.h"

#include "engine/Messages.h"
#include "engine/documents/DocumentContext.h"
#include "engine/documents/DocumentText.h"
#include "engine/job/RunReports.h"
#include "engine/log/RunLog.h"
#include "engine/replace/BackupCopy.h"
#include "engine/replace/ChangePreview.h"
#include "engine/undo/JournalHooks.h"
#include "platform/CodePage.h"
#include "results/ResultList.h"
#include "word/automation/WordErrors.h"
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

bool WordDocumentEngine::EnsureWord(RunContext& run, const std::string& path)
{
    if (m_application) return true;
    try {
        m_application = m_factory ? m_factory() : nullptr;
    } catch (...) {
        m_application.reset();
    }
    if (m_application) return true;
    // Every following document tries again.
    run.sink.LogMessageLine(text::kWordCannotStart, path);
    const ItemHandle item = run.sink.AddFileItem(std::string(text::kWordCannotStart) + ": " + path, ItemKind::Error);
    run.sink.ScrollToItem(item);
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

void WordDocumentEngine::reportHit(RunContext& run, const std::string& path, std::int64_t start, std::int64_t end,
                                   const HitContext& context)
{
    run.sink.AppendLog(text::kWordPrefix);
    run.sink.LogHitLine(path, start, end - start, context.text);
    run.sink.AddHitItem(start, end - start, context.text, context.highlightStart, ItemKind::None, context.highlightLength);
}

void WordDocumentEngine::reportFailure(RunContext& run, const std::string& path, const std::string& text)
{
    run.sink.LogMessageLine(text, path);
    const ItemHandle item = run.sink.AddFileItem(path, ItemKind::Error);
    run.sink.SetItemColumnText(item, text, ResultColumn::Remark);
}

void WordDocumentEngine::SearchDocument(RunContext& run, const std::string& path)
{
    if (!EnsureWord(run, path)) return;
    try {
        word::Application& application = *m_application;
        word::Documents& documents = application.GetDocuments();
        application.SetScreenUpdating(false);
        word::Document& document = documents.Open(path, false, true, false);
        word::Range& range = document.StoryRange(word::kMainTextStory);
        word::Find& find = range.GetFind();
        find.ClearFormatting();
        const word::FindArguments arguments = searchArguments(run);
        std::int64_t last = -1;
        bool found = false;
        while (find.Execute(arguments)) {
            // A stopped search leaves the document open until the application quits.
            if (run.stopRequested()) return;
            if (!found) {
                run.sink.AddFileItem(path, ItemKind::Document);
                found = true;
            }
            const std::int64_t start = range.Start();
            const std::int64_t end = range.End();
            // A find that does not move on would repeat for ever.
            if (start <= last) break;
            reportHit(run, path, start, end, contextOf(run, range, start, end));
            run.sink.AddCounts(1, 0);
            last = start;
            range.SetStart(end);
        }
        application.SetScreenUpdating(true);
        if (found) run.sink.AddCounts(0, 1);
        document.Close(false);
    } catch (...) {
        reportFailure(run, path, DescribeDocumentFailure(std::current_exception(), text::kWordProcessingFailed));
    }
}

void WordDocumentEngine::reportRefused(RunContext& run, const std::string& path, const RefusedOccurrence& refused)
{
    // A child of the document's item, so that the document's later hits
    // stay under the document.
    const std::string position = std::to_string(refused.position);
    run.sink.LogMessageLine(refused.text, path + "; P: " + position);
    const ItemHandle item = run.sink.AddFileItem(path, ItemKind::Error, true);
    run.sink.SetItemColumnText(item, position, ResultColumn::Position);
    run.sink.SetItemColumnText(item, refused.text, ResultColumn::Remark);
}

void WordDocumentEngine::ReplaceDocument(RunContext& run, const std::string& path)
{
    if (!EnsureWord(run, path)) return;
    std::int64_t replaced = 0;
    try {
        word::Documents& documents = m_application->GetDocuments();
        word::Document& document = documents.Open(path, false, false, false);
        word::Range& range = document.StoryRange(word::kMainTextStory);
        word::Find& find = range.GetFind();
        find.ClearFormatting();
        word::FindArguments arguments = searchArguments(run);
        arguments.replaceWith = ToDocumentText(run.replacementText, run.codePage);
        arguments.replace = word::FindReplace::One;
        word::FindArguments locate = arguments;
        locate.replace = word::FindReplace::None;
        // A preview compares the main text before and after.
        const std::u16string before = run.preview ? range.Text() : std::u16string();
        std::int64_t last = -1;
        bool listed = false;  // the document's item is in the list
        // Refused before the first replacement: listed after the backup and
        // the document's item, which come with the first change.
        std::vector<RefusedOccurrence> refusedEarly;
        for (;;) {
            std::string refusal;
            bool found = false;
            try {
                found = find.Execute(arguments);
            } catch (const word::ServerError& e) {
                // One occurrence the document does not let change (a field's
                // code or result, a tracked deletion, ...): it is skipped and
                // the others are still replaced. Anything else ends the document.
                if (e.number() != word::kErrorRefusedSpan) throw;
                refusal = DescribeDocumentFailure(std::current_exception(), text::kWordProcessingFailed);
                found = find.Execute(locate);
            }
            if (!found) break;
            // Stopped: nothing is saved; the document stays open unsaved.
            if (run.stopRequested()) {
                if (replaced > 0) run.sink.LogMessageLine(text::kFileNotChanged, path);
                return;
            }
            const std::int64_t start = range.Start();
            const std::int64_t end = range.End();
            // A find that does not move on would repeat for ever.
            if (start <= last) break;
            last = start;
            if (!refusal.empty()) {
                const RefusedOccurrence refused{start, refusal};
                if (listed)
                    reportRefused(run, path, refused);
                else
                    refusedEarly.push_back(refused);
                range.SetEnd(end);
                range.SetStart(end);
                continue;
            }
            if (!listed) {
                // The file on disk is still unchanged: nothing has been saved.
                if (run.job.makeBackup) MakeBackupCopyOfPath(run, path);
                run.sink.AddFileItem(path, ItemKind::Document);
                listed = true;
                for (const RefusedOccurrence& refused : refusedEarly) reportRefused(run, path, refused);
            }
            const HitContext context = contextOf(run, range, start, end);
            // The next execution starts behind the inserted text.
            range.SetEnd(end);
            range.SetStart(end);
            reportHit(run, path, start, end, context);
            ++replaced;
        }
        if (!listed && !refusedEarly.empty()) {
            run.sink.AddFileItem(path, ItemKind::Document);
            for (const RefusedOccurrence& refused : refusedEarly) reportRefused(run, path, refused);
        }
        if (replaced > 0) {
            if (run.preview) {
                range.SetStart(0);
                range.SetEnd(std::numeric_limits<std::int64_t>::max());
                run.preview->Document(path, before, range.Text(), replaced);
            } else {
                std::uint64_t journalEntry = 0;
                if (!JournalBeforeDocumentSave(run, path, journalEntry)) {
                    document.Close(false);
                    run.sink.LogMessageLine(text::kFileNotChanged, path);
                    return;
                }
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
            run.sink.AddCounts(static_cast<std::int32_t>(replaced), 1);
        }
        document.Close(false);
    } catch (...) {
        reportFailure(run, path, DescribeDocumentFailure(std::current_exception(), text::kWordProcessingFailed));
        if (replaced > 0) run.sink.LogMessageLine(text::kFileNotChanged, path);
    }
}

DocumentEdit WordDocumentEngine::ReplaceMarked(RunContext& run, const std::string& path, std::int64_t position,
                                               std::int64_t length, bool backup)
{
    if (!m_application) return {false, 0, text::kWordCannotStart};
    if (!m_marked || m_markedPath != path) {
        if (backup) MakeBackupCopyOfPath(run, path);
        try {
            m_marked = &m_application->GetDocuments().Open(path, false, false, false);
            m_markedRange = &m_marked->StoryRange(word::kMainTextStory);
            m_markedPath = path;
            m_markedRun = &run;
        } catch (...) {
            m_marked = nullptr;
            m_markedRange = nullptr;
            char fallback[600];
            std::snprintf(fallback, sizeof fallback, text::kWordOpenFailed, path.c_str());
            return {false, 0, DescribeDocumentFailure(std::current_exception(), fallback)};
        }
    }
    try {
        word::Selection& selection = m_application->GetSelection();
        selection.SetStart(position);
        selection.SetEnd(position + length);
        if (!stillFound(run, position, length)) return {false, 0, text::kChangedSinceSearch};
        const std::u16string replacement = ToDocumentText(run.replacementText, run.codePage);
        selection.SetText(replacement);
        return {true, static_cast<std::int64_t>(replacement.size()) - length, {}};
    } catch (...) {
        return {false, 0, DescribeDocumentFailure(std::current_exception(), text::kWordProcessingFailed)};
    }
}

bool WordDocumentEngine::stillFound(const RunContext& run, std::int64_t position, std::int64_t length)
{
    if (searchesExpression(run)) {
        // An expression's hit is what the document finds there, exactly.
        word::Range& range = *m_markedRange;
        range.SetStart(position);
        range.SetEnd(position + length);
        return range.GetFind().Execute(findArguments(run)) && range.Start() == position && range.End() == position + length;
    }
    // Optional hyphens belong to a hit without being part of the search text.
    std::u16string selected = m_application->GetSelection().Text();
    std::erase_if(selected, [](char16_t c) { return word::IsOptionalHyphen(c); });
    const std::u16string expected = ToDocumentText(run.searchText, run.codePage);
    return run.job.matchCase ? selected == expected : lowerDocumentText(selected) == lowerDocumentText(expected);
}

std::string WordDocumentEngine::FinishMarked()
{
    if (!m_marked) return {};
    word::Document* document = m_marked;
    RunContext* run = m_markedRun;
    const std::string path = std::move(m_markedPath);
    m_marked = nullptr;
    m_markedRange = nullptr;
    m_markedRun = nullptr;
    m_markedPath.clear();
    std::uint64_t journalEntry = 0;
    if (run && !JournalBeforeDocumentSave(*run, path, journalEntry)) {
        try {
            document->Close(false);
        } catch (...) {
            // Nothing was saved; the document is given up either way.
        }
        return text::kFileNotChanged;
    }
    try {
        std::optional<JournalCommitGate> gate;
        if (run) gate.emplace(*run, path, journalEntry);
        const ScopedCommitGate scope(gate ? gate->get() : nullptr);
        document->Save();
    } catch (...) {
        if (run) JournalAfterCommit(*run, journalEntry, false);
        return DescribeDocumentFailure(std::current_exception(), text::kSaveFileFailed);
    }
    if (run) JournalAfterCommit(*run, journalEntry, true);
    try {
        document->Close(false);
        return {};
    } catch (...) {
        return DescribeDocumentFailure(std::current_exception(), text::kSaveFileFailed);
    }
}

void WordDocumentEngine::AbandonMarked()
{
    if (!m_marked) return;
    try {
        m_marked->Close(false);
    } catch (...) {
        // Nothing was saved; the document is given up either way.
    }
    m_marked = nullptr;
    m_markedRange = nullptr;
    m_markedRun = nullptr;
    m_markedPath.clear();
}

std::pair<std::string, std::string> WordDocumentEngine::Quit()
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
    m_markedRange = nullptr;
    m_application.reset();
    return message;
}

}  // namespace tarnwick
