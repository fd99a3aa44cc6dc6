// Writes the small seed corpus of the fuzz targets: SeedCorpus DIR creates
// DIR/rtf (documents), DIR/replace (documents with edit parameters at the
// end, where the replace target takes them from) and DIR/package (packages
// and other files for the dispatcher).
#include <zip.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Entries = std::vector<std::pair<std::string, std::string>>;

const std::vector<std::string> kRtfSeeds = {
    "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\froman Liberation Serif;}}\n\\pard\\plain {\\loch Hello world   \\tab \\line "
    "end}\\par }",
    "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\fcharset0 Times;}{\\f1\\fcharset204 Cyr;}{\\f2\\fcharset128 Mincho;}}"
    "{\\colortbl;\\red0\\green0\\blue0;}{\\*\\generator g;}{\\info{\\title t}}\\pard Gr\\'fc\\u223\\'df {\\b bold\\b0} "
    "{\\f1\\'c0}{\\f2\\'82\\'a0}{\\uc2\\u12354\\'82\\'a0}\\u-10179?\\u-8704?\\par}",
    "{\\rtf1 a{\\field{\\*\\fldinst { HYPERLINK \"x\" }}{\\fldrslt {\\ul link}}}b{\\*\\bkmkstart m}c{\\*\\bkmkend m}"
    "{\\super\\chftn}{\\footnote\\pard {\\super\\chftn} note}\\par}",
    "{\\rtf1 \\trowd\\cellx1000\\cellx2000 a\\cell b\\cell\\row \\pard x\\sect y\\page z\\column {\\v hidden}"
    "{\\deleted gone}\\emdash\\endash\\lquote\\rquote\\ldblquote\\rdblquote\\bullet\\~\\-\\_\\{\\}\\\\\\par}",
    "{\\rtf1 {\\*\\shppict{\\pict\\pngblip\\bin4 {}\\}}}{\\nonshppict{\\pict 0a0b}}{\\object{\\*\\objdata 00}}"
    "{\\header h}{\\listtext 1.\\tab}item\\par}",
};

void write(const fs::path& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

std::string zipOf(const fs::path& scratch, const Entries& entries)
{
    fs::remove(scratch);
    int error = 0;
    zip_t* zip = zip_open(scratch.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!zip) return {};
    for (const auto& [name, data] : entries) {
        zip_source_t* source = zip_source_buffer(zip, data.data(), data.size(), 0);
        const zip_int64_t index = zip_file_add(zip, name.c_str(), source, ZIP_FL_ENC_UTF_8);
        if (name == "mimetype") zip_set_file_compression(zip, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0);
    }
    zip_close(zip);
    std::ifstream in(scratch, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    fs::remove(scratch);
    return bytes;
}

const char* kDocument = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
                        "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:body>"
                        "<w:p><w:r><w:rPr><w:b/></w:rPr><w:t xml:space=\"preserve\">Hello </w:t></w:r><w:r><w:t>world</w:t></w:r>"
                        "<w:r><w:tab/><w:br/></w:r><w:fldSimple w:instr=\" PAGE \"><w:r><w:t>1</w:t></w:r></w:fldSimple></w:p>"
                        "<w:tbl><w:tr><w:tc><w:p><w:r><w:t>cell</w:t></w:r></w:p></w:tc></w:tr></w:tbl>"
                        "<w:p><w:r><w:instrText>x</w:instrText></w:r><w:del><w:r><w:delText>gone</w:delText></w:r></w:del></w:p>"
                        "<w:sectPr/></w:body></w:document>";

const char* kContent =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
    "<office:document-content xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
    "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" office:version=\"1.2\"><office:body>"
    "<office:text><text:p>Hello <text:span>wor</text:span>ld<text:s text:c=\"2\"/>x<text:tab/><text:line-break/>"
    "</text:p><text:h>Head</text:h></office:text></office:body></office:document-content>";

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: SeedCorpus DIR\n");
        return 2;
    }
    const fs::path root = argv[1];
    for (const char* dir : {"rtf", "replace", "package", "archive"}) fs::create_directories(root / dir);
    int n = 0;
    for (const std::string& rtf : kRtfSeeds) {
        write(root / "rtf" / ("seed" + std::to_string(n)), rtf);
        write(root / "replace" / ("seed" + std::to_string(n)), rtf + std::string("\x00\x03\x00\x01\x04\x02\x01", 7));
        write(root / "package" / ("rtf" + std::to_string(n)), rtf);
        ++n;
    }
    const fs::path scratch = root / "scratch.zip";
    write(root / "package" / "docx",
          zipOf(scratch,
                {{"[Content_Types].xml",
                  "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
                  "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
                  "<Default Extension=\"xml\" ContentType=\"application/xml\"/><Override PartName=\"/word/document.xml\" "
                  "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/>"
                  "</Types>"},
                 {"_rels/.rels",
                  "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                  "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                  "relationships/officeDocument\" Target=\"word/document.xml\"/></Relationships>"},
                 {"word/document.xml", kDocument}}));
    write(root / "package" / "odt",
          zipOf(scratch,
                {{"mimetype", "application/vnd.oasis.opendocument.text"},
                 {"content.xml", kContent},
                 {"META-INF/manifest.xml",
                  "<manifest:manifest xmlns:manifest=\"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0\">"
                  "<manifest:file-entry manifest:full-path=\"/\" "
                  "manifest:media-type=\"application/vnd.oasis.opendocument.text\"/></manifest:manifest>"}}));
    std::string compound("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    compound.resize(1024, '\0');
    for (char c : std::string("EncryptionInfo")) compound += std::string{c, '\0'};
    write(root / "package" / "compound", compound);
    write(root / "package" / "text", "just some text\n");
    // The archive target reads its first byte as the pick of a name (0: a.zip).
    write(root / "archive" / "zip", std::string(1, '\0') + zipOf(scratch, {{"a.txt", "inner text\n"}, {"b/c.txt", "more\n"}}));
    std::string tar(1, '\1');
    std::string header(512, '\0');
    header.replace(0, 5, "a.txt");
    header.replace(100, 7, "0000644");
    header.replace(124, 11, "00000000005");
    header[156] = '0';
    header.replace(257, 6, std::string("ustar\0", 6));
    header.replace(263, 2, "00");
    header.replace(148, 8, "        ");
    unsigned sum = 0;
    for (const char c : header) sum += static_cast<unsigned char>(c);
    char checksum[8];
    std::snprintf(checksum, sizeof checksum, "%06o", sum);
    header.replace(148, 7, std::string(checksum, 6) + '\0');
    tar += header + "text\n" + std::string(507, '\0') + std::string(1024, '\0');
    write(root / "archive" / "tar", tar);
    return 0;
}
