// Quotes arbitrary bytes as a name in a diff. The result must be one line
// that git reads back to exactly the name: plain printable ASCII, or a
// double-quoted C string whose escapes decode to the bytes given.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "engine/replace/DiffPath.h"

using namespace tarnwick;

namespace {

// Reads back a quoted name as git does; aborts on anything git would not take.
std::string unquote(const std::string& quoted)
{
    if (quoted.size() < 2 || quoted.front() != '"' || quoted.back() != '"') std::abort();
    std::string out;
    for (std::size_t i = 1; i + 1 < quoted.size(); ++i) {
        const char c = quoted[i];
        if (c == '"') std::abort();
        if (c != '\\') {
            out += c;
            continue;
        }
        const char e = quoted[++i];
        switch (e) {
        case '"': out += '"'; break;
        case '\\': out += '\\'; break;
        case 'a': out += '\a'; break;
        case 'b': out += '\b'; break;
        case 't': out += '\t'; break;
        case 'n': out += '\n'; break;
        case 'v': out += '\v'; break;
        case 'f': out += '\f'; break;
        case 'r': out += '\r'; break;
        default:
            if (e < '0' || e > '3' || i + 2 >= quoted.size() - 1) std::abort();
            for (int k = 1; k <= 2; ++k)
                if (quoted[i + k] < '0' || quoted[i + k] > '7') std::abort();
            out += static_cast<char>((e - '0') * 64 + (quoted[i + 1] - '0') * 8 + (quoted[i + 2] - '0'));
            i += 2;
        }
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view name(reinterpret_cast<const char*>(data), size);
    for (const std::string_view prefix : {std::string_view("a/"), std::string_view("")}) {
        const std::string quoted = QuoteDiffPath(prefix, name);
        for (const char c : quoted) {
            const auto u = static_cast<unsigned char>(c);
            if (u < 0x20 || u >= 0x7f) std::abort();  // no byte of the name reaches the line raw
        }
        const std::string whole = std::string(prefix) + std::string(name);
        if (quoted.empty() || quoted.front() != '"') {
            if (quoted != whole) std::abort();
        } else if (unquote(quoted) != whole) {
            std::abort();
        }
    }
    return 0;
}
