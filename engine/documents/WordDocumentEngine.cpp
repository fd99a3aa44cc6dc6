#include "engine/documents/WordDocumentEngine.h"

#include "engine/Messages.h"
#include "engine/documents/DocumentText.h"
#include "engine/job/RunReports.h"
#include "engine/log/RunLog.h"
#include "engine/replace/BackupCopy.h"
#include "platform/CodePage.h"
#include "results/ResultList.h"

#include <algorithm>
#include <cstdio>

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

word::FindArguments WordDocumentEngine::findArguments(const RunContext& run) const
{
    word::FindArguments arguments;
    // Expressions are looked for literally in documents.
    arguments.findText = ToDocumentText(run.searchText, run.codePage);
    arguments.matchCase = run.job.matchCase;
    arguments.matchWholeWord = run.job.wholeWords;
    return arguments;
}

std::pair<std::string, std::int32_t> WordDocumentEngine::contextOf(RunContext& run, word::Range& range, std::int64_t start,
                                                                   std::int64_t end)
{
    const std::int64_t k = run.job.contextLength;
    range.SetEnd(end + k);
    range.SetStart(std::max<std::int64_t>(start - k, 0));
    std::u16string text = range.Text();
    range.SetStart(start);
    range.SetEnd(end);

    // The hit's index in the text; the line before it back to a line end.
    auto index = static_cast<std::size_t>(std::min(k, start));
    index = std::min(index, text.size());
    std::size_t lineEnd = std::u16string::npos;
    for (std::size_t j = index + 1; j-- > 0;) {
        if (j < text.size() && (text[j] == u'\n' || text[j] == u'\r')) {
            lineEnd = j;
            break;
        }
    }
    std::u16string prefix;
    std::size_t offset;
    if (lineEnd != std::u16string::npos) {
        text.erase(0, lineEnd + 1);
        offset = index - lineEnd - 1;
    } else {
        prefix = u"...";
        offset = index + 3;
    }
    text.insert(0, prefix);
    const std::size_t cr = text.find(u'\r');
    if (cr != std::u16string::npos)
        text.resize(cr);
    else
        text += u"...";
    std::replace(text.begin(), text.end(), u'\n', u' ');
    // The offset in the code page's characters (bytes of a UTF-8 code page).
    const std::string before = FromDocumentText(std::u16string_view(text).substr(0, std::min(offset, text.size())), run.codePage);
    return {FromDocumentText(text, run.codePage), static_cast<std::int32_t>(before.size())};
}

void WordDocumentEngine::reportHit(RunContext& run, const std::string& path, std::int64_t start, std::int64_t end,
                                   const std::pair<std::string, std::int32_t>& context, const std::u16string& hitText)
{
    run.sink.AppendLog(text::kWordPrefix);
    run.sink.LogHitLine(path, start, end - start, context.first);
    const auto highlight = static_cast<std::int64_t>(FromDocumentText(hitText, run.codePage).size());
    run.sink.AddHitItem(start, end - start, context.first, context.second, ItemKind::None, highlight);
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
        const word::FindArguments arguments = findArguments(run);
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
            const auto context = contextOf(run, range, start, end);
            reportHit(run, path, start, end, context, range.Text());
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
        word::FindArguments arguments = findArguments(run);
        arguments.replaceWith = ToDocumentText(run.replacementText, run.codePage);
        arguments.replace = word::FindReplace::One;
        std::int64_t last = -1;
        while (find.Execute(arguments)) {
            // Stopped: nothing is saved; the document stays open unsaved.
            if (run.stopRequested()) {
                if (replaced > 0) run.sink.LogMessageLine(text::kFileNotChanged, path);
                return;
            }
            if (replaced == 0) {
                // The file on disk is still unchanged: nothing has been saved.
                if (run.job.makeBackup) MakeBackupCopyOfPath(run, path);
                run.sink.AddFileItem(path, ItemKind::Document);
            }
            const std::int64_t start = range.Start();
            const std::int64_t end = range.End();
            if (start <= last) break;
            const auto context = contextOf(run, range, start, end);
            const std::u16string inserted = range.Text();
            // The next execution starts behind the inserted text.
            range.SetEnd(end);
            range.SetStart(end);
            reportHit(run, path, start, end, context, inserted);
            last = start;
            ++replaced;
        }
        if (replaced > 0) {
            document.Save();
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
            m_markedPath = path;
        } catch (...) {
            m_marked = nullptr;
            char fallback[600];
            std::snprintf(fallback, sizeof fallback, text::kWordOpenFailed, path.c_str());
            return {false, 0, DescribeDocumentFailure(std::current_exception(), fallback)};
        }
    }
    try {
        word::Selection& selection = m_application->GetSelection();
        selection.SetStart(position);
        selection.SetEnd(position + length);
        const std::u16string selected = selection.Text();
        const std::u16string expected = ToDocumentText(run.searchText, run.codePage);
        const bool same = run.job.matchCase ? selected == expected : lowerDocumentText(selected) == lowerDocumentText(expected);
        if (!same) return {false, 0, text::kChangedSinceSearch};
        const std::u16string replacement = ToDocumentText(run.replacementText, run.codePage);
        selection.SetText(replacement);
        return {true, static_cast<std::int64_t>(replacement.size()) - length, {}};
    } catch (...) {
        return {false, 0, DescribeDocumentFailure(std::current_exception(), text::kWordProcessingFailed)};
    }
}

std::string WordDocumentEngine::FinishMarked()
{
    if (!m_marked) return {};
    word::Document* document = m_marked;
    m_marked = nullptr;
    m_markedPath.clear();
    try {
        document->Save();
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
    m_application.reset();
    return message;
}

}  // namespace tarnwick
