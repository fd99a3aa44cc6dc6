#include "ui/viewer/ViewerCodec.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/CodePage.h"

namespace tarnwick::ui {
namespace {

constexpr char16_t kNoChar = 0xFFFF;

// Characters the editor itself turns into line breaks.
bool IsEditorBreak(char16_t c) { return c == 0x2029 || c == 0xFDD0 || c == 0xFDD1; }

struct LineEndCounts {
    qsizetype crLf = 0;
    qsizetype lf = 0;
    qsizetype cr = 0;
};

// Over the file's bytes, or over its 16-bit units for UTF-16.
template <typename Unit>
LineEndCounts CountLineEnds(const Unit* p, qsizetype n)
{
    LineEndCounts counts;
    for (qsizetype i = 0; i < n; ++i) {
        if (p[i] == Unit('\n')) {
            ++counts.lf;
        } else if (p[i] == Unit('\r')) {
            if (i + 1 < n && p[i + 1] == Unit('\n')) {
                ++counts.crLf;
                ++i;
            } else {
                ++counts.cr;
            }
        }
    }
    return counts;
}

// The most frequent kind; on a tie CR LF before LF before CR. A file without
// line ends gets LF, the convention of this system.
LineEnd ChooseLineEnd(const LineEndCounts& c)
{
    if (c.crLf >= c.lf && c.crLf >= c.cr && c.crLf > 0) return LineEnd::CrLf;
    if (c.cr > c.lf) return LineEnd::Cr;
    return LineEnd::Lf;
}

bool NeedsStandIns(const LineEndCounts& c, LineEnd kind)
{
    switch (kind) {
    case LineEnd::CrLf: return c.lf > 0 || c.cr > 0;
    case LineEnd::Lf: return c.crLf > 0 || c.cr > 0;
    case LineEnd::Cr: return c.crLf > 0 || c.lf > 0;
    }
    return false;
}

// Decodes one character (or surrogate pair) of strict UTF-8 at p[i]; the
// caller has validated the bytes.
qsizetype DecodeUtf8At(const unsigned char* p, qsizetype i, char16_t*& out)
{
    const unsigned char b = p[i];
    if (b < 0x80) {
        *out++ = b;
        return 1;
    }
    if (b < 0xE0) {
        *out++ = static_cast<char16_t>(((b & 0x1F) << 6) | (p[i + 1] & 0x3F));
        return 2;
    }
    if (b < 0xF0) {
        *out++ = static_cast<char16_t>(((b & 0x0F) << 12) | ((p[i + 1] & 0x3F) << 6) | (p[i + 2] & 0x3F));
        return 3;
    }
    const char32_t cp = ((b & 0x07u) << 18) | ((p[i + 1] & 0x3Fu) << 12) | ((p[i + 2] & 0x3Fu) << 6) | (p[i + 3] & 0x3Fu);
    *out++ = static_cast<char16_t>(0xD7C0 + (cp >> 10));
    *out++ = static_cast<char16_t>(0xDC00 | (cp & 0x3FF));
    return 4;
}

// Bytes a character of the text stands for, and how many UTF-16 units it takes.
struct CharSpan {
    int bytes;
    int units;
};

bool IsUtf16(ViewerEncoding encoding) { return encoding == ViewerEncoding::Utf16Le || encoding == ViewerEncoding::Utf16Be; }

CharSpan SpanAt(const QChar* s, qsizetype i, qsizetype n, const ViewerFileFormat& f)
{
    const char16_t c = s[i].unicode();
    const int unit = IsUtf16(f.encoding) ? 2 : 1;
    if (c == u'\n' || c == 0x2029) return {(f.lineEnd == LineEnd::CrLf ? 2 : 1) * unit, 1};
    if (f.standIns && (c == kCrStandIn || c == kLfStandIn)) return {unit, 1};
    if (IsUtf16(f.encoding)) {
        if (QChar::isHighSurrogate(c) && i + 1 < n && s[i + 1].isLowSurrogate()) return {4, 2};
        return {2, 1};
    }
    if (f.encoding != ViewerEncoding::Utf8) return {1, 1};
    if (c < 0x80) return {1, 1};
    if (c < 0x800) return {2, 1};
    if (QChar::isHighSurrogate(c) && i + 1 < n && s[i + 1].isLowSurrogate()) return {4, 2};
    return {3, 1};
}

}  // namespace

bool IsStrictUtf8(const char* bytes, qsizetype size)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes);
    qsizetype i = 0;
    while (i < size) {
        // Eight ASCII bytes at a time: most text is ASCII.
        while (i + 8 <= size) {
            std::uint64_t word;
            std::memcpy(&word, p + i, 8);
            if (word & 0x8080808080808080ull) break;
            i += 8;
        }
        if (i >= size) break;
        const unsigned char b = p[i];
        if (b < 0x80) {
            ++i;
            continue;
        }
        int length;
        unsigned char low = 0x80, high = 0xBF;  // bounds of the second byte
        if (b >= 0xC2 && b <= 0xDF) {
            length = 2;
        } else if (b >= 0xE0 && b <= 0xEF) {
            length = 3;
            if (b == 0xE0) low = 0xA0;  // overlong
            if (b == 0xED) high = 0x9F;  // surrogates
        } else if (b >= 0xF0 && b <= 0xF4) {
            length = 4;
            if (b == 0xF0) low = 0x90;  // overlong
            if (b == 0xF4) high = 0x8F;  // above U+10FFFF
        } else {
            return false;
        }
        if (i + length > size) return false;
        if (p[i + 1] < low || p[i + 1] > high) return false;
        for (int k = 2; k < length; ++k)
            if ((p[i + k] & 0xC0) != 0x80) return false;
        i += length;
    }
    return true;
}

ViewerCodec::ViewerCodec(const CodePage& codePage) : m_utf8(codePage.isUtf8())
{
    if (m_utf8) return;
    m_charToByte.assign(0x10000, 0);
    m_charIsMapped.assign(0x10000, false);
    for (int b = 0; b < 256; ++b) {
        const std::string utf8 = codePage.ansiToUtf8(std::string(1, static_cast<char>(b)));
        const QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
        // '?' is how the code page reports a byte that is no character.
        const bool isChar = text.size() == 1 && (text[0] != u'?' || b == '?');
        m_byteToChar[b] = isChar ? text[0].unicode() : kNoChar;
        if (isChar && !m_charIsMapped[text[0].unicode()]) {
            m_charIsMapped[text[0].unicode()] = true;
            m_charToByte[text[0].unicode()] = static_cast<std::uint8_t>(b);
        }
    }
}

ViewerText ViewerCodec::decode(const QByteArray& bytes) const
{
    ViewerText result;
    ViewerFileFormat& format = result.format;
    const char* data = bytes.constData();
    qsizetype size = bytes.size();

    // A byte-order mark says what the file is, whatever the locale.
    if (bytes.startsWith("\xFF\xFE")) return decodeUtf16(bytes, ViewerEncoding::Utf16Le);
    if (bytes.startsWith("\xFE\xFF")) return decodeUtf16(bytes, ViewerEncoding::Utf16Be);
    const bool bom = bytes.startsWith("\xEF\xBB\xBF");
    const qsizetype skip = bom ? 3 : 0;
    if ((m_utf8 || bom) && IsStrictUtf8(data + skip, size - skip)) {
        format.encoding = ViewerEncoding::Utf8;
        format.utf8Bom = bom;
        data += skip;
        size -= skip;
    } else if (m_utf8) {
        format.encoding = ViewerEncoding::BytePerChar;
    } else {
        const bool allMapped =
            std::all_of(data, data + size, [this](char b) { return m_byteToChar[static_cast<unsigned char>(b)] != kNoChar; });
        format.encoding = allMapped ? ViewerEncoding::CodePageBytes : ViewerEncoding::BytePerChar;
    }

    const LineEndCounts counts = CountLineEnds(data, size);
    format.lineEnd = ChooseLineEnd(counts);
    format.standIns = NeedsStandIns(counts, format.lineEnd);

    const auto* p = reinterpret_cast<const unsigned char*>(data);
    if (decodeWhole(data, size, result)) return result;
    bool conflict = false;
    for (;;) {
        result.text = QString(size, Qt::Uninitialized);
        auto* begin = reinterpret_cast<char16_t*>(result.text.data());
        char16_t* out = begin;
        for (qsizetype i = 0; i < size;) {
            const unsigned char b = p[i];
            if (b == '\r') {
                const bool pair = i + 1 < size && p[i + 1] == '\n';
                if (pair && format.lineEnd == LineEnd::CrLf) {
                    *out++ = u'\n';
                    i += 2;
                    continue;
                }
                *out++ = format.lineEnd == LineEnd::Cr ? u'\n' : kCrStandIn;
                ++i;
                continue;
            }
            if (b == '\n') {
                *out++ = format.lineEnd == LineEnd::Lf ? u'\n' : kLfStandIn;
                ++i;
                continue;
            }
            char16_t* first = out;
            switch (format.encoding) {
            case ViewerEncoding::Utf8: i += DecodeUtf8At(p, i, out); break;
            case ViewerEncoding::CodePageBytes:
                *out++ = m_byteToChar[b];
                ++i;
                break;
            case ViewerEncoding::BytePerChar:
            case ViewerEncoding::Utf16Le:  // not here: decodeUtf16
            case ViewerEncoding::Utf16Be:
                *out++ = b;
                ++i;
                break;
            }
            const char16_t c = *first;
            if (IsEditorBreak(c) || (format.standIns && (c == kCrStandIn || c == kLfStandIn))) conflict = true;
        }
        result.text.truncate(out - begin);
        if (!conflict || format.encoding == ViewerEncoding::BytePerChar) break;
        // Shown byte per character, the text cannot collide with the stand-ins.
        data = bytes.constData();
        size = bytes.size();
        p = reinterpret_cast<const unsigned char*>(data);
        format = ViewerFileFormat{};
        format.encoding = ViewerEncoding::BytePerChar;
        const LineEndCounts all = CountLineEnds(data, size);
        format.lineEnd = ChooseLineEnd(all);
        format.standIns = NeedsStandIns(all, format.lineEnd);
        conflict = false;
    }
    return result;
}

ViewerText ViewerCodec::decodeUtf16(const QByteArray& bytes, ViewerEncoding encoding)
{
    ViewerText result;
    ViewerFileFormat& format = result.format;
    format.encoding = encoding;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData()) + 2;
    const qsizetype units = (bytes.size() - 2) / 2;
    const bool oddFinalByte = (bytes.size() - 2) % 2 != 0;
    const bool littleEndian = encoding == ViewerEncoding::Utf16Le;
    std::vector<char16_t> raw(static_cast<std::size_t>(units));
    for (qsizetype i = 0; i < units; ++i) {
        const unsigned char first = p[2 * i];
        const unsigned char second = p[2 * i + 1];
        raw[i] = static_cast<char16_t>(littleEndian ? first | (second << 8) : (first << 8) | second);
    }

    const LineEndCounts counts = CountLineEnds(raw.data(), units);
    format.lineEnd = ChooseLineEnd(counts);
    format.standIns = NeedsStandIns(counts, format.lineEnd);

    bool unpaired = false;
    bool editorCharacters = false;
    result.text = QString(units + 1, Qt::Uninitialized);
    auto* begin = reinterpret_cast<char16_t*>(result.text.data());
    char16_t* out = begin;
    for (qsizetype i = 0; i < units;) {
        const char16_t c = raw[i];
        if (c == u'\r') {
            const bool pair = i + 1 < units && raw[i + 1] == u'\n';
            if (pair && format.lineEnd == LineEnd::CrLf) {
                *out++ = u'\n';
                i += 2;
                continue;
            }
            *out++ = format.lineEnd == LineEnd::Cr ? u'\n' : kCrStandIn;
            ++i;
            continue;
        }
        if (c == u'\n') {
            *out++ = format.lineEnd == LineEnd::Lf ? u'\n' : kLfStandIn;
            ++i;
            continue;
        }
        if (QChar::isHighSurrogate(c) && i + 1 < units && QChar::isLowSurrogate(raw[i + 1])) {
            *out++ = c;
            *out++ = raw[i + 1];
            i += 2;
            continue;
        }
        ++i;
        if (QChar::isSurrogate(c)) {
            unpaired = true;
            *out++ = QChar::ReplacementCharacter;
        } else if (IsEditorBreak(c)) {
            // Shown as it is, the editor would make it a line break: the
            // character positions would no longer be the file's.
            editorCharacters = true;
            *out++ = QChar::ReplacementCharacter;
        } else {
            if (format.standIns && (c == kCrStandIn || c == kLfStandIn)) editorCharacters = true;
            *out++ = c;
        }
    }
    if (oddFinalByte) *out++ = QChar::ReplacementCharacter;
    result.text.truncate(out - begin);

    if (oddFinalByte)
        result.readOnly = ReadOnlyReason::OddFinalByte;
    else if (unpaired)
        result.readOnly = ReadOnlyReason::UnpairedSurrogate;
    else if (editorCharacters)
        result.readOnly = ReadOnlyReason::EditorCharacters;
    return result;
}

// Without stand-ins every CR or LF is part of the one kind of line end, so
// Qt's own (vectorised) conversions do the work.
bool ViewerCodec::decodeWhole(const char* data, qsizetype size, ViewerText& result) const
{
    ViewerFileFormat& format = result.format;
    if (format.standIns || format.encoding == ViewerEncoding::CodePageBytes) return false;
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    if (format.encoding == ViewerEncoding::Utf8) {
        // QString::fromUtf8 would drop a byte-order mark at the start.
        if (size >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF) return false;
        result.text = QString::fromUtf8(data, size);
        for (char16_t c : {char16_t(0x2029), char16_t(0xFDD0), char16_t(0xFDD1)}) {
            if (result.text.contains(QChar(c))) return false;
        }
    } else {
        result.text = QString::fromLatin1(data, size);
    }
    if (format.lineEnd == LineEnd::CrLf) result.text.remove(QLatin1Char('\r'));
    if (format.lineEnd == LineEnd::Cr) result.text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return true;
}

EncodedText ViewerCodec::encode(const QString& text, const ViewerFileFormat& format) const
{
    EncodedText result;
    if (IsUtf16(format.encoding)) {
        encodeUtf16(text, format, result);
        return result;
    }
    QByteArray& out = result.bytes;
    out.reserve(text.size() + text.size() / 8 + 4);
    if (format.encoding == ViewerEncoding::Utf8 && format.utf8Bom) out.append("\xEF\xBB\xBF", 3);
    const QChar* s = text.constData();
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = s[i].unicode();
        if (c == u'\n' || c == 0x2029) {
            switch (format.lineEnd) {
            case LineEnd::Lf: out.append('\n'); break;
            case LineEnd::CrLf: out.append("\r\n", 2); break;
            case LineEnd::Cr: out.append('\r'); break;
            }
            continue;
        }
        if (format.standIns && (c == kCrStandIn || c == kLfStandIn)) {
            out.append(c == kCrStandIn ? '\r' : '\n');
            continue;
        }
        switch (format.encoding) {
        case ViewerEncoding::Utf8:
            if (c < 0x80) {
                out.append(static_cast<char>(c));
            } else if (c < 0x800) {
                out.append(static_cast<char>(0xC0 | (c >> 6)));
                out.append(static_cast<char>(0x80 | (c & 0x3F)));
            } else if (QChar::isSurrogate(c)) {
                if (!QChar::isHighSurrogate(c) || i + 1 >= n || !s[i + 1].isLowSurrogate()) {
                    result.badCharacter = i;
                    return result;
                }
                const char32_t cp = QChar::surrogateToUcs4(c, s[i + 1].unicode());
                out.append(static_cast<char>(0xF0 | (cp >> 18)));
                out.append(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
                out.append(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
                out.append(static_cast<char>(0x80 | (cp & 0x3F)));
                ++i;
            } else {
                out.append(static_cast<char>(0xE0 | (c >> 12)));
                out.append(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
                out.append(static_cast<char>(0x80 | (c & 0x3F)));
            }
            break;
        case ViewerEncoding::BytePerChar:
            if (c > 0xFF) {
                result.badCharacter = i;
                return result;
            }
            out.append(static_cast<char>(c));
            break;
        case ViewerEncoding::CodePageBytes:
            if (m_charIsMapped.empty() || !m_charIsMapped[c]) {
                // A UTF-8 code page has no table: its bytes are never shown this way.
                result.badCharacter = i;
                return result;
            }
            out.append(static_cast<char>(m_charToByte[c]));
            break;
        case ViewerEncoding::Utf16Le:
        case ViewerEncoding::Utf16Be: break;  // encodeUtf16
        }
    }
    return result;
}

void ViewerCodec::encodeUtf16(const QString& text, const ViewerFileFormat& format, EncodedText& result)
{
    QByteArray& out = result.bytes;
    out.reserve(2 * text.size() + text.size() / 4 + 2);
    const bool littleEndian = format.encoding == ViewerEncoding::Utf16Le;
    const auto put = [&out, littleEndian](char16_t unit) {
        const char low = static_cast<char>(unit & 0xFF);
        const char high = static_cast<char>(unit >> 8);
        out.append(littleEndian ? low : high);
        out.append(littleEndian ? high : low);
    };
    put(0xFEFF);
    const QChar* s = text.constData();
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = s[i].unicode();
        if (c == u'\n' || c == 0x2029) {
            if (format.lineEnd != LineEnd::Lf) put(u'\r');
            if (format.lineEnd != LineEnd::Cr) put(u'\n');
            continue;
        }
        if (format.standIns && (c == kCrStandIn || c == kLfStandIn)) {
            put(c == kCrStandIn ? u'\r' : u'\n');
            continue;
        }
        if (QChar::isSurrogate(c)) {
            // Half a pair would make the file invalid UTF-16.
            if (!QChar::isHighSurrogate(c) || i + 1 >= n || !s[i + 1].isLowSurrogate()) {
                result.badCharacter = i;
                return;
            }
            put(c);
            put(s[++i].unicode());
            continue;
        }
        put(c);
    }
}

std::pair<qsizetype, qsizetype> ViewerCodec::charRange(const QString& text, const ViewerFileFormat& format,
                                                       std::int64_t byteStart, std::int64_t byteLength)
{
    const QChar* s = text.constData();
    const qsizetype n = text.size();
    byteStart = std::max<std::int64_t>(byteStart, 0);
    const std::int64_t byteEnd = byteStart + std::max<std::int64_t>(byteLength, 0);
    std::int64_t at = format.encoding == ViewerEncoding::Utf8 && format.utf8Bom ? 3 : IsUtf16(format.encoding) ? 2 : 0;
    qsizetype start = -1;
    qsizetype i = 0;
    while (i < n) {
        const CharSpan span = SpanAt(s, i, n, format);
        if (start < 0 && byteStart < at + span.bytes) start = i;
        if (start >= 0 && at >= byteEnd) break;
        at += span.bytes;
        i += span.units;
    }
    if (start < 0) start = n;
    return {start, std::max(start, i)};
}

}  // namespace tarnwick::ui
