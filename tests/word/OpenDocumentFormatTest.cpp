#include "word/open/OpenDocumentFormat.h"

#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

#include "platform/SystemError.h"
#include "tests/support/TempTree.h"
#include "word/automation/WordErrors.h"
#include "word/open/FileSniffer.h"

namespace tarnwick::word {
namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;

std::uint32_t crc32(std::string_view data)
{
    std::uint32_t crc = 0xFFFFFFFF;
    for (unsigned char byte : data) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
    }
    return ~crc;
}

void put(std::string& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// A zip archive with the entries stored, in order.
std::string zipOf(const Entries& entries)
{
    std::string archive, directory;
    for (const auto& [name, data] : entries) {
        std::string common;
        put(common, 20, 2);  // version needed
        put(common, 0, 2);  // flags
        put(common, 0, 2);  // stored
        put(common, 0, 4);  // time, date
        put(common, crc32(data), 4);
        put(common, static_cast<std::uint32_t>(data.size()), 4);
        put(common, static_cast<std::uint32_t>(data.size()), 4);
        put(common, static_cast<std::uint32_t>(name.size()), 2);
        put(common, 0, 2);  // extra
        directory += std::string("PK\x01\x02", 4);
        put(directory, 20, 2);
        directory += common;
        put(directory, 0, 2);  // comment length
        put(directory, 0, 4);  // disk, internal attributes
        put(directory, 0, 4);  // external attributes
        put(directory, static_cast<std::uint32_t>(archive.size()), 4);
        directory += name;
        archive += std::string("PK\x03\x04", 4) + common + name + data;
    }
    const auto offset = static_cast<std::uint32_t>(archive.size());
    archive += directory;
    archive += std::string("PK\x05\x06", 4);
    put(archive, 0, 4);
    put(archive, static_cast<std::uint32_t>(entries.size()), 2);
    put(archive, static_cast<std::uint32_t>(entries.size()), 2);
    put(archive, static_cast<std::uint32_t>(directory.size()), 4);
    put(archive, offset, 4);
    put(archive, 0, 2);
    return archive;
}

std::string docx(const std::string& relationshipType, const std::string& contentType)
{
    return zipOf({
        {"[Content_Types].xml",
         "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
         "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
         "<Override PartName=\"/word/document.xml\" ContentType=\"" +
             contentType + "\"/></Types>"},
        {"_rels/.rels",
         "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
         "<Relationship Id=\"rId1\" Type=\"" +
             relationshipType + "\" Target=\"/word/document.xml\"/></Relationships>"},
        {"word/document.xml",
         "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
         "<w:body><w:p><w:r><w:t>Hi</w:t></w:r></w:p></w:body></w:document>"},
    });
}

const std::string kOfficeDocument = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument";
const std::string kWordMain = "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml";

std::string odt(const std::string& mimetype)
{
    return zipOf({
        {"mimetype", mimetype},
        {"content.xml",
         "<office:document-content xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
         "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" office:version=\"1.2\">"
         "<office:body><office:text><text:p>Hi</text:p></office:text></office:body></office:document-content>"},
        {"META-INF/manifest.xml",
         "<manifest:manifest xmlns:manifest=\"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0\">"
         "<manifest:file-entry manifest:full-path=\"/\" manifest:media-type=\"" +
             mimetype +
             "\"/>"
             "<manifest:file-entry manifest:full-path=\"content.xml\" manifest:media-type=\"text/xml\"/>"
             "</manifest:manifest>"},
    });
}

std::string compoundFile(bool encrypted)
{
    std::string bytes("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    bytes.resize(2048, '\0');
    const char16_t* name = encrypted ? u"EncryptionInfo" : u"WordDocument";
    for (std::size_t i = 0; name[i]; ++i) bytes[1024 + 2 * i] = static_cast<char>(name[i]);
    return bytes;
}

// A compound file of `size` bytes with the stream name `name` at `at`.
std::string compoundFileWith(std::size_t size, const char16_t* name, std::size_t at)
{
    std::string bytes("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    bytes.resize(size, '\0');
    for (std::size_t i = 0; name[i]; ++i) bytes[at + 2 * i] = static_cast<char>(name[i]);
    return bytes;
}

std::pair<int, std::string> openError(const std::string& path)
{
    try {
        OpenDocumentFormat(path);
    } catch (const ServerError& e) {
        return {e.number(), e.description()};
    }
    return {0, {}};
}

TEST(FileSniffer, TellsKindsByContentNotByName)
{
    test::TempTree tree;
    EXPECT_EQ(SniffDocument(tree.write("a.doc", "{\\rtf1 x}")), DocumentKind::Rtf);
    EXPECT_EQ(SniffDocument(tree.write("b.rtf", docx(kOfficeDocument, kWordMain))), DocumentKind::WordprocessingPackage);
    const std::string strict = docx("http://purl.oclc.org/ooxml/officeDocument/relationships/officeDocument",
                                    "application/vnd.openxmlformats-officedocument.wordprocessingml.template.main+xml");
    EXPECT_EQ(SniffDocument(tree.write("c", strict)), DocumentKind::WordprocessingPackage);
    EXPECT_EQ(SniffDocument(tree.write("d.docx", odt("application/vnd.oasis.opendocument.text"))),
              DocumentKind::OpenDocumentText);
    EXPECT_EQ(SniffDocument(tree.write("e.ott", odt("application/vnd.oasis.opendocument.text-template"))),
              DocumentKind::OpenDocumentText);
    EXPECT_EQ(SniffDocument(tree.write("f.docx", compoundFile(false))), DocumentKind::LegacyBinary);
    EXPECT_EQ(SniffDocument(tree.write("g.docx", compoundFile(true))), DocumentKind::EncryptedPackage);
    EXPECT_EQ(SniffDocument(tree.write("h.docx", "")), DocumentKind::Empty);

    // Packages of other kinds and anything else are unknown.
    const std::string sheet = docx(kOfficeDocument, "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml");
    EXPECT_EQ(SniffDocument(tree.write("i.docx", sheet)), DocumentKind::Unknown);
    EXPECT_EQ(SniffDocument(tree.write("j.odt", odt("application/vnd.oasis.opendocument.spreadsheet"))), DocumentKind::Unknown);
    EXPECT_EQ(SniffDocument(tree.write("k.docx", std::string("PK\x03\x04garbage", 11))), DocumentKind::Unknown);
    EXPECT_EQ(SniffDocument(tree.write("l.rtf", "plain text {\\rtf1}")), DocumentKind::Unknown);
}

// The sniffer reads a compound file in blocks no larger than the file; the
// stream name must be found wherever it lies, across a block's end too.
TEST(FileSniffer, FindsTheEncryptionStreamAnywhereInTheFile)
{
    test::TempTree tree;
    constexpr std::size_t kNameBytes = 28;
    constexpr std::size_t kBlock = 1 << 20;
    EXPECT_EQ(SniffDocument(tree.write("end.doc", compoundFileWith(64, u"EncryptionInfo", 64 - kNameBytes))),
              DocumentKind::EncryptedPackage);
    EXPECT_EQ(SniffDocument(tree.write("cut.doc", compoundFileWith(63, u"EncryptionInfo", 63 - kNameBytes + 1))),
              DocumentKind::LegacyBinary);
    for (std::size_t at : {kBlock - kNameBytes, kBlock - kNameBytes + 2, kBlock - 2, kBlock, 3 * kBlock - 10})
        EXPECT_EQ(SniffDocument(tree.write("big.doc", compoundFileWith(3 * kBlock + 100, u"EncryptionInfo", at))),
                  DocumentKind::EncryptedPackage)
            << at;
    EXPECT_EQ(SniffDocument(tree.write("plain.doc", compoundFileWith(3 * kBlock, u"WordDocument", kBlock - 4))),
              DocumentKind::LegacyBinary);
}

TEST(OpenDocumentFormat, OpensSupportedKindsAndRefusesTheRest)
{
    test::TempTree tree;
    EXPECT_EQ(OpenDocumentFormat(tree.write("a.docx", "{\\rtf1 Hi\\par}"))->mainStory().visibleText(), u"Hi\r");
    EXPECT_EQ(OpenDocumentFormat(tree.write("b.rtf", docx(kOfficeDocument, kWordMain)))->mainStory().visibleText(), u"Hi\r");
    EXPECT_EQ(OpenDocumentFormat(tree.write("c.rtf", odt("application/vnd.oasis.opendocument.text")))->mainStory().visibleText(),
              u"Hi\r");

    EXPECT_EQ(openError(tree.write("d.doc", compoundFile(false))).first, kErrorEncrypted);
    EXPECT_EQ(openError(tree.write("e.docx", compoundFile(true))),
              std::make_pair(int(kErrorEncrypted), std::string(kEncryptedDocument)));
    EXPECT_EQ(openError(tree.write("f.rtf", std::string("gar\0bage", 8))),
              std::make_pair(int(kErrorDamaged), std::string("Das Dateiformat wird nicht unterstützt.")));
    // Text and an empty file are documents of lines (TextFormatTest).
    EXPECT_EQ(OpenDocumentFormat(tree.write("g.rtf", ""))->mainStory().visibleText(), u"\r");
    EXPECT_EQ(openError(tree.path("missing.rtf")),
              std::make_pair(int(kErrorCannotOpen), "Die Datei kann nicht geöffnet werden: " + SystemErrorText(ENOENT)));
    EXPECT_EQ(openError(tree.mkdir("dir.rtf")).first, kErrorCannotOpen);
}

}  // namespace
}  // namespace tarnwick::word
