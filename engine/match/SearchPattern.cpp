#include "engine/match/SearchPattern.h"

#include "engine/Messages.h"
#include "engine/match/MatchOptions.h"
#include "platform/CodePage.h"

#include <cstring>

namespace tarnwick {

std::string PrepareSearchText(std::string_view typed, const MatchOptions& options, const CodePage& codePage)
{
    if (options.matchCase || options.regularExpression) return std::string(typed);
    return codePage.lower(typed);
}

boost::regex::flag_type SearchRegexFlags(bool matchCase)
{
    boost::regex::flag_type flags = boost::regex::perl;
    if (!matchCase) flags |= boost::regex::icase;
    return flags;
}

Expected<boost::regex> CompileRegex(std::string_view pattern, bool matchCase)
{
    try {
        return boost::regex(pattern.begin(), pattern.end(), SearchRegexFlags(matchCase));
    } catch (const boost::regex_error& e) {
        return invalidInput(e.what(), e.position());
    } catch (const std::exception& e) {
        // An expression too complex for the library's limits.
        return invalidInput(e.what());
    }
}

Expected<std::string> InterpretEscapes(std::string_view s, bool keepFormat)
{
    static constexpr const char* kHexDigits = "0123456789abcdefABCDEF";
    if (s.find('\\') == std::string_view::npos) return std::string(s);
    std::string out;
    out.reserve(s.size());
    std::size_t i = 0;
    while (i < s.size()) {
        const char c = s[i];
        if (c != '\\') {
            out.push_back(c);
            ++i;
            continue;
        }
        if (i + 1 == s.size()) {  // a final backslash stays
            out.push_back('\\');
            break;
        }
        const char e = s[i + 1];
        i += 2;
        if (keepFormat && e != 0 && std::strchr("\\123456789ULEul", e)) {
            out.push_back('\\');
            out.push_back(e);
            continue;
        }
        switch (e) {
        case '\\': out.push_back('\\'); break;
        case 'a': out.push_back('\x07'); break;
        case 'e': out.push_back('\x1B'); break;
        case 'f': out.push_back('\x0C'); break;
        case 'n': out.push_back('\x0A'); break;
        case 'r': out.push_back('\x0D'); break;
        case 't': out.push_back('\x09'); break;
        case 'v': out.push_back('\x0B'); break;
        case 'x': {
            if (i + 2 > s.size() || !std::strchr(kHexDigits, s[i]) || !std::strchr(kHexDigits, s[i + 1]) || s[i] == 0 ||
                s[i + 1] == 0) {
                return invalidInput(text::kEscapeBadHex);
            }
            const auto byte = static_cast<char>(std::stoi(std::string(s.substr(i, 2)), nullptr, 16));
            // The format is read up to a NUL, and its own '$' and '\' must stay literal.
            if (keepFormat && byte == 0) return invalidInput(text::kEscapeNul);
            if (keepFormat && (byte == '$' || byte == '\\')) out.push_back(byte);
            out.push_back(byte);
            i += 2;
            break;
        }
        case '0': return invalidInput(text::kEscapeNul);
        default: return invalidInput(text::kEscapeUnknown);
        }
    }
    return out;
}

}  // namespace tarnwick
