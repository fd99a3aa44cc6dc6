#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/CodePage.h"
#include "ui/viewer/ViewerCodec.h"

namespace tarnwick::ui {
namespace {

QString U(const char16_t* s) { return QStringView(s).toString(); }

QByteArray Bytes(std::string_view s) { return QByteArray(s.data(), static_cast<qsizetype>(s.size())); }

class ViewerCodecTest : public ::testing::Test {
protected:
    CodePage utf8{"UTF-8"};
    ViewerCodec codec{utf8};

    void expectRoundTrip(std::string_view file)
    {
        const ViewerText shown = codec.decode(Bytes(file));
        const EncodedText back = codec.encode(shown.text, shown.format);
        EXPECT_EQ(back.badCharacter, -1);
        EXPECT_EQ(back.bytes, Bytes(file)) << "file: " << testing::PrintToString(std::string(file));
    }
};

TEST_F(ViewerCodecTest, UnchangedFilesAreWrittenBackByteForByte)
{
    for (std::string_view file : {
             std::string_view(""),
             std::string_view("no final newline"),
             std::string_view("a\nb\n"),
             std::string_view("a\r\nb\r\n"),
             std::string_view("old\rmac\r"),
             std::string_view("\xEF\xBB\xBFwith bom\r\n"),
             std::string_view("\xEF\xBB\xBF\xEF\xBB\xBFtwo boms"),
             std::string_view("nul\0byte\n", 9),
             std::string_view("bad \xFF\xFE utf-8\n"),
             std::string_view("cut \xC3"),
             std::string_view("over\xC0\xAFlong"),
             std::string_view("surrogate \xED\xA0\x80"),
             std::string_view("gr\xC3\xBC\xC3\x9F"
                              "e \xF0\x9F\x98\x80\n"),
             // mixed line ends: the most frequent one is the line break, the others stand-ins
             std::string_view("a\r\nb\nc\rd\r\n"),
             std::string_view("a\nb\r\nc\n\r"),
             std::string_view("\r\r\n\n"),
             // stand-in characters in the file itself, with and without mixed line ends
             std::string_view("sym \xE2\x90\x8D\n"),
             std::string_view("sym \xE2\x90\x8D\r\n\n"),
             // characters the editor would take as line breaks
             std::string_view("para\xE2\x80\xA9graph\n"),
             std::string_view("frame\xEF\xB7\x90"),
         }) {
        expectRoundTrip(file);
    }
}

TEST_F(ViewerCodecTest, ChoosesTextOrBytePerCharacter)
{
    ViewerText text = codec.decode(Bytes("gr\xC3\xBC\xC3\x9F"
                                         "e\r\nzwei\r\n"));
    EXPECT_EQ(text.format.encoding, ViewerEncoding::Utf8);
    EXPECT_EQ(text.format.lineEnd, LineEnd::CrLf);
    EXPECT_FALSE(text.format.standIns);
    EXPECT_EQ(text.text, QString::fromUtf8("grüße\nzwei\n"));

    text = codec.decode(Bytes("caf\xE9\n"));  // Latin-1, not UTF-8
    EXPECT_EQ(text.format.encoding, ViewerEncoding::BytePerChar);
    EXPECT_EQ(text.text, QString::fromUtf8("café\n"));

    text = codec.decode(Bytes("\xEF\xBB\xBFx"));
    EXPECT_TRUE(text.format.utf8Bom);
    EXPECT_EQ(text.text, QStringLiteral("x"));

    // Mixed line ends: the lone LF is shown as a character.
    text = codec.decode(Bytes("a\r\nb\nc\r\n"));
    EXPECT_TRUE(text.format.standIns);
    EXPECT_EQ(text.text, U(u"a\nb\u240Ac\n"));

    // A file with a stand-in of its own and mixed line ends falls back to bytes.
    text = codec.decode(Bytes("\xE2\x90\x8D\r\n\n\r\n"));
    EXPECT_EQ(text.format.encoding, ViewerEncoding::BytePerChar);
}

TEST_F(ViewerCodecTest, EditedTextTakesTheFileLineEnds)
{
    const ViewerText text = codec.decode(Bytes("a\r\nb"));
    EXPECT_EQ(codec.encode(QStringLiteral("a\nnew\nb"), text.format).bytes, Bytes("a\r\nnew\r\nb"));
}

TEST_F(ViewerCodecTest, CharactersTheEncodingCannotHoldAreReported)
{
    const ViewerText bytes = codec.decode(Bytes("caf\xE9"));
    const EncodedText out = codec.encode(U(u"caf\u00E9 \u20AC"), bytes.format);
    EXPECT_EQ(out.badCharacter, 5);  // the euro sign: the file is shown byte per character

    const ViewerText utf = codec.decode(Bytes("ok"));
    EXPECT_EQ(codec.encode(U(u"lone \xD800 surrogate"), utf.format).badCharacter, 5);
    EXPECT_EQ(codec.encode(U(u"\u20AC"), utf.format).bytes, Bytes("\xE2\x82\xAC"));
}

TEST(ViewerCodecSingleByte, UsesTheCodePageTable)
{
    CodePage latin9("ISO-8859-15");
    ViewerCodec codec(latin9);
    const ViewerText text = codec.decode(Bytes("\xA4 5\n"));  // the euro sign in Latin-9
    EXPECT_EQ(text.format.encoding, ViewerEncoding::CodePageBytes);
    EXPECT_EQ(text.text, U(u"\u20AC 5\n"));
    EXPECT_EQ(codec.encode(text.text, text.format).bytes, Bytes("\xA4 5\n"));
    EXPECT_EQ(codec.encode(U(u"\u0100"), text.format).badCharacter, 0);
}

// A UTF-8 mark says the file is UTF-8 in a single-byte locale too; it was
// shown as "ï»¿" and its characters byte by byte.
TEST(ViewerCodecSingleByte, AFileWithAUtf8MarkIsUtf8)
{
    CodePage latin9("ISO-8859-15");
    ViewerCodec codec(latin9);
    const QByteArray file = Bytes("\xEF\xBB\xBFgr\xC3\xBC\xC3\x9F"
                                  "e\r\n");
    const ViewerText text = codec.decode(file);
    EXPECT_EQ(text.format.encoding, ViewerEncoding::Utf8);
    EXPECT_TRUE(text.format.utf8Bom);
    EXPECT_EQ(text.text, QString::fromUtf8("grüße\n"));
    EXPECT_EQ(codec.encode(text.text + U(u"\u20AC"), text.format).bytes, file + Bytes("\xE2\x82\xAC"));
    // Without the mark the same bytes are the code page's.
    EXPECT_EQ(codec.decode(file.mid(3)).format.encoding, ViewerEncoding::CodePageBytes);
}

TEST_F(ViewerCodecTest, ByteOffsetsBecomeCharacterRanges)
{
    // "ä" is two bytes, the emoji four bytes and two UTF-16 units, CR LF two bytes.
    const QByteArray file = Bytes("\xEF\xBB\xBF\xC3\xA4\r\n\xF0\x9F\x98\x80 hit\r\n");
    const ViewerText text = codec.decode(file);
    const qsizetype hitByte = file.indexOf("hit");
    const auto [start, end] = ViewerCodec::charRange(text.text, text.format, hitByte, 3);
    EXPECT_EQ(text.text.mid(start, end - start), QStringLiteral("hit"));

    // The emoji as a whole, also from a byte in its middle.
    const qsizetype emoji = file.indexOf("\xF0");
    auto range = ViewerCodec::charRange(text.text, text.format, emoji, 4);
    EXPECT_EQ(range, std::make_pair(qsizetype(2), qsizetype(4)));
    range = ViewerCodec::charRange(text.text, text.format, emoji + 1, 1);
    EXPECT_EQ(range, std::make_pair(qsizetype(2), qsizetype(4)));

    // The line end: two bytes, one character.
    range = ViewerCodec::charRange(text.text, text.format, file.indexOf('\r'), 2);
    EXPECT_EQ(range, std::make_pair(qsizetype(1), qsizetype(2)));

    // Inside the byte-order mark, and beyond the end.
    EXPECT_EQ(ViewerCodec::charRange(text.text, text.format, 1, 0).first, 0);
    EXPECT_EQ(ViewerCodec::charRange(text.text, text.format, 1000, 5), std::make_pair(text.text.size(), text.text.size()));
}

TEST_F(ViewerCodecTest, ByteOffsetsInABytePerCharacterFile)
{
    const QByteArray file = Bytes("\xFF\r\nx\ny\r\nhit");
    const ViewerText text = codec.decode(file);
    ASSERT_EQ(text.format.encoding, ViewerEncoding::BytePerChar);
    const auto [start, end] = ViewerCodec::charRange(text.text, text.format, file.indexOf("hit"), 3);
    EXPECT_EQ(text.text.mid(start, end - start), QStringLiteral("hit"));
}

// A UTF-16 file in either byte order, as it would be written: the mark, then
// each unit in that order.
QByteArray Utf16(std::u16string_view units, bool littleEndian)
{
    QByteArray bytes;
    for (char16_t unit : std::u16string(1, 0xFEFF) + std::u16string(units)) {
        const char low = static_cast<char>(unit & 0xFF);
        const char high = static_cast<char>(unit >> 8);
        bytes.append(littleEndian ? low : high);
        bytes.append(littleEndian ? high : low);
    }
    return bytes;
}

TEST_F(ViewerCodecTest, Utf16ThatCannotComeBackUnchangedIsReadOnly)
{
    struct Case {
        QByteArray file;
        ReadOnlyReason reason;
        QString text;
    };
    const Case cases[] = {
        {Utf16(u"ab", true) + Bytes("c"), ReadOnlyReason::OddFinalByte, U(u"ab\uFFFD")},
        {Utf16(u"lone \xD83D high", true), ReadOnlyReason::UnpairedSurrogate, U(u"lone \uFFFD high")},
        {Utf16(u"ends in \xD83D", false), ReadOnlyReason::UnpairedSurrogate, U(u"ends in \uFFFD")},
        {Utf16(u"para\u2029graph", true), ReadOnlyReason::EditorCharacters, U(u"para\uFFFDgraph")},
        // Its own ␊ could not be told from the stand-in for the lone LF.
        {Utf16(u"\u240A\r\n\n\r\n", true), ReadOnlyReason::EditorCharacters, U(u"\u240A\n\u240A\n")},
    };
    for (const Case& c : cases) {
        const ViewerText shown = codec.decode(c.file);
        EXPECT_EQ(shown.readOnly, c.reason) << testing::PrintToString(c.file.toStdString());
        EXPECT_EQ(shown.text, c.text) << testing::PrintToString(c.file.toStdString());
    }
}

// Random files built from the pieces that make decoding hard: every one must
// come back byte for byte, and every piece's byte range must select exactly
// the characters that are written back as that piece.
TEST(ViewerCodecRandomFiles, RoundTripAndByteRangesHoldForAnyMixture)
{
    const std::vector<std::string> pieces = {"a",
                                             "Z",
                                             " ",
                                             "\r",
                                             "\n",
                                             "\r\n",
                                             std::string(1, '\0'),
                                             "\xC3\xA4",
                                             "\xF0\x9F\x98\x80",
                                             "\xFF",
                                             "\xC3",
                                             "\xE2\x80\xA8",
                                             "\xE2\x80\xA9",
                                             "\xE2\x90\x8D",
                                             "\xE2\x90\x8A",
                                             "\xEF\xB7\x90",
                                             "\xA4"};
    CodePage utf8("UTF-8");
    CodePage latin9("ISO-8859-15");
    const ViewerCodec codecs[] = {ViewerCodec(utf8), ViewerCodec(latin9)};
    std::mt19937 random(20261209);
    for (int round = 0; round < 3000; ++round) {
        std::string file = random() % 8 == 0 ? "\xEF\xBB\xBF" : "";
        std::vector<std::pair<std::size_t, std::size_t>> spans;  // byte start, length of each piece
        const int count = static_cast<int>(random() % 24);
        for (int i = 0; i < count; ++i) {
            const std::string& piece = pieces[random() % pieces.size()];
            spans.emplace_back(file.size(), piece.size());
            file += piece;
        }
        for (const ViewerCodec& codec : codecs) {
            const ViewerText shown = codec.decode(Bytes(file));
            const EncodedText back = codec.encode(shown.text, shown.format);
            ASSERT_EQ(back.badCharacter, -1) << testing::PrintToString(file);
            ASSERT_EQ(back.bytes, Bytes(file)) << testing::PrintToString(file);
            for (std::size_t i = 0; i < spans.size(); ++i) {
                const auto [start, length] = spans[i];
                // In a valid UTF-8 file a single byte above 0x7F is part of a
                // character made with its neighbour; its range is that whole character.
                if (shown.format.encoding == ViewerEncoding::Utf8 && length == 1 &&
                    static_cast<unsigned char>(file[start]) > 0x7F)
                    continue;
                // CR then LF from two pieces form one line end when CR LF is the file's kind.
                const bool joinsNext =
                    file.compare(start, length, "\r") == 0 && start + 1 < file.size() && file[start + 1] == '\n';
                const bool joinsPrevious = file.compare(start, length, "\n") == 0 && start > 0 && file[start - 1] == '\r';
                if ((joinsNext || joinsPrevious) && shown.format.lineEnd == LineEnd::CrLf) continue;
                const auto [from, to] = ViewerCodec::charRange(shown.text, shown.format, static_cast<std::int64_t>(start),
                                                               static_cast<std::int64_t>(length));
                ViewerFileFormat piece = shown.format;
                piece.utf8Bom = false;
                EXPECT_EQ(codec.encode(shown.text.mid(from, to - from), piece).bytes, Bytes(file.substr(start, length)))
                    << testing::PrintToString(file) << " piece " << i;
            }
        }
    }
}

// The same for UTF-16 in both byte orders, with a mark of its own, NULs,
// mixed line ends and units that hold the bytes of CR and LF.
TEST(ViewerCodecRandomFiles, Utf16ComesBackByteForByte)
{
    const std::u16string pieces[] = {u"a",          u"\r",     u"\n",     u"\r\n",   std::u16string(1, u'\0'),
                                     u"\U0001F600", u"\u0D0A", u"\u2028", u"\u240D", u"\u240A",
                                     u"\uFEFF"};
    CodePage utf8("UTF-8");
    const ViewerCodec codec(utf8);
    std::mt19937 random(20261210);
    for (int round = 0; round < 3000; ++round) {
        std::u16string units;
        for (int i = random() % 24; i > 0; --i) units += pieces[random() % std::size(pieces)];
        const QByteArray file = Utf16(units, random() % 2 == 0);
        const ViewerText shown = codec.decode(file);
        // Its own ␍ or ␊ beside stand-ins could not be told apart.
        const bool ambiguous = shown.format.standIns && units.find_first_of(u"\u240D\u240A") != std::u16string::npos;
        ASSERT_EQ(shown.readOnly, ambiguous ? ReadOnlyReason::EditorCharacters : ReadOnlyReason::None);
        if (!ambiguous)
            ASSERT_EQ(codec.encode(shown.text, shown.format).bytes, file) << testing::PrintToString(file.toStdString());
    }
}

TEST(StrictUtf8, RejectsWhatIsNotUtf8)
{
    EXPECT_TRUE(IsStrictUtf8("plain ascii text, long enough for the fast path", 47));
    EXPECT_TRUE(IsStrictUtf8("\xF4\x8F\xBF\xBF", 4));
    EXPECT_FALSE(IsStrictUtf8("\xF4\x90\x80\x80", 4));  // above U+10FFFF
    EXPECT_FALSE(IsStrictUtf8("\xE0\x80\xAF", 3));  // overlong
    EXPECT_FALSE(IsStrictUtf8("\xED\xB0\x80", 3));  // surrogate
    EXPECT_FALSE(IsStrictUtf8("\x80", 1));
}

}  // namespace
}  // namespace tarnwick::ui
