// Reading the update server's answer, the address asked, and how the
// updater is called: its arguments, its place, and a real start of a small
// script standing in for it.
#include <gtest/gtest.h>

#include <QTest>

#include <filesystem>
#include <fstream>

#include "tests/support/TempTree.h"
#include "tests/ui/support/QtApp.h"
#include "ui/help/UpdateAnswer.h"
#include "ui/help/UpdaterLaunch.h"

namespace tarnwick::ui {
namespace {

TEST(UpdateAnswer, NewerVersionNeedsAZeroAfterAktAndALocation)
{
    const UpdateAnswer offered =
        ParseUpdateAnswer("<text>Version 2.1 ist da.</text><akt>0</akt><ort>https://dl.example/t21.zip</ort>");
    EXPECT_EQ(offered, (UpdateAnswer{true, "Version 2.1 ist da.", true, "https://dl.example/t21.zip"}));

    // Anything but '0' means the program is current, whatever else follows.
    const UpdateAnswer current = ParseUpdateAnswer("<akt>1</akt><text>Sie haben die aktuelle Version.</text><ort>x</ort>");
    EXPECT_TRUE(current.readable);
    EXPECT_EQ(current.message, "Sie haben die aktuelle Version.");
    EXPECT_FALSE(current.updateAvailable);
    EXPECT_TRUE(current.location.empty());

    // '0' without location tags offers nothing the updater could fetch.
    EXPECT_FALSE(ParseUpdateAnswer("<text>Neu</text><akt>0</akt>").updateAvailable);
    EXPECT_FALSE(ParseUpdateAnswer("<text>Neu</text><akt>0</akt><ort>https://x").updateAvailable);
    EXPECT_FALSE(ParseUpdateAnswer("<text>Neu</text><akt>0</akt><ort> \r\n</ort>").updateAvailable);
    EXPECT_FALSE(ParseUpdateAnswer("<text>Neu</text><akt></akt><ort>https://x</ort>").updateAvailable);
    // A location any other way than over TLS is never handed to the updater.
    for (const char* location :
         {"http://dl.example/t.zip", "ftp://dl.example/t.zip", "dl.example/t.zip", "https://", "https:///t"})
        EXPECT_FALSE(ParseUpdateAnswer(std::string("<text>Neu</text><akt>0</akt><ort>") + location + "</ort>").updateAvailable)
            << location;
    EXPECT_TRUE(ParseUpdateAnswer("<text>Neu</text><akt>0</akt><ort>HTTPS://dl.example/t.zip</ort>").updateAvailable);
    // Only the first character counts.
    EXPECT_TRUE(ParseUpdateAnswer("<text></text><akt>01</akt><ort>https://x</ort>").updateAvailable);
}

TEST(UpdateAnswer, UnreadableWithoutTheTextOrTheAktPart)
{
    for (const char* answer : {"", "<html>404</html>", "<text>Hallo</text>", "<akt>0</akt><ort>x</ort>",
                               "<text>Hallo<akt>0</akt>", "<text>Hallo</text><akt>0", "</text>x<text><akt>0</akt>"}) {
        const UpdateAnswer parsed = ParseUpdateAnswer(answer);
        EXPECT_FALSE(parsed.readable) << answer;
        EXPECT_FALSE(parsed.updateAvailable) << answer;
    }
}

TEST(UpdateAnswer, FirstOccurrenceOfEachTagAndTheBytesAsSent)
{
    const UpdateAnswer parsed =
        ParseUpdateAnswer("HTTP noise <text>Erste\r\nZeile \xE4</text><text>zweite</text> <akt>0</akt><akt>1</akt>"
                          "<ort>\n  https://a/neu.zip \n</ort><ort>https://b</ort>");
    EXPECT_EQ(parsed.message, "Erste\r\nZeile \xE4");
    EXPECT_TRUE(parsed.updateAvailable);
    EXPECT_EQ(parsed.location, "https://a/neu.zip");
}

TEST(UpdateRequest, ServerFromTheSettingPlusTheRequestPath)
{
    const std::string request = "/cgi-bin/akt.cgi?prog=tarnwk&spra=deu&vers=2.0.2.8";
    EXPECT_EQ(UpdateRequestUrl("http://update.korvane.de"), "http://update.korvane.de" + request);
    EXPECT_EQ(UpdateRequestUrl("http://127.0.0.1:8080/ "), "http://127.0.0.1:8080" + request);
    EXPECT_EQ(UpdateRequestUrl("update.korvane.de"), "https://update.korvane.de" + request);
    EXPECT_EQ(UpdateRequestUrl("https://update.korvane.de//"), "https://update.korvane.de" + request);
}

TEST(UpdaterCall, FourArgumentsWithoutQuotingAndTheDirectoryEndingInASlash)
{
    EXPECT_EQ(UpdaterArguments({"http://dl/t.zip", true}, "/opt/tarn wick/bin"),
              (std::vector<std::string>{"/l:http://dl/t.zip", "/n:tarnwick", "/p:/opt/tarn wick/bin/", "/k:1"}));
    EXPECT_EQ(UpdaterArguments({"http://dl/t.zip", false}, "/usr/bin/"),
              (std::vector<std::string>{"/l:http://dl/t.zip", "/n:tarnwick", "/p:/usr/bin/", "/k:0"}));

    test::TempTree tree;
    const std::string bin = tree.mkdir("bin");
    EXPECT_EQ(UpdaterPath(bin), bin + "/aktualisierer");  // nowhere: the start will fail and say so
    tree.write("share/tarnwick/aktualisierer", "#!/bin/sh\n");
    EXPECT_EQ(UpdaterPath(bin), tree.path("share/tarnwick/aktualisierer"));
    tree.write("bin/aktualisierer", "#!/bin/sh\n");
    EXPECT_EQ(UpdaterPath(bin), bin + "/aktualisierer");
}

TEST(UpdaterCall, StartsTheUpdaterInTheProgramDirectoryWithItsArguments)
{
    test::EnsureQtApp();
    test::TempTree tree;
    const std::string bin = tree.mkdir("Mein Programm");
    DetachedUpdaterLauncher launcher;
    EXPECT_FALSE(StartUpdater({"http://dl/t.zip", true}, bin, launcher)) << "no updater there";

    // The stand-in writes its working directory and arguments, then renames
    // the file, so a complete record appears at once.
    const std::string script = tree.write("Mein Programm/aktualisierer",
                                          "#!/bin/sh\n"
                                          "{ pwd -P; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > called.tmp\n"
                                          "mv called.tmp called.txt\n");
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    ASSERT_TRUE(StartUpdater({"http://dl/t 2.zip", false}, bin, launcher));
    const std::string record = bin + "/called.txt";
    ASSERT_TRUE(QTest::qWaitFor([&] { return std::filesystem::exists(record); }, 20'000));
    const std::string started = std::filesystem::canonical(bin).string();
    EXPECT_EQ(test::ReadFile(record), started + "\n/l:http://dl/t 2.zip\n/n:tarnwick\n/p:" + bin + "/\n/k:0\n");
}

}  // namespace
}  // namespace tarnwick::ui
