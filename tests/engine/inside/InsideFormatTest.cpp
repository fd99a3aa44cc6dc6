#include <gtest/gtest.h>

#include "engine/inside/InsideFormat.h"

namespace tarnwick {
namespace {

using inside::InsideFormat;
using inside::SniffInsideFormat;

std::string tarHeader()
{
    std::string header(512, '\0');
    header.replace(257, 5, "ustar");
    return header;
}

TEST(InsideFormat, NameAndFirstBytesTogetherChooseTheReader)
{
    const std::string zip = "PK\x03\x04rest";
    const std::string gzip = "\x1F\x8B\x08";
    EXPECT_EQ(SniffInsideFormat("a.zip", zip), InsideFormat::Archive);
    EXPECT_EQ(SniffInsideFormat("lib.JAR", zip), InsideFormat::Archive);
    EXPECT_EQ(SniffInsideFormat("book.xlsx", zip), InsideFormat::Spreadsheet);
    EXPECT_EQ(SniffInsideFormat("book.ods", zip), InsideFormat::Spreadsheet);
    EXPECT_EQ(SniffInsideFormat("slides.PPTX", zip), InsideFormat::Presentation);
    EXPECT_EQ(SniffInsideFormat("slides.odp", zip), InsideFormat::Presentation);
    // Documents belong to the document component.
    EXPECT_EQ(SniffInsideFormat("letter.docx", zip), InsideFormat::None);
    EXPECT_EQ(SniffInsideFormat("letter.odt", zip), InsideFormat::None);

    EXPECT_EQ(SniffInsideFormat("x.tgz", gzip), InsideFormat::Archive);
    EXPECT_EQ(SniffInsideFormat("x.tar.gz", gzip), InsideFormat::Archive);
    EXPECT_EQ(SniffInsideFormat("changelog.Debian.gz", gzip), InsideFormat::Compressed);
    EXPECT_EQ(SniffInsideFormat("x.tar.xz",
                                std::string("\xFD"
                                            "7zXZ\0",
                                            6)),
              InsideFormat::Archive);
    EXPECT_EQ(SniffInsideFormat("x.log.zst", "\x28\xB5\x2F\xFD"), InsideFormat::Compressed);
    EXPECT_EQ(SniffInsideFormat("x.log.lz4", "\x04\x22\x4D\x18"), InsideFormat::Compressed);
    EXPECT_EQ(SniffInsideFormat("x.bz2", "BZh9"), InsideFormat::Compressed);
    // A tar and a 7z archive are told by their bytes whatever their name.
    EXPECT_EQ(SniffInsideFormat("backup", tarHeader()), InsideFormat::Archive);
    EXPECT_EQ(SniffInsideFormat("x.7z", "7z\xBC\xAF\x27\x1C"), InsideFormat::Archive);
    EXPECT_EQ(SniffInsideFormat("report.pdf", "%PDF-1.7\n"), InsideFormat::Pdf);

    // Bytes that do not match the name, and names that do not match the
    // bytes, are searched as bytes.
    EXPECT_EQ(SniffInsideFormat("notes.zip", "plain text"), InsideFormat::None);
    EXPECT_EQ(SniffInsideFormat("report.pdf", "plain text"), InsideFormat::None);
    EXPECT_EQ(SniffInsideFormat("report.txt", "%PDF-1.7\n"), InsideFormat::None);
    EXPECT_EQ(SniffInsideFormat("image.svgz", gzip), InsideFormat::None);
    EXPECT_EQ(SniffInsideFormat("x.gz", "\x1F"), InsideFormat::None);
    EXPECT_EQ(SniffInsideFormat(".gz", gzip), InsideFormat::None);
}

TEST(InsideFormat, ACompressedFilesInnerNameLosesTheSuffix)
{
    EXPECT_EQ(inside::CompressedInnerName("/var/log/app.log.gz"), "app.log");
    EXPECT_EQ(inside::CompressedInnerName("changelog.Debian.GZ"), "changelog.Debian");
    EXPECT_EQ(inside::CompressedInnerName("dump.sql.zst"), "dump.sql");
    EXPECT_EQ(inside::CompressedInnerName("notes"), "notes");
}

}  // namespace
}  // namespace tarnwick
