#pragma once
// The automation interface through which the engine reaches word-processor
// documents: an application with its documents, each document's main text
// range with its find object, and the selection. The members are exactly
// those the engine calls; another implementation (a real word processor's
// automation) could take the place of the built-in one.
//
// Positions are character positions in a story of a document (the main
// text unless a range says otherwise), counted in UTF-16 units. Texts are UTF-16. Objects handed out by reference live as
// long as their owner: a document until it is closed, the rest as long as
// the application. Not thread-safe: one application per thread.
//
// Failures in the document component: every member either does what it
// says or throws, as an automation server's call does: ServerError with one
// of the numbers of WordErrors.h and a German description for anything the
// document or the file refuses, AutomationError for a fault of the
// connection itself. Nothing returns an error code or a sentinel; platform
// failures are turned into ServerError where the component calls the
// platform (DocumentFile, FileSniffer). The engine, which reports failures
// as every layer below the front ends does (an Expected, platform/
// Expected.h), turns a ServerError into a Failure where it calls this
// interface. Starting the word processor (SofficeProcess) gives an Expected.
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "word/automation/StoryId.h"

namespace tarnwick::word {

// An error of the automation layer itself: an error code with the system's
// text for it (shown as that text).
class AutomationError : public std::runtime_error {
public:
    AutomationError(int code, const std::string& systemText) : std::runtime_error(systemText), m_code(code) {}
    int code() const { return m_code; }

private:
    int m_code;
};

// An error raised by the document server: a number and a description (shown
// as "Laufzeitfehler '<number>':<description>").
class ServerError : public std::runtime_error {
public:
    ServerError(int number, const std::string& description) : std::runtime_error(description), m_number(number) {}
    int number() const { return m_number; }
    std::string description() const { return what(); }

private:
    int m_number;
};

// Where Find.Execute goes on when it reaches the end of its range. The
// values are the interface's numbers.
enum class FindWrap : std::int32_t {
    Stop = 0,  // stop at the end of the story
    Continue = 1,  // go on at its start
};

// What Find.Execute replaces. The values are the interface's numbers.
enum class FindReplace : std::int32_t {
    None = 0,
    One = 1,  // the occurrence found
    All = 2,
};

// The arguments of Find.Execute.
struct FindArguments {
    std::u16string findText;
    bool matchCase = false;
    bool matchWholeWord = false;
    bool matchWildcards = false;
    bool matchSoundsLike = false;
    bool matchAllWordForms = false;
    bool forward = true;
    FindWrap wrap = FindWrap::Stop;
    bool format = false;
    std::u16string replaceWith;
    FindReplace replace = FindReplace::None;
    // Beyond the word processor's interface: findText is a regular
    // expression with the syntax of the program's search in files (Perl,
    // without case when matchCase is off); matchWholeWord does not apply.
    // The replacement is inserted as it is, unless replaceIsFormat.
    bool matchRegularExpression = false;
    // With matchRegularExpression: replaceWith is a Perl format ($1,
    // ${name}, \U..\E ...) filled in from each match's groups; the case of
    // the found text is then not carried over, the format says the case.
    bool replaceIsFormat = false;
    // The replacement takes the case of each hit (word/story/HitCase.h),
    // after its format is filled in; the found text's capitals are then not
    // carried over as above.
    bool preserveCase = false;
};

// The object model keeps the names it is documented under (README.md,
// "Names").
// NOLINTBEGIN(readability-identifier-naming)
class Find {
public:
    virtual ~Find() = default;
    virtual void ClearFormatting() = 0;
    // Looks for the next occurrence inside the range; after a hit, the next
    // call goes on behind it, and a collapsed range searches from its
    // position to the end of the story. True when found: the range then
    // covers the hit, or, with replace 1, the inserted replacement. False
    // leaves the range as it was.
    virtual bool Execute(const FindArguments& arguments) = 0;
};

class Range {
public:
    virtual ~Range() = default;
    virtual Find& GetFind() = 0;
    virtual std::int64_t Start() const = 0;
    virtual std::int64_t End() const = 0;
    virtual void SetStart(std::int64_t position) = 0;
    virtual void SetEnd(std::int64_t position) = 0;
    // The visible text of the range (field codes and hidden text left out).
    virtual std::u16string Text() const = 0;
    // Replaces the text of the range; the range then covers the new text.
    // Refused (kErrorUnsupported) where the server offers only the selection.
    virtual void SetText(const std::u16string& text);
    // Makes the range the selection, in the range's story. Refused
    // (kErrorUnsupported) where the server selects in the main text only.
    virtual void Select();
};

class Selection {
public:
    virtual ~Selection() = default;
    virtual std::int64_t Start() const = 0;
    virtual std::int64_t End() const = 0;
    virtual void SetStart(std::int64_t position) = 0;
    virtual void SetEnd(std::int64_t position) = 0;
    virtual std::u16string Text() const = 0;
    // Replaces the selected text; the selection then covers the new text.
    virtual void SetText(const std::u16string& text) = 0;
    // The story the selection lies in; its positions count in that story.
    virtual StoryId Story() const { return StoryId{}; }
};

// The index of the main text among a document's story ranges.
inline constexpr int kMainTextStory = 1;

class Document {
public:
    virtual ~Document() = default;
    // StoryRanges.Item(index); kMainTextStory is the main text.
    virtual Range& StoryRange(int index) = 0;
    // Every story of the document in the order they are searched (headers,
    // the main text, footnotes, endnotes, comments, text boxes, footers);
    // only the main text where the server offers no others.
    virtual std::vector<StoryId> Stories();
    // A new range over the whole story `id`, one of those Stories() names;
    // others are refused (kErrorNoSuchStory).
    virtual Range& StoryRange(StoryId id);
    // The stories the document could not read, once Stories() was asked
    // (they are missing there); none where the server offers no others.
    virtual std::vector<UnreadableStories> Unreadable() { return {}; }
    virtual std::string FullName() const = 0;
    virtual void Activate() = 0;
    virtual void Save() = 0;
    // Closes the document; the reference is invalid afterwards.
    virtual void Close(bool saveChanges) = 0;
};

class Documents {
public:
    virtual ~Documents() = default;
    // Opens the document, which becomes the active one.
    virtual Document& Open(const std::string& path, bool confirmConversions, bool readOnly, bool addToRecentFiles) = 0;
};

class Application {
public:
    virtual ~Application() = default;
    virtual Documents& GetDocuments() = 0;
    virtual Selection& GetSelection() = 0;
    virtual void SetScreenUpdating(bool on) = 0;
    // Ends the application; open documents are closed without saving.
    virtual void Quit(bool saveChanges) = 0;
    // Fails when the connection is gone.
    virtual void Windows() = 0;
    // Fails when no document is open.
    virtual Document& ActiveDocument() = 0;
    virtual void SetVisible(bool visible) = 0;
};
// NOLINTEND(readability-identifier-naming)

// Creates the application object ("Word.Application"). Throws
// AutomationError when it cannot be started.
using ApplicationFactory = std::unique_ptr<Application> (*)();

// The built-in component, which reads and writes the files directly.
std::unique_ptr<Application> CreateFileApplication();

}  // namespace tarnwick::word
