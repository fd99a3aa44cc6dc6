#include "tests/ui/support/DocumentFiles.h"

#include "tests/word/WordFixtures.h"

namespace tarnwick::test {

std::string WriteDocx(const TempTree& tree, std::string_view name, std::string_view bodyXml)
{
    return word::test::WriteDocx(tree, name, bodyXml);
}

std::string WriteDocxParagraphs(const TempTree& tree, std::string_view name, const std::vector<std::string>& paragraphs)
{
    std::string body;
    for (const std::string& text : paragraphs) body += "<w:p><w:r><w:t xml:space=\"preserve\">" + text + "</w:t></w:r></w:p>";
    return WriteDocx(tree, name, body);
}

std::string WriteOdt(const TempTree& tree, std::string_view name, std::string_view textXml)
{
    return word::test::WriteOdt(tree, name, textXml);
}

std::string WriteRtf(const TempTree& tree, std::string_view name, std::string_view text)
{
    return tree.write(name, "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0 Arial;}}\\f0 " + std::string(text) + "\\par}");
}

}  // namespace tarnwick::test
