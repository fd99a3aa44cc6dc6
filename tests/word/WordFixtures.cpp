#include "tests/word/WordFixtures.h"

#include "word/automation/WordErrors.h"
#include "word/story/Utf16.h"

#include <zip.h>

#include <stdexcept>

namespace tarnwick::word::test {

void WriteZip(const std::string& path, const std::vector<ZipEntry>& entries)
{
    int error = 0;
    zip_t* zip = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!zip) throw std::runtime_error("zip_open failed");
    for (const ZipEntry& entry : entries) {
        zip_source_t* source = zip_source_buffer(zip, entry.data.data(), entry.data.size(), 0);
        const zip_int64_t index = zip_file_add(zip, entry.name.c_str(), source, ZIP_FL_ENC_UTF_8);
        if (index < 0) throw std::runtime_error("zip_file_add failed");
        zip_set_file_compression(zip, static_cast<zip_uint64_t>(index), entry.stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 0);
        if (entry.encrypted) zip_file_set_encryption(zip, static_cast<zip_uint64_t>(index), ZIP_EM_AES_256, "pw");
    }
    if (zip_close(zip) != 0) throw std::runtime_error("zip_close failed");
}

std::vector<std::pair<std::string, std::string>> RawEntries(const std::string& path)
{
    std::vector<std::pair<std::string, std::string>> out;
    int error = 0;
    zip_t* zip = zip_open(path.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &error);
    if (!zip) return out;
    for (zip_int64_t i = 0; i < zip_get_num_entries(zip, 0); ++i) {
        zip_stat_t stat;
        zip_stat_index(zip, static_cast<zip_uint64_t>(i), 0, &stat);
        std::string data(stat.comp_size, '\0');
        zip_file_t* file = zip_fopen_index(zip, static_cast<zip_uint64_t>(i), ZIP_FL_COMPRESSED);
        zip_fread(file, data.data(), data.size());
        zip_fclose(file);
        out.emplace_back(stat.name, data);
    }
    zip_discard(zip);
    return out;
}

std::string EntryData(const std::string& path, const std::string& name)
{
    int error = 0;
    zip_t* zip = zip_open(path.c_str(), ZIP_RDONLY, &error);
    if (!zip) return {};
    zip_stat_t stat;
    std::string data;
    if (zip_stat(zip, name.c_str(), 0, &stat) == 0) {
        data.resize(stat.size);
        zip_file_t* file = zip_fopen(zip, name.c_str(), 0);
        zip_fread(file, data.data(), data.size());
        zip_fclose(file);
    }
    zip_discard(zip);
    return data;
}

std::string DocumentXml(std::string_view body)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
           "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
           "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\" "
           "xmlns:wp=\"http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing\" "
           "xmlns:mc=\"http://schemas.openxmlformats.org/markup-compatibility/2006\" "
           "xmlns:wps=\"urn:tarnwick:test:shapes\" mc:Ignorable=\"wps\">"
           "<w:body>" +
        std::string(body) + "<w:sectPr/></w:body></w:document>";
}

std::vector<ZipEntry> DocxEntries(const std::string& documentXml)
{
    return {
        {"[Content_Types].xml",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Types "
         "xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"><Default Extension=\"rels\" "
         "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/><Default Extension=\"xml\" "
         "ContentType=\"application/xml\"/><Override PartName=\"/word/document.xml\" "
         "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/></Types>"},
        {"_rels/.rels",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships "
         "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship Id=\"rId1\" "
         "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
         "Target=\"word/document.xml\"/></Relationships>"},
        {"word/document.xml", documentXml},
        {"word/_rels/document.xml.rels",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships "
         "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship Id=\"rLink\" "
         "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/hyperlink\" "
         "Target=\"https://example.org/\" TargetMode=\"External\"/></Relationships>"},
        {"word/styles.xml",
         "<?xml version=\"1.0\"?><w:styles "
         "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"/>"},
    };
}

std::string WriteDocx(const tarnwick::test::TempTree& tree, std::string_view name, std::string_view body)
{
    const std::string path = tree.path(name);
    WriteZip(path, DocxEntries(DocumentXml(body)));
    return path;
}

std::string ContentXml(std::string_view text)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<office:document-content xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
           "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
           "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
           "xmlns:draw=\"urn:oasis:names:tc:opendocument:xmlns:drawing:1.0\" office:version=\"1.3\">"
           "<office:body><office:text>" +
        std::string(text) + "</office:text></office:body></office:document-content>";
}

std::vector<ZipEntry> OdtEntries(const std::string& contentXml)
{
    return {
        {"mimetype", "application/vnd.oasis.opendocument.text", true},
        {"content.xml", contentXml},
        {"styles.xml",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?><office:document-styles "
         "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\"/>"},
        {"META-INF/manifest.xml",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?><manifest:manifest "
         "xmlns:manifest=\"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0\" manifest:version=\"1.3\">"
         "<manifest:file-entry manifest:full-path=\"/\" "
         "manifest:media-type=\"application/vnd.oasis.opendocument.text\"/>"
         "<manifest:file-entry manifest:full-path=\"content.xml\" manifest:media-type=\"text/xml\"/>"
         "</manifest:manifest>"},
    };
}

std::string WriteOdt(const tarnwick::test::TempTree& tree, std::string_view name, std::string_view text)
{
    const std::string path = tree.path(name);
    WriteZip(path, OdtEntries(ContentXml(text)));
    return path;
}

std::string Utf8(std::u16string_view text) { return Utf16ToUtf8(text); }

int ErrorNumberOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const ServerError& e) {
        return e.number();
    }
    return 0;
}
std::u16string Utf16(std::string_view text) { return Utf8ToUtf16(text); }
std::string Visible(const StoryText& story) { return Utf8(story.visibleText()); }

std::int64_t PositionOf(const StoryText& story, std::string_view text)
{
    const auto index = story.visibleText().find(Utf16(text));
    if (index == std::u16string::npos) return -1;
    return story.visiblePositions()[index];
}

}  // namespace tarnwick::word::test
