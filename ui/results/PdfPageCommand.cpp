#include "ui/results/PdfPageCommand.h"

#include <algorithm>

namespace tarnwick::ui {
namespace {

enum class PageStyle { IndexOption, PageOption, CapitalPageOption, PathSuffix };

struct PageProgram {
    std::string_view name;
    PageStyle style;
};

constexpr PageProgram kPagePrograms[] = {
    {"evince", PageStyle::IndexOption}, {"atril", PageStyle::IndexOption},         {"xreader", PageStyle::IndexOption},
    {"okular", PageStyle::PageOption},  {"zathura", PageStyle::CapitalPageOption}, {"qpdfview", PageStyle::PathSuffix},
};

// The words of an Exec value: blanks separate them, double quotes group,
// a backslash in quotes takes the next character as it is.
std::optional<std::vector<std::string>> execWords(std::string_view exec)
{
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    bool quoted = false;
    for (std::size_t i = 0; i < exec.size(); ++i) {
        const char c = exec[i];
        if (quoted) {
            if (c == '"') {
                quoted = false;
            } else if (c == '\\' && i + 1 < exec.size()) {
                word += exec[++i];
            } else {
                word += c;
            }
        } else if (c == '"') {
            quoted = inWord = true;
        } else if (c == ' ' || c == '\t') {
            if (inWord) words.push_back(std::move(word));
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (quoted) return std::nullopt;
    if (inWord) words.push_back(std::move(word));
    return words;
}

// "%%" is a percent sign; any other '%' starts a field code.
bool hasFieldCode(const std::string& word)
{
    for (std::size_t at = word.find('%'); at != std::string::npos; at = word.find('%', at + 2))
        if (at + 1 >= word.size() || word[at + 1] != '%') return true;
    return false;
}

std::string withoutDoublePercent(std::string word)
{
    for (std::size_t at = word.find("%%"); at != std::string::npos; at = word.find("%%", at + 1)) word.erase(at, 1);
    return word;
}

}  // namespace

std::string DesktopEntryExec(std::string_view desktopFile)
{
    bool inEntry = false;
    while (!desktopFile.empty()) {
        const std::size_t end = std::min(desktopFile.find('\n'), desktopFile.size());
        std::string_view line = desktopFile.substr(0, end);
        desktopFile.remove_prefix(std::min(end + 1, desktopFile.size()));
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!line.empty() && line.front() == '[') {
            inEntry = line == "[Desktop Entry]";
            continue;
        }
        if (!inEntry || line.substr(0, 4) != "Exec") continue;
        std::string_view rest = line.substr(4);
        while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
        if (rest.empty() || rest.front() != '=') continue;  // "ExecFoo=", or "Exec[de]="
        rest.remove_prefix(1);
        while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
        return std::string(rest);
    }
    return {};
}

std::optional<std::vector<std::string>> PdfPageCommand(std::string_view exec, const std::string& path, int page)
{
    const std::optional<std::vector<std::string>> words = execWords(exec);
    if (!words || words->empty() || page < 1) return std::nullopt;
    const std::string& program = words->front();
    const std::string_view name = std::string_view(program).substr(program.find_last_of('/') + 1);
    const auto known =
        std::find_if(std::begin(kPagePrograms), std::end(kPagePrograms), [name](const PageProgram& p) { return p.name == name; });
    if (known == std::end(kPagePrograms)) return std::nullopt;

    std::vector<std::string> command{program};
    for (std::size_t i = 1; i < words->size(); ++i)
        if (!hasFieldCode((*words)[i])) command.push_back(withoutDoublePercent((*words)[i]));
    const std::string number = std::to_string(page);
    // A relative name that starts like an option must not be taken for one.
    const std::string file = !path.empty() && path.front() == '-' ? "./" + path : path;
    switch (known->style) {
    case PageStyle::IndexOption: command.insert(command.end(), {"-i", number, file}); break;
    case PageStyle::PageOption: command.insert(command.end(), {"-p", number, file}); break;
    case PageStyle::CapitalPageOption: command.insert(command.end(), {"-P", number, file}); break;
    case PageStyle::PathSuffix: command.push_back(file + "#" + number); break;
    }
    return command;
}

}  // namespace tarnwick::ui
