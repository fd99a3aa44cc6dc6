// Which PDF viewer can be told a page, decided on desktop files' text only:
// nothing is started here.
#include "ui/results/PdfPageCommand.h"

#include <gtest/gtest.h>

namespace tarnwick::ui {
namespace {

using Command = std::vector<std::string>;

TEST(PdfPageCommand, KnownViewersGetThePageInTheirOwnWay)
{
    const std::string pdf = "/home/u/Bericht 2024.pdf";
    const std::pair<std::string, Command> cases[] = {
        {"evince %U", {"evince", "-i", "3", pdf}},
        {"/usr/bin/atril %U", {"/usr/bin/atril", "-i", "3", pdf}},
        {"xreader %U", {"xreader", "-i", "3", pdf}},
        {"okular %U", {"okular", "-p", "3", pdf}},
        {"zathura %f", {"zathura", "-P", "3", pdf}},
        {"qpdfview --unique %F", {"qpdfview", "--unique", pdf + "#3"}},
        {"\"/opt/my viewer/okular\" --foo=%%x %U", {"/opt/my viewer/okular", "--foo=%x", "-p", "3", pdf}},
    };
    for (const auto& [exec, expected] : cases) EXPECT_EQ(PdfPageCommand(exec, pdf, 3), expected) << exec;
    // A relative name that looks like an option stays a name.
    EXPECT_EQ(PdfPageCommand("okular %U", "-x.pdf", 1), (Command{"okular", "-p", "1", "./-x.pdf"}));
}

TEST(PdfPageCommand, AnyOtherHandlerLeavesThePageToTheViewer)
{
    for (const char* exec :
         {"firefox %u", "xdg-open %f", "flatpak run org.gnome.Evince %U", "evince-previewer %U", "\"okular %U", ""})
        EXPECT_FALSE(PdfPageCommand(exec, "/a.pdf", 2)) << exec;
    EXPECT_FALSE(PdfPageCommand("okular %U", "/a.pdf", 0));
}

TEST(PdfPageCommand, TheExecValueComesFromTheDesktopEntryGroupOnly)
{
    const std::string file = "[Desktop Entry]\r\nName=Dokumentbetrachter\nExec[de]=nope\nTryExec=evince\nExec = evince %U\n"
                             "[Desktop Action new-window]\nExec=evince --new-window\n";
    EXPECT_EQ(DesktopEntryExec(file), "evince %U");
    EXPECT_EQ(DesktopEntryExec("[Desktop Action x]\nExec=evince\n"), "");
}

}  // namespace
}  // namespace tarnwick::ui
