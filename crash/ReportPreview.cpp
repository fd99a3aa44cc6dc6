#include "crash/ReportPreview.h"

#include <cstdio>
#include <fstream>

namespace tarnwick::crash {
namespace {

constexpr std::size_t kLineBytes = 16;
constexpr int kAcceptedNonText = 4;

bool IsTextByte(unsigned char byte)
{
    if (byte >= 32 && byte <= 126) return true;
    return byte == '\t' || byte == '\n' || byte == '\v' || byte == '\f' || byte == '\r';
}

void AppendHexByte(std::string& out, unsigned char byte)
{
    constexpr char kDigits[] = "0123456789abcdef";
    out += kDigits[byte >> 4];
    out += kDigits[byte & 0xf];
}

}  // namespace

bool LooksLikeText(std::string_view bytes)
{
    int nonText = 0;
    for (const char c : bytes.substr(0, kTextDecisionLength))
        if (!IsTextByte(static_cast<unsigned char>(c)) && ++nonText > kAcceptedNonText) return false;
    return true;
}

std::string HexDump(std::string_view bytes)
{
    std::string out;
    out.reserve((bytes.size() / kLineBytes + 1) * 70);
    for (std::size_t line = 0; line < bytes.size(); line += kLineBytes) {
        const std::string_view chunk = bytes.substr(line, kLineBytes);
        char offset[24];
        std::snprintf(offset, sizeof offset, "0x%08zx: ", line);
        out += offset;
        // Each word little-endian: its highest byte first.
        for (std::size_t word = 0; word < kLineBytes; word += 4) {
            for (std::size_t i = 4; i-- > 0;) {
                const std::size_t at = word + i;
                if (at < chunk.size())
                    AppendHexByte(out, static_cast<unsigned char>(chunk[at]));
                else
                    out += "  ";
            }
            out += ' ';
        }
        for (const char c : chunk) {
            const auto byte = static_cast<unsigned char>(c);
            out += byte < 32 || byte == 127 ? '.' : c;
        }
        out += "\r\n";
    }
    return out;
}

FilePreview MakePreview(std::string_view bytes)
{
    bytes = bytes.substr(0, kPreviewLength);
    FilePreview preview;
    preview.isText = LooksLikeText(bytes);
    preview.text = preview.isText ? std::string(bytes) : HexDump(bytes);
    return preview;
}

std::string ReadPreviewBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::string bytes(kPreviewLength, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

}  // namespace tarnwick::crash
