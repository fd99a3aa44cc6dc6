#include "crashpoints/driver/DocxPackage.h"

#include <zip.h>

#include <stdexcept>
#include <utility>
#include <vector>

namespace tarnwick::crashpoints {
namespace {

constexpr const char* kContentTypes =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
    R"(<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>)"
    R"(<Default Extension="xml" ContentType="application/xml"/>)"
    R"(<Override PartName="/word/document.xml" )"
    R"(ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"/></Types>)";

constexpr const char* kPackageRelations =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
    R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" )"
    R"(Target="word/document.xml"/></Relationships>)";

constexpr time_t kPartTime = 1'700'000'000;

std::string documentXml(const std::string& text)
{
    return R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
           R"(<w:document xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main"><w:body>)"
           R"(<w:p><w:r><w:t xml:space="preserve">)" +
        text + R"(</w:t></w:r></w:p></w:body></w:document>)";
}

}  // namespace

void WriteMinimalDocx(const std::string& path, const std::string& text)
{
    const std::vector<std::pair<std::string, std::string>> parts = {
        {"[Content_Types].xml", kContentTypes}, {"_rels/.rels", kPackageRelations}, {"word/document.xml", documentXml(text)}};
    int error = 0;
    zip_t* zip = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!zip) throw std::runtime_error("cannot create " + path);
    for (const auto& [name, data] : parts) {
        zip_source_t* source = zip_source_buffer(zip, data.data(), data.size(), 0);
        const zip_int64_t index = source ? zip_file_add(zip, name.c_str(), source, ZIP_FL_ENC_UTF_8) : -1;
        if (index < 0) zip_source_free(source);  // the archive owns it once added
        // A fixed time, so that every build of a scenario gives the same bytes.
        if (index < 0 || zip_file_set_mtime(zip, static_cast<zip_uint64_t>(index), kPartTime, 0) != 0) {
            zip_discard(zip);
            throw std::runtime_error("cannot add " + name + " to " + path);
        }
    }
    if (zip_close(zip) != 0) {
        zip_discard(zip);
        throw std::runtime_error("cannot write " + path);
    }
}

std::optional<std::map<std::string, std::string>> PackageParts(const std::string& bytes)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
    zip_t* zip = source ? zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error) : nullptr;
    zip_error_fini(&error);
    if (!zip) {
        if (source) zip_source_free(source);
        return std::nullopt;
    }
    std::map<std::string, std::string> parts;
    bool whole = true;
    const zip_int64_t count = zip_get_num_entries(zip, 0);
    for (zip_int64_t index = 0; whole && index < count; ++index) {
        zip_stat_t stat;
        zip_file_t* file = nullptr;
        if (zip_stat_index(zip, static_cast<zip_uint64_t>(index), 0, &stat) == 0)
            file = zip_fopen_index(zip, static_cast<zip_uint64_t>(index), 0);
        if (!file) {
            whole = false;
            break;
        }
        std::string data(static_cast<std::size_t>(stat.size), '\0');
        whole = zip_fread(file, data.data(), data.size()) == static_cast<zip_int64_t>(data.size());
        zip_fclose(file);
        parts[stat.name] = std::move(data);
    }
    zip_discard(zip);  // frees the source too
    if (!whole) return std::nullopt;
    return parts;
}

bool SameDocument(const std::string& a, const std::string& b)
{
    if (a == b) return true;
    const auto partsA = PackageParts(a);
    if (!partsA) return false;
    const auto partsB = PackageParts(b);
    return partsB && *partsA == *partsB;
}

}  // namespace tarnwick::crashpoints
