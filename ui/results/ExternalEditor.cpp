#include "ui/results/ExternalEditor.h"

#include <QProcess>
#include <QStringDecoder>
#include <QStringList>

#include <algorithm>
#include <fstream>

#include "ui/common/EngineText.h"
#include "ui/results/ResultsCommandTexts.h"

namespace tarnwick::ui {
namespace {

bool isContinuationByte(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The column of the end of `line` (a line's bytes up to the position):
// characters of valid UTF-8, else bytes.
std::int64_t columnAfter(std::string_view line)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    [[maybe_unused]] const QString decoded = utf8(QByteArrayView(line.data(), static_cast<qsizetype>(line.size())));
    if (utf8.hasError()) return 1 + static_cast<std::int64_t>(line.size());
    return 1 + std::count_if(line.begin(), line.end(), [](char c) { return !isContinuationByte(static_cast<unsigned char>(c)); });
}

TextPlace placeInUtf16(std::string_view head, std::int64_t position, bool bigEndian)
{
    TextPlace place;
    std::int64_t lineStart = 2;  // after the byte-order mark
    for (std::int64_t at = 2; at + 1 < position; at += 2) {
        const auto low = static_cast<unsigned char>(head[static_cast<std::size_t>(at + (bigEndian ? 1 : 0))]);
        const auto high = static_cast<unsigned char>(head[static_cast<std::size_t>(at + (bigEndian ? 0 : 1))]);
        if (low == '\n' && high == 0) {
            ++place.line;
            lineStart = at + 2;
        }
    }
    place.column = 1 + std::max<std::int64_t>(position - lineStart, 0) / 2;
    return place;
}

// Splits like a shell without expanding anything: blanks separate words,
// single quotes keep everything, double quotes keep all but \" and \\,
// a backslash outside quotes keeps the next character.
std::optional<std::vector<std::string>> splitWords(std::string_view text)
{
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == ' ' || c == '\t') {
            if (inWord) words.push_back(std::move(word));
            word.clear();
            inWord = false;
            continue;
        }
        inWord = true;
        if (c == '\'') {
            const std::size_t end = text.find('\'', i + 1);
            if (end == std::string_view::npos) return std::nullopt;
            word.append(text.substr(i + 1, end - i - 1));
            i = end;
        } else if (c == '"') {
            for (++i; i < text.size() && text[i] != '"'; ++i) {
                if (text[i] == '\\' && i + 1 < text.size() && (text[i + 1] == '"' || text[i + 1] == '\\')) ++i;
                word += text[i];
            }
            if (i >= text.size()) return std::nullopt;
        } else if (c == '\\' && i + 1 < text.size()) {
            word += text[++i];
        } else {
            word += c;
        }
    }
    if (inWord) words.push_back(std::move(word));
    return words;
}

}  // namespace

TextPlace PlaceOfByte(std::string_view head, std::int64_t position)
{
    position = std::clamp<std::int64_t>(position, 0, static_cast<std::int64_t>(head.size()));
    if (head.size() >= 2 && (head.substr(0, 2) == "\xFF\xFE" || head.substr(0, 2) == "\xFE\xFF"))
        return placeInUtf16(head, position, head[0] == '\xFE');
    const std::string_view before = head.substr(0, static_cast<std::size_t>(position));
    TextPlace place;
    place.line = 1 + std::count(before.begin(), before.end(), '\n');
    const std::size_t lineEnd = before.rfind('\n');
    place.column = columnAfter(lineEnd == std::string_view::npos ? before : before.substr(lineEnd + 1));
    return place;
}

std::optional<TextPlace> PlaceInFile(const std::string& path, std::int64_t position)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    // The whole head is read: a hit lies at most where the file ends, and an
    // editor is only opened on files a user looks at.
    std::string head(static_cast<std::size_t>(std::max<std::int64_t>(position, 0)), '\0');
    file.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(file.gcount()));
    return PlaceOfByte(head, position);
}

std::vector<std::string> ExternalEditorCommand(std::string_view commandTemplate, const std::string& path, TextPlace place)
{
    const std::optional<std::vector<std::string>> words = splitWords(commandTemplate);
    if (!words || words->empty()) return {};
    std::vector<std::string> command;
    bool namesPath = false;
    for (const std::string& word : *words) {
        std::string filled;
        for (std::size_t i = 0; i < word.size(); ++i) {
            if (word[i] != '%' || i + 1 == word.size()) {
                filled += word[i];
                continue;
            }
            switch (word[++i]) {
            case 'f':
                filled += path;
                namesPath = true;
                break;
            case 'l': filled += std::to_string(place.line); break;
            case 'c': filled += std::to_string(place.column); break;
            case '%': filled += '%'; break;
            default: filled += '%'; filled += word[i];
            }
        }
        command.push_back(std::move(filled));
    }
    if (!namesPath) command.push_back(path);
    return command;
}

bool DetachedProgramStarter::start(const std::vector<std::string>& command)
{
    if (command.empty()) return false;
    QStringList arguments;
    for (std::size_t i = 1; i < command.size(); ++i) arguments << fromPath(command[i]);
    return QProcess::startDetached(fromPath(command.front()), arguments);
}

std::optional<std::string> OpenInExternalEditor(std::string_view commandTemplate, const std::string& path, std::int64_t position,
                                                ProgramStarter& starter)
{
    const std::optional<TextPlace> place = PlaceInFile(path, position);
    if (!place) return std::string(kExternalEditorUnreadable) + path;
    const std::vector<std::string> command = ExternalEditorCommand(commandTemplate, path, *place);
    if (command.empty()) return std::string(kExternalEditorBadTemplate);
    if (!starter.start(command)) return std::string(kExternalEditorNotStarted) + command.front();
    return std::nullopt;
}

}  // namespace tarnwick::ui
