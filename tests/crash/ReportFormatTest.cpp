// The report's pieces that are pure formats: the upload body, the preview
// of a file, the e-mail check, the size column, paths and the reporter's
// command line.
#include <gtest/gtest.h>

#include "crash/MultipartBody.h"
#include "crash/ReportFiles.h"
#include "crash/ReportPreview.h"
#include "crash/ReporterArguments.h"

namespace tarnwick::crash {
namespace {

using namespace std::string_literals;

TEST(MultipartBody, ThreePartsByteForByte)
{
    const std::string archive = "PK\x03\x04\0\r\n--"s;
    const std::string expected = "----MULTI-PARTS-FORM-DATA-BOUNDARY\r\n"
                                 "Content-Disposition: form-data; name=\"email\"\r\n"
                                 "\r\n"
                                 "anna@example.de\r\n"
                                 "----MULTI-PARTS-FORM-DATA-BOUNDARY\r\n"
                                 "Content-Disposition: form-data; name=\"beschreib\"\r\n"
                                 "\r\n"
                                 "Suche gestartet,\r\ndann Absturz\r\n"
                                 "----MULTI-PARTS-FORM-DATA-BOUNDARY\r\n"
                                 "Content-Disposition: form-data; name=\"dmpdatei\"; filename=\"tarnwickAb12Cd.zip\"\r\n"
                                 "Content-Type: application/zip\r\n"
                                 "\r\n" +
        archive +
        "\r\n"
        "----MULTI-PARTS-FORM-DATA-BOUNDARY--\r\n";
    EXPECT_EQ(BuildMultipartBody("anna@example.de", "Suche gestartet,\r\ndann Absturz", "tarnwickAb12Cd.zip", "application/zip",
                                 archive),
              expected);
    EXPECT_EQ(MultipartContentType(), "multipart/form-data; boundary=--MULTI-PARTS-FORM-DATA-BOUNDARY");

    const std::string empty = BuildMultipartBody("", "", "r", "", "");
    EXPECT_NE(empty.find("name=\"email\"\r\n\r\n\r\n"), std::string::npos);
    EXPECT_NE(empty.find("Content-Type: application/octet-stream\r\n\r\n\r\n"), std::string::npos);
}

TEST(ReportPreview, FourOddBytesInTheFirstHundredAreStillText)
{
    std::string text = "Zeile 1\tA\r\nZeile 2\v\f\n";
    EXPECT_TRUE(LooksLikeText(text));
    EXPECT_TRUE(LooksLikeText(""));
    std::string four = "abc\x01\x02\x03\x7f"
                       "def";
    EXPECT_TRUE(LooksLikeText(four));
    EXPECT_FALSE(LooksLikeText(four + "\xc3"));
    // Umlauts in UTF-8 are two such bytes each.
    EXPECT_TRUE(LooksLikeText("Grösse ändern"));
    EXPECT_FALSE(LooksLikeText("Grösse ändern übel"));
    // Only the first 100 bytes decide.
    EXPECT_TRUE(LooksLikeText(std::string(100, 'a') + "\x01\x02\x03\x04\x05\x06"));
    EXPECT_FALSE(LooksLikeText(std::string(95, 'a') + "\x01\x02\x03\x04\x05"));
}

TEST(ReportPreview, HexDumpLinesAndTheLastPartialLine)
{
    EXPECT_EQ(HexDump("abcdefghijklmnop"), "0x00000000: 64636261 68676665 6c6b6a69 706f6e6d abcdefghijklmnop\r\n");
    const std::string odd = HexDump("\x00\x1f\x20\x7e\x7f\x80\xff"
                                    "012345678"s);
    EXPECT_EQ(odd,
              "0x00000000: 7e201f00 30ff807f 34333231 38373635 .. ~.\x80\xff"
              "012345678\r\n");
    // A last line shows only the bytes it has; the characters keep their column.
    EXPECT_EQ(HexDump("abcdefghijklmnopqr"),
              "0x00000000: 64636261 68676665 6c6b6a69 706f6e6d abcdefghijklmnop\r\n"
              "0x00000010:     7271                            qr\r\n");
    EXPECT_EQ(HexDump(""), "");
}

TEST(ReportPreview, TextUnchangedBinaryDumpedAndAtMost32768Bytes)
{
    EXPECT_EQ(MakePreview("<Exception/>\n").text, "<Exception/>\n");
    EXPECT_TRUE(MakePreview("<Exception/>\n").isText);
    const FilePreview binary = MakePreview("\x7f"
                                           "ELF\x02\x01\x01\x00\x00\x00"s);
    EXPECT_FALSE(binary.isText);
    EXPECT_EQ(binary.text,
              HexDump("\x7f"
                      "ELF\x02\x01\x01\x00\x00\x00"s));
    EXPECT_EQ(MakePreview(std::string(40'000, 'x')).text.size(), kPreviewLength);
}

TEST(ReportFiles, EmailSizesAndNames)
{
    EXPECT_TRUE(IsValidEmailAddress("anna@example.de"));
    EXPECT_TRUE(IsValidEmailAddress("a@b."));
    EXPECT_FALSE(IsValidEmailAddress("anna.example@de"));
    EXPECT_FALSE(IsValidEmailAddress("anna"));
    EXPECT_FALSE(IsValidEmailAddress(""));

    EXPECT_EQ(SizeInKilobytes(0), 0u);
    EXPECT_EQ(SizeInKilobytes(1), 1u);
    EXPECT_EQ(SizeInKilobytes(1024), 1u);
    EXPECT_EQ(SizeInKilobytes(1025), 2u);

    EXPECT_EQ(ProgramBaseName("/usr/bin/tarnwick"), "tarnwick");
    EXPECT_EQ(ProgramBaseName("/opt/t/tarnwick.bin"), "tarnwick");
    EXPECT_EQ(ProgramBaseName("/home/a/.hidden"), ".hidden");
    EXPECT_EQ(ReportFilePrefix("/tmp/x", "tarnwick"), "/tmp/x/tarnwick-");
}

TEST(ReporterArguments, ParsedOrRefusedWhole)
{
    const char* full[] = {
        "r",       "--pid",      "17",        "--signal",          "11",         "--code", "-6", "--address", "0x7fff0",
        "--trace", "/t/x.trace", "--program", "/usr/bin/tarnwick", "--ready-fd", "3"};
    const auto parsed = ParseReporterArguments(static_cast<int>(std::size(full)), full);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->pid, 17);
    EXPECT_EQ(parsed->code, -6);
    EXPECT_EQ(parsed->address, 0x7fff0u);
    EXPECT_EQ(parsed->programPath, "/usr/bin/tarnwick");
    EXPECT_EQ(parsed->readyFd, 3);

    const char* noSignal[] = {"r", "--pid", "17"};
    EXPECT_FALSE(ParseReporterArguments(3, noSignal));
    const char* badNumber[] = {"r", "--pid", "17x", "--signal", "11"};
    EXPECT_FALSE(ParseReporterArguments(5, badNumber));
    const char* missingValue[] = {"r", "--signal", "11", "--pid"};
    EXPECT_FALSE(ParseReporterArguments(4, missingValue));
    const char* unknown[] = {"r", "--pid", "1", "--signal", "11", "--colour", "red"};
    EXPECT_FALSE(ParseReporterArguments(7, unknown));
}

}  // namespace
}  // namespace tarnwick::crash
