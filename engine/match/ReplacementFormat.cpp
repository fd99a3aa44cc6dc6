#include "engine/match/ReplacementFormat.h"

#include <algorithm>

namespace tarnwick {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string tooFewGroups(std::string_view reference, std::size_t groups)
{
    const std::string has = groups == 0 ? "keine Gruppen"
        : groups == 1                   ? "nur 1 Gruppe"
                                        : "nur " + std::to_string(groups) + " Gruppen";
    return "Der Ersetzungstext verweist auf die Gruppe " + std::string(reference) + ", der Ausdruck hat aber " + has + ".";
}

}  // namespace

Expected<std::string> PrepareReplacementFormat(std::string_view typed, const boost::regex& regex)
{
    std::string out;
    out.reserve(typed.size() + 8);
    const std::size_t groups = regex.mark_count();
    const auto named = regex.get_named_subs();
    std::size_t i = 0;
    while (i < typed.size()) {
        const char c = typed[i];
        if (c == '\\' && i + 1 < typed.size()) {
            const char e = typed[i + 1];
            if (e >= '1' && e <= '9' && static_cast<std::size_t>(e - '0') > groups) {
                return invalidInput(tooFewGroups(typed.substr(i, 2), groups));
            }
            // Perl reads \u\L as \L\u (capitals first, then the rest small);
            // the library would let \L cancel the \u.
            if ((e == 'u' || e == 'l') && i + 3 < typed.size() && typed[i + 2] == '\\' &&
                (typed[i + 3] == 'L' || typed[i + 3] == 'U')) {
                out.append(typed.substr(i + 2, 2)).append(typed.substr(i, 2));
                i += 4;
                continue;
            }
            out.append(typed.substr(i, 2));
            i += 2;
            continue;
        }
        if (c != '$' || i + 1 == typed.size()) {
            out.push_back(c);
            ++i;
            continue;
        }
        const char next = typed[i + 1];
        if (next == '`' || next == '\'') {
            return invalidInput("Der Ersetzungstext enthält " + std::string(typed.substr(i, 2)) +
                                ", das wird nicht unterstützt. Für ein Dollarzeichen bitte $$ schreiben.");
        }
        if (isDigit(next)) {
            std::size_t end = i + 1;
            while (end < typed.size() && isDigit(typed[end])) ++end;
            const std::string_view digits = typed.substr(i + 1, end - i - 1);
            if (digits.size() > 2 || static_cast<std::size_t>(std::stoi(std::string(digits))) > groups) {
                return invalidInput(tooFewGroups(typed.substr(i, end - i), groups));
            }
            out.append(typed.substr(i, end - i));
            i = end;
            continue;
        }
        if (next == '{') {
            const std::size_t close = typed.find('}', i + 2);
            if (close == std::string_view::npos) {
                return invalidInput("Der Ersetzungstext enthält ein nicht geschlossenes " +
                                    std::string(typed.substr(i, std::min<std::size_t>(typed.size() - i, 12))) + ".");
            }
            const std::string_view name = typed.substr(i + 2, close - i - 2);
            const std::string_view reference = typed.substr(i, close + 1 - i);
            if (!name.empty() && std::all_of(name.begin(), name.end(), isDigit)) {
                if (name.size() > 2 || static_cast<std::size_t>(std::stoi(std::string(name))) > groups) {
                    return invalidInput(tooFewGroups(reference, groups));
                }
                out.append(reference);
            } else {
                if (name.empty() || !named || named->get_id(name.data(), name.data() + name.size()) < 0) {
                    return invalidInput("Der Ersetzungstext verweist auf die Gruppe " + std::string(reference) +
                                        ", der Ausdruck hat aber keine Gruppe dieses Namens.");
                }
                out.append("$+{").append(name).append("}");
            }
            i = close + 1;
            continue;
        }
        // $$ is one dollar; $&, $+ and a '$' before anything else are the
        // library's as they stand.
        const std::size_t length = next == '$' ? 2 : 1;
        out.append(typed.substr(i, length));
        i += length;
    }
    return out;
}

}  // namespace tarnwick
