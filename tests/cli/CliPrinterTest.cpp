// The terminal program's printer hands its output to the system in blocks,
// yet no line waits long, an error line never comes before the lines of the
// run before it, and the thread that waits for the run may hand over what
// waits while the run prints.
#include "cli/CliPrinter.h"

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

namespace tarnwick::test {
namespace {

// Both ends of a pipe whose reader never blocks, large enough for a test.
class Pipe {
public:
    Pipe()
    {
        EXPECT_EQ(::pipe2(m_fds, O_CLOEXEC | O_NONBLOCK), 0);
        ::fcntl(m_fds[1], F_SETPIPE_SZ, 1 << 20);
    }
    ~Pipe()
    {
        ::close(m_fds[0]);
        ::close(m_fds[1]);
    }
    int writeEnd() const { return m_fds[1]; }
    // Everything written so far.
    std::string drain()
    {
        char buffer[65536];
        for (ssize_t got; (got = ::read(m_fds[0], buffer, sizeof buffer)) > 0;)
            m_read.append(buffer, static_cast<std::size_t>(got));
        return m_read;
    }

private:
    int m_fds[2] = {-1, -1};
    std::string m_read;
};

// A file listed for having no hit: its run log line is its path alone.
void printFile(CliPrinter& printer, const std::string& line)
{
    printer.beginEntry({line, EntryKind::File, 1});
    printer.note({NoteKind::WithoutHits, line, {}});
    printer.endEntry({0, 1});
}

TEST(CliPrinter, ShortOutputWaitsUntilStaleAndBlocksGoOutAtOnce)
{
    Pipe out, err;
    CliPrinter printer(out.writeEnd(), err.writeEnd(), nullptr, nullptr);
    printFile(printer, "first");
    EXPECT_EQ(out.drain(), "");
    printer.flushStale(std::chrono::hours(1));
    EXPECT_EQ(out.drain(), "");
    printer.flushStale(std::chrono::milliseconds(0));
    EXPECT_EQ(out.drain(), "first\n");

    const std::string line(1000, 'x');
    std::string expected = "first\n";
    for (int i = 0; i < 70; ++i) {
        printFile(printer, line);
        expected += line + "\n";
    }
    EXPECT_GE(out.drain().size(), 64u * 1024) << "a full block is written without waiting";
    printer.flush();
    EXPECT_EQ(out.drain(), expected);
}

TEST(CliPrinter, ErrorLineComesAfterTheLinesBeforeIt)
{
    Pipe out, err;
    CliPrinter printer(out.writeEnd(), err.writeEnd(), nullptr, nullptr);
    printFile(printer, "hit before");
    RunError error;
    error.kind = ErrorKind::EntryException;
    error.path = "/t/locked";
    error.message = "Kann Datei nicht öffnen";
    printer.error(error);
    printer.endEntry();
    EXPECT_EQ(out.drain(), "hit before\n");
    EXPECT_EQ(err.drain(), "/t/locked: Kann Datei nicht öffnen\n");
    EXPECT_EQ(printer.errorCount(), 1u);
}

// Each place an error can have prints as the result list shows it: the
// entry it turned into an error, a message of its own, an occurrence under
// its document, each with the run log line its kind has.
TEST(CliPrinter, ErrorsPrintAsTheListShowsThem)
{
    Pipe out, err;
    CliPrinter printer(out.writeEnd(), err.writeEnd(), nullptr, nullptr);
    printer.beginEntry({"/t/split.txt", EntryKind::File, 1});
    printer.error({ErrorKind::TempFile, ErrorPlace::CurrentEntry, {}, "disk full", {}});
    printer.error({ErrorKind::Rename, ErrorPlace::Message, "/t/a", "rename failed /t/a: busy", {}});
    printer.beginEntry({"/t/letter.odt", EntryKind::Document, 0});
    printer.error({ErrorKind::RefusedOccurrence, ErrorPlace::Occurrence, "/t/letter.odt", "refused", "Fußnote 1: 4"});
    printer.endEntry();
    EXPECT_EQ(out.drain(), "refused: /t/letter.odt; P: Fußnote 1: 4\n");
    EXPECT_EQ(err.drain(), "/t/split.txt: disk full\nrename failed /t/a: busy\n/t/letter.odt: refused\n");
    EXPECT_EQ(printer.errorCount(), 3u);
}

// As tarnwick-cli runs it: the run prints on one thread while the waiting
// thread hands stale output over; nothing is lost, doubled or reordered.
TEST(CliPrinter, StaleOutputHandedOverWhileTheRunPrints)
{
    Pipe out, err;
    CliPrinter printer(out.writeEnd(), err.writeEnd(), nullptr, nullptr);
    std::atomic<bool> done{false};
    std::thread waiter([&] {
        while (!done) printer.flushStale(std::chrono::microseconds(50));
    });
    std::string expected;
    for (int i = 0; i < 20000; ++i) {
        const std::string line = "line " + std::to_string(i);
        printFile(printer, line);
        expected += line + "\n";
        if (i % 1000 == 0) out.drain();
    }
    done = true;
    waiter.join();
    printer.flush();
    EXPECT_EQ(out.drain(), expected);
}

}  // namespace
}  // namespace tarnwick::test
