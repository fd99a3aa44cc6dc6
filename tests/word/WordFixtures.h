#pragma once
// Small packages for the document-component tests, zipped through libzip
// from XML written in the test: a .docx with a given body, an .odt with a
// given office:text, and helpers to read packages back.
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/TempTree.h"
#include "word/story/StoryText.h"

namespace tarnwick::word::test {

struct ZipEntry {
    std::string name;
    std::string data;
    bool stored = false;
    bool encrypted = false;  // AES-256 with password "pw"
};

void WriteZip(const std::string& path, const std::vector<ZipEntry>& entries);

// name -> raw (still compressed) bytes of every entry, in archive order.
std::vector<std::pair<std::string, std::string>> RawEntries(const std::string& path);
// The uncompressed contents of one entry ("" when absent).
std::string EntryData(const std::string& path, const std::string& name);

// A WordprocessingML main part around `body` (the content of w:body), with
// the usual prefixes w, r, wp, mc, wps declared.
std::string DocumentXml(std::string_view body);
// The entries of a minimal .docx holding `documentXml`, plus a styles part
// and a hyperlink relationship "rLink" to https://example.org/.
std::vector<ZipEntry> DocxEntries(const std::string& documentXml);
std::string WriteDocx(const tarnwick::test::TempTree& tree, std::string_view name, std::string_view body);

// content.xml around `text` (the content of office:text).
std::string ContentXml(std::string_view text);
std::vector<ZipEntry> OdtEntries(const std::string& contentXml);
std::string WriteOdt(const tarnwick::test::TempTree& tree, std::string_view name, std::string_view text);

std::string Utf8(std::u16string_view text);
// The error number `action` fails with; 0 when it does not fail.
int ErrorNumberOf(const std::function<void()>& action);
std::u16string Utf16(std::string_view text);
// The visible text of a story, as UTF-8.
std::string Visible(const StoryText& story);
// The position of the first visible occurrence of `text` (UTF-8).
std::int64_t PositionOf(const StoryText& story, std::string_view text);

}  // namespace tarnwick::word::test
