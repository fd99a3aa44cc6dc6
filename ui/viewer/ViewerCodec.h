#pragma once
// How the viewer turns a file's bytes into the text it edits and back.
//
// A file that is valid text of the system code page (strict UTF-8 in a UTF-8
// locale) is shown as that text; any other file is shown one character per
// byte (bytes 0x00-0xFF as U+0000-U+00FF), so that nothing is lost. A file
// that begins with a UTF-8 byte-order mark and is valid UTF-8 after it is
// UTF-8 in any locale; the mark is kept aside and written back.
//
// A file that begins with a UTF-16 byte-order mark (FF FE little-endian,
// FE FF big-endian) is shown as UTF-16 text, one character per 16-bit unit,
// and written back in the same byte order with its mark. What UTF-16 cannot
// carry through the editor unchanged (an odd final byte, an unpaired
// surrogate, a character the editor would take as a line break) makes the
// text read-only (ViewerText::readOnly): shown as well as it goes, with
// U+FFFD in place of what is not a character, but never written back.
//
// The editor turns every CR LF, LF and lone CR into a line break, which would
// lose the file's exact line ends. So one kind of line end (the most frequent
// one) becomes the line break of the text, and every CR or LF that is not part
// of that kind is shown as a character of its own: U+240D for CR, U+240A for
// LF. Saving turns them back. A file that already contains U+240D or U+240A
// and needs such stand-ins, or one that contains characters the editor would
// itself turn into line breaks (U+2029, U+FDD0, U+FDD1), is shown byte per
// character instead.
//
// Texts are QStrings with '\n' as the line break (the editor's block
// separator). Plain value class; immutable after construction.
#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace tarnwick {
class CodePage;
}

namespace tarnwick::ui {

enum class ViewerEncoding {
    Utf8,  // the code page is UTF-8 and the file is valid UTF-8
    CodePageBytes,  // single-byte code page: one character per byte through its table
    BytePerChar,  // anything else: byte b is character U+00bb
    Utf16Le,  // byte-order mark FF FE, written back
    Utf16Be,  // byte-order mark FE FF, written back
};

// Why a text cannot be written back as the bytes it came from.
enum class ReadOnlyReason {
    None,
    OddFinalByte,  // UTF-16 with a byte left over at the end
    UnpairedSurrogate,  // UTF-16 with half a surrogate pair
    EditorCharacters,  // characters the editor would turn into line breaks, or that collide with the stand-ins
    InsideFile,  // read into memory from inside an archive, a compressed file or a PDF: there is no file to write
};

enum class LineEnd { Lf, CrLf, Cr };

// Everything needed to write a text back as the bytes it came from.
struct ViewerFileFormat {
    ViewerEncoding encoding = ViewerEncoding::Utf8;
    LineEnd lineEnd = LineEnd::Lf;
    bool utf8Bom = false;
    bool standIns = false;  // U+240D / U+240A stand for CR / LF

    bool operator==(const ViewerFileFormat&) const = default;
};

inline constexpr char16_t kCrStandIn = 0x240D;
inline constexpr char16_t kLfStandIn = 0x240A;

struct ViewerText {
    QString text;
    ViewerFileFormat format;
    // Not None: the text is only an approximation of the file; it must not be saved.
    ReadOnlyReason readOnly = ReadOnlyReason::None;
};

// The outcome of encoding: the bytes, or the position of the first character
// the file's encoding cannot hold.
struct EncodedText {
    QByteArray bytes;
    qsizetype badCharacter = -1;  // index into the text; -1 when all went well
};

class ViewerCodec {
public:
    explicit ViewerCodec(const CodePage& codePage);

    ViewerText decode(const QByteArray& bytes) const;
    EncodedText encode(const QString& text, const ViewerFileFormat& format) const;

    // The character range of `text` that holds the bytes [byteStart,
    // byteStart + byteLength) of the file `text` was decoded from with `format`.
    // A byte inside a character or a CR LF pair widens the range to the whole
    // character; offsets beyond the end give the end of the text.
    static std::pair<qsizetype, qsizetype> charRange(const QString& text, const ViewerFileFormat& format, std::int64_t byteStart,
                                                     std::int64_t byteLength);

private:
    bool decodeWhole(const char* data, qsizetype size, ViewerText& result) const;
    static ViewerText decodeUtf16(const QByteArray& bytes, ViewerEncoding encoding);
    static void encodeUtf16(const QString& text, const ViewerFileFormat& format, EncodedText& result);

    bool m_utf8 = true;
    std::array<char16_t, 256> m_byteToChar{};  // single-byte code page; 0xFFFF: no character
    std::vector<std::uint8_t> m_charToByte;  // 65,536 entries; valid where m_charIsMapped
    std::vector<bool> m_charIsMapped;
};

// Whether `bytes` is strict UTF-8 (no overlong forms, no surrogates, nothing
// above U+10FFFF).
bool IsStrictUtf8(const char* bytes, qsizetype size);

}  // namespace tarnwick::ui
