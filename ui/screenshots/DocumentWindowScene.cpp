// The word processor's window after a hit in a .docx was opened from the
// results: the letter's text with the hit selected. The document is written
// into a temporary folder and shown through the same connection the
// program uses.
#include <QTemporaryDir>

#include <cstdint>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "ui/DocumentWindow.h"
#include "ui/ViewerWordConnection.h"
#include "ui/screenshots/ScreenshotScenes.h"
#include "word/Automation.h"

namespace tarnwick::screenshots {
namespace {

std::uint32_t Crc32(const std::string& data)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char byte : data) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void PutLittleEndian(std::string& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// A zip archive of stored entries: all a document package needs.
void WriteStoredZip(const std::string& path, const std::vector<std::pair<std::string, std::string>>& entries)
{
    std::string archive, directory;
    for (const auto& [name, data] : entries) {
        std::string fields;
        for (std::uint32_t value : {20u, 0u, 0u, 0u, 0x21u}) PutLittleEndian(fields, value, 2);
        PutLittleEndian(fields, Crc32(data), 4);
        PutLittleEndian(fields, static_cast<std::uint32_t>(data.size()), 4);
        PutLittleEndian(fields, static_cast<std::uint32_t>(data.size()), 4);
        PutLittleEndian(fields, static_cast<std::uint32_t>(name.size()), 2);
        PutLittleEndian(fields, 0, 2);
        PutLittleEndian(directory, 0x02014b50, 4);
        PutLittleEndian(directory, 20, 2);
        directory += fields;
        for (int i = 0; i < 3; ++i) PutLittleEndian(directory, 0, 2);
        PutLittleEndian(directory, 0, 4);
        PutLittleEndian(directory, static_cast<std::uint32_t>(archive.size()), 4);
        directory += name;
        PutLittleEndian(archive, 0x04034b50, 4);
        archive += fields + name + data;
    }
    const auto directoryOffset = static_cast<std::uint32_t>(archive.size());
    archive += directory;
    PutLittleEndian(archive, 0x06054b50, 4);
    PutLittleEndian(archive, 0, 4);
    PutLittleEndian(archive, static_cast<std::uint32_t>(entries.size()), 2);
    PutLittleEndian(archive, static_cast<std::uint32_t>(entries.size()), 2);
    PutLittleEndian(archive, static_cast<std::uint32_t>(directory.size()), 4);
    PutLittleEndian(archive, directoryOffset, 4);
    PutLittleEndian(archive, 0, 2);
    std::ofstream(path, std::ios::binary) << archive;
}

const std::vector<std::string> kLetter = {
    "Anna Berger · Lindenweg 4 · 38640 Goslar",
    "",
    "Schreinerei Holzmann",
    "Am Mühlbach 12",
    "38644 Goslar",
    "",
    "Goslar, 3. Dezember 2026",
    "",
    "Lieferung des Esstischs, Auftrag 2026-118",
    "",
    "Sehr geehrter Herr Holzmann,",
    "",
    "vielen Dank für die schnelle Bestätigung unseres Auftrags. Wie besprochen bitten wir um die Lieferung des "
    "Esstischs aus Eiche am Freitag, dem 18. Dezember, zwischen 9 und 12 Uhr.",
    "Bitte rufen Sie uns am Vortag kurz an, damit jemand zu Hause ist. Die Anzahlung haben wir heute überwiesen; "
    "den Rest begleichen wir bei Lieferung.",
    "",
    "Mit freundlichen Grüßen",
    "Anna Berger",
};

std::string LetterDocumentXml()
{
    std::string body;
    for (const std::string& paragraph : kLetter)
        body += "<w:p><w:r><w:t xml:space=\"preserve\">" + paragraph + "</w:t></w:r></w:p>";
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
           "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:body>" +
           body + "<w:sectPr/></w:body></w:document>";
}

void RenderDocumentWindow(const QString& pngPath)
{
    QTemporaryDir folder;
    const std::string path = folder.filePath(QStringLiteral("lieferung.docx")).toStdString();
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
         {"word/document.xml", LetterDocumentXml()}});

    // The hit: the second "Lieferung", in the body of the letter, in UTF-16
    // positions as a search reports them.
    std::u16string text;
    for (const std::string& paragraph : kLetter) text += QString::fromStdString(paragraph).toStdU16String() + u"\r";
    const std::size_t first = text.find(u"Lieferung");
    const std::size_t hit = text.find(u"Lieferung", first + 1);

    ui::DocumentWindow window;
    window.resize(820, 560);
    ui::ViewerWordConnection connection(word::CreateFileApplication, &window);
    connection.show(path, static_cast<std::int64_t>(hit), 9);
    SaveWindowShot(window, pngPath);
}

const SceneRegistration kDocumentWindow{QStringLiteral("document-window"), &RenderDocumentWindow};

}  // namespace
}  // namespace tarnwick::screenshots
