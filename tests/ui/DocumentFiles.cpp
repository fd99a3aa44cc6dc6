#include "tests/ui/DocumentFiles.h"

#include <cstdint>
#include <fstream>

namespace tarnwick::test {
namespace {

std::uint32_t Crc32(std::string_view data)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char byte : data) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void Put16(std::string& out, std::uint32_t value)
{
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

void Put32(std::string& out, std::uint32_t value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

// Version, flags, method, time, date, CRC and both sizes: shared by both headers.
void PutEntryFields(std::string& out, const std::string& name, const std::string& data)
{
    Put16(out, 20);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, 0x21);  // 1 January 1980
    Put32(out, Crc32(data));
    Put32(out, static_cast<std::uint32_t>(data.size()));
    Put32(out, static_cast<std::uint32_t>(data.size()));
    Put16(out, static_cast<std::uint32_t>(name.size()));
    Put16(out, 0);
}

}  // namespace

void WriteStoredZip(const std::string& path, const std::vector<std::pair<std::string, std::string>>& entries)
{
    std::string archive;
    std::string directory;
    for (const auto& [name, data] : entries) {
        const auto offset = static_cast<std::uint32_t>(archive.size());
        Put32(archive, 0x04034b50);
        PutEntryFields(archive, name, data);
        archive += name;
        archive += data;
        Put32(directory, 0x02014b50);
        Put16(directory, 20);
        PutEntryFields(directory, name, data);
        Put16(directory, 0);  // comment
        Put16(directory, 0);  // disk
        Put16(directory, 0);  // internal attributes
        Put32(directory, 0);  // external attributes
        Put32(directory, offset);
        directory += name;
    }
    const auto directoryOffset = static_cast<std::uint32_t>(archive.size());
    archive += directory;
    Put32(archive, 0x06054b50);
    Put16(archive, 0);
    Put16(archive, 0);
    Put16(archive, static_cast<std::uint32_t>(entries.size()));
    Put16(archive, static_cast<std::uint32_t>(entries.size()));
    Put32(archive, static_cast<std::uint32_t>(directory.size()));
    Put32(archive, directoryOffset);
    Put16(archive, 0);
    std::ofstream(path, std::ios::binary) << archive;
}

std::string WriteDocx(const TempTree& tree, std::string_view name, std::string_view bodyXml)
{
    const std::string path = tree.path(name);
    WriteStoredZip(
        path,
        {{"[Content_Types].xml",
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
         {"word/document.xml",
          "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
          "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:body>" +
              std::string(bodyXml) + "<w:sectPr/></w:body></w:document>"}});
    return path;
}

std::string WriteDocxParagraphs(const TempTree& tree, std::string_view name, const std::vector<std::string>& paragraphs)
{
    std::string body;
    for (const std::string& text : paragraphs) body += "<w:p><w:r><w:t xml:space=\"preserve\">" + text + "</w:t></w:r></w:p>";
    return WriteDocx(tree, name, body);
}

std::string WriteOdt(const TempTree& tree, std::string_view name, std::string_view textXml)
{
    const std::string path = tree.path(name);
    WriteStoredZip(
        path,
        {{"mimetype", "application/vnd.oasis.opendocument.text"},
         {"content.xml",
          "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
          "<office:document-content xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
          "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
          "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" office:version=\"1.3\">"
          "<office:body><office:text>" +
              std::string(textXml) + "</office:text></office:body></office:document-content>"},
         {"META-INF/manifest.xml",
          "<?xml version=\"1.0\" encoding=\"UTF-8\"?><manifest:manifest "
          "xmlns:manifest=\"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0\" manifest:version=\"1.3\">"
          "<manifest:file-entry manifest:full-path=\"/\" "
          "manifest:media-type=\"application/vnd.oasis.opendocument.text\"/>"
          "<manifest:file-entry manifest:full-path=\"content.xml\" manifest:media-type=\"text/xml\"/>"
          "</manifest:manifest>"}});
    return path;
}

std::string WriteRtf(const TempTree& tree, std::string_view name, std::string_view text)
{
    return tree.write(name, "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0 Arial;}}\\f0 " + std::string(text) +
                                "\\par}");
}

}  // namespace tarnwick::test
