#include "word/open/FileSniffer.h"

#include <zip.h>

#include <pugixml.hpp>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <memory>

#include "platform/InputFile.h"
#include "platform/SystemError.h"
#include "word/automation/WordErrors.h"
#include "word/format/CompoundFile.h"
#include "word/package/PackageRelationships.h"

namespace tarnwick::word {
namespace {

constexpr std::size_t kMaxSniffedPart = 4 << 20;  // _rels/.rels and [Content_Types].xml are small

[[noreturn]] void fail(std::error_code error)
{
    Refuse(kErrorCannotOpen, "Die Datei kann nicht geöffnet werden: " + SystemErrorText(error));
}

[[noreturn]] void failRead(std::error_code error)
{
    Refuse(kErrorCannotOpen, "Die Datei kann nicht gelesen werden: " + SystemErrorText(error));
}

bool equalsNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

std::string_view localName(const char* name)
{
    const char* colon = std::strrchr(name, ':');
    return colon ? colon + 1 : name;
}

// A compound file names its streams in UTF-16 in its directory; an encrypted
// package keeps its key data in a stream called EncryptionInfo.
bool holdsEncryptionInfo(const InputFile& file)
{
    static const char16_t kName[] = u"EncryptionInfo";
    constexpr std::size_t kNameBytes = (sizeof kName / sizeof kName[0] - 1) * 2;
    char pattern[kNameBytes];
    for (std::size_t i = 0; i < kNameBytes / 2; ++i) {
        pattern[2 * i] = static_cast<char>(kName[i]);
        pattern[2 * i + 1] = 0;
    }
    // No larger than the file: most compound files are far smaller than a
    // block, and zeroing a whole one would cost more than the search.
    std::string block(static_cast<std::size_t>(std::clamp<std::uint64_t>(file.size(), kNameBytes, 1 << 20)), '\0');
    for (std::uint64_t offset = 0;;) {
        const Expected<std::size_t> read = file.readAt(offset, block.data(), block.size());
        if (!read) failRead(read.error().code);
        const std::size_t got = read.value();
        if (got < kNameBytes) return false;
        if (std::string_view(block.data(), got).find(std::string_view(pattern, kNameBytes)) != std::string_view::npos)
            return true;
        if (got < block.size()) return false;
        offset += got - kNameBytes + 1;  // overlap so a name across blocks is found
    }
}

class Package {
public:
    explicit Package(const std::string& path) { m_zip = zip_open(path.c_str(), ZIP_RDONLY, &m_error); }
    ~Package()
    {
        if (m_zip) zip_discard(m_zip);
    }
    Package(const Package&) = delete;
    Package& operator=(const Package&) = delete;
    bool isOpen() const { return m_zip != nullptr; }
    // Why the package did not open.
    std::string errorText() const
    {
        zip_error_t error;
        zip_error_init_with_code(&error, m_error);
        std::string text = zip_error_strerror(&error);
        zip_error_fini(&error);
        return text;
    }

    // The entry's contents; false when it is missing, too large or unreadable.
    bool read(const std::string& name, std::string& out) const
    {
        const zip_int64_t index = zip_name_locate(m_zip, name.c_str(), ZIP_FL_NOCASE);
        if (index < 0) return false;
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(m_zip, static_cast<zip_uint64_t>(index), 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE) ||
            st.size > kMaxSniffedPart)
            return false;
        zip_file_t* file = zip_fopen_index(m_zip, static_cast<zip_uint64_t>(index), 0);
        if (!file) return false;
        out.assign(static_cast<std::size_t>(st.size), '\0');
        const zip_int64_t got = zip_fread(file, out.data(), out.size());
        zip_fclose(file);
        return got == static_cast<zip_int64_t>(out.size());
    }

private:
    zip_t* m_zip = nullptr;
    int m_error = 0;
};

// Whether a zip file that does not open begins with a part of a document
// package: then it is a document cut short or damaged, not some other file.
bool beginsWithPackagePart(const InputFile& file)
{
    constexpr std::size_t kLocalHeader = 30;
    char head[kLocalHeader + 64] = {};
    const Expected<std::size_t> read = file.readAt(0, head, sizeof head);
    if (!read) failRead(read.error().code);
    const std::size_t got = read.value();
    if (got < kLocalHeader) return false;
    const std::size_t nameLength =
        static_cast<unsigned char>(head[26]) | static_cast<std::size_t>(static_cast<unsigned char>(head[27])) << 8;
    if (got < kLocalHeader + nameLength) return false;
    const std::string_view name(head + kLocalHeader, nameLength);
    static constexpr std::string_view kParts[] = {"mimetype",  "[Content_Types].xml", "_rels/",     "word/",
                                                  "docProps/", "META-INF/",           "content.xml"};
    return std::any_of(std::begin(kParts), std::end(kParts), [&](std::string_view part) { return name.starts_with(part); });
}

// An encrypted package keeps its key data in a stream called
// EncryptionInfo; a binary document says in its file information block
// (the head of the WordDocument stream) whether it is encrypted: bit 0 of
// byte 0x0B, fEncrypted.
DocumentKind sniffCompoundFile(const InputFile& file)
{
    const CompoundFile compound(file);
    switch (compound.reading()) {
    case CompoundFile::Reading::NoHeader:
        // A header this reader does not know: the stream's name alone tells.
        return holdsEncryptionInfo(file) ? DocumentKind::EncryptedPackage : DocumentKind::LegacyBinary;
    case CompoundFile::Reading::Damaged: RefuseDamaged("die Datei ist unvollständig, oder ihr Inhaltsverzeichnis ist unlesbar.");
    case CompoundFile::Reading::Read: break;
    }
    if (compound.hasStream(u"EncryptionInfo") || compound.hasStream(u"EncryptedPackage")) return DocumentKind::EncryptedPackage;
    if (!compound.hasStream(u"WordDocument")) return DocumentKind::LegacyBinary;
    const std::optional<std::string> fib = compound.streamHead(u"WordDocument", 12);
    if (!fib) RefuseDamaged("der Text des Dokuments fehlt oder ist abgeschnitten.");
    return ((*fib)[0x0B] & 1) ? DocumentKind::EncryptedBinary : DocumentKind::LegacyBinary;
}

bool isOdfText(std::string mimetype)
{
    while (!mimetype.empty() && std::isspace(static_cast<unsigned char>(mimetype.back()))) mimetype.pop_back();
    return mimetype == "application/vnd.oasis.opendocument.text" ||
        mimetype == "application/vnd.oasis.opendocument.text-template";
}

// The part name that _rels/.rels names as the main document, or "".
std::string mainPartName(const std::string& rels)
{
    constexpr std::string_view kSuffix = "/officeDocument";  // Transitional and Strict types end alike
    try {
        for (const Relationship& relationship : ParseRelationships(rels, "_rels/.rels"))
            if (!relationship.external && relationship.type.ends_with(kSuffix)) return ResolvePartName("", relationship.target);
    } catch (const ServerError&) {
        // Not well-formed: not a package this component reads.
    }
    return {};
}

std::string contentTypeOf(const std::string& types, const std::string& part)
{
    pugi::xml_document doc;
    if (!doc.load_buffer(types.data(), types.size())) return {};
    const auto dot = part.rfind('.');
    const std::string extension = dot == std::string::npos ? std::string() : part.substr(dot + 1);
    std::string byDefault;
    for (pugi::xml_node entry : doc.document_element().children()) {
        const std::string_view name = localName(entry.name());
        if (name == "Override" && equalsNoCase(entry.attribute("PartName").value(), "/" + part))
            return entry.attribute("ContentType").value();
        if (name == "Default" && equalsNoCase(entry.attribute("Extension").value(), extension))
            byDefault = entry.attribute("ContentType").value();
    }
    return byDefault;
}

bool isWordprocessingMain(const std::string& contentType)
{
    static constexpr std::string_view kTypes[] = {
        "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml",
        "application/vnd.openxmlformats-officedocument.wordprocessingml.template.main+xml",
        "application/vnd.ms-word.document.macroEnabled.main+xml",
        "application/vnd.ms-word.template.macroEnabledTemplate.main+xml",
    };
    return std::any_of(std::begin(kTypes), std::end(kTypes),
                       [&](std::string_view type) { return equalsNoCase(type, contentType); });
}

DocumentKind sniffPackage(const std::string& path, const InputFile& file)
{
    const Package package(path);
    if (!package.isOpen()) {
        if (beginsWithPackagePart(file)) RefuseDamaged("das Zip-Paket lässt sich nicht lesen (" + package.errorText() + ").");
        return DocumentKind::Unknown;
    }
    std::string contents;
    if (package.read("mimetype", contents) && isOdfText(contents)) return DocumentKind::OpenDocumentText;
    if (!package.read("_rels/.rels", contents)) return DocumentKind::Unknown;
    const std::string part = mainPartName(contents);
    if (part.empty() || !package.read("[Content_Types].xml", contents)) return DocumentKind::Unknown;
    return isWordprocessingMain(contentTypeOf(contents, part)) ? DocumentKind::WordprocessingPackage : DocumentKind::Unknown;
}

}  // namespace

DocumentKind SniffDocument(const std::string& path)
{
    InputFile file;
    if (const std::error_code error = file.open(path, InputFile::Mode::Search)) fail(error);
    char head[8] = {};
    const Expected<std::size_t> read = file.readAt(0, head, sizeof head);
    if (!read) failRead(read.error().code);
    const std::size_t got = read.value();
    const std::string_view start(head, got);
    if (got == 0) return DocumentKind::Empty;
    if (start.starts_with("{\\rtf")) return DocumentKind::Rtf;
    if (start.starts_with(std::string_view("PK\x03\x04", 4))) return sniffPackage(path, file);
    if (start == std::string_view("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8)) return sniffCompoundFile(file);
    return DocumentKind::Unknown;
}

}  // namespace tarnwick::word
