#include "platform/FileMapping.h"
#include "tests/support/TempTree.h"

#include <fcntl.h>
#include <setjmp.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

// This program's own munmap, so that a test can act at the moment a view's
// pages are gone: when `g_unmapped` is set and the address is its view's,
// it runs once, right after the system call.
void* g_watchedAddress = nullptr;
std::function<void()> g_unmapped;

}  // namespace

extern "C" int munmap(void* address, std::size_t length)
{
    const int result = static_cast<int>(::syscall(SYS_munmap, address, length));
    if (result == 0 && address != nullptr && address == g_watchedAddress) {
        g_watchedAddress = nullptr;
        g_unmapped();
    }
    return result;
}

namespace tarnwick {
namespace {

sigjmp_buf g_jump;
volatile sig_atomic_t g_jumpReady = 0;

// The handler that was there before the view's guard: it gets every SIGBUS
// the guard does not take for one of its views.
void onForeignBusError(int)
{
    if (g_jumpReady) siglongjmp(g_jump, 1);
    ::signal(SIGBUS, SIG_DFL);  // not expected: let the fault end the program
}

}  // namespace

// Another program cutting the file short while it is viewed must not end
// this one: the missing part reads as zeros and the view says so.
TEST(FileMapping, FileCutShortWhileViewedReadsZerosAndSaysSo)
{
    test::TempTree tree;
    const std::size_t page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    const std::string bytes(4 * page, 'x');
    const std::string path = tree.write("f.txt", bytes);
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(fd, 0);

    FileMapping whole, tail;
    ASSERT_EQ(whole.map(fd, 0, bytes.size()), std::error_code());
    ASSERT_EQ(tail.map(fd, page + 5, bytes.size() - page - 5), std::error_code());
    EXPECT_EQ(tail.data()[0], 'x');
    ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(page + 10)), 0);

    std::size_t kept = 0, zeros = 0;
    for (std::size_t i = 0; i < whole.size(); ++i) (whole.data()[i] == 'x' ? kept : zeros) += 1;
    EXPECT_EQ(kept, page + 10);
    EXPECT_EQ(zeros, bytes.size() - page - 10);
    EXPECT_TRUE(whole.lostPages());
    // Each view keeps its own account.
    EXPECT_FALSE(tail.lostPages());
    EXPECT_EQ(tail.data()[tail.size() - 1], '\0');
    EXPECT_TRUE(tail.lostPages());

    // A view that stays whole says nothing was lost, also in a slot reused.
    whole.unmap();
    ASSERT_EQ(whole.map(fd, 0, page), std::error_code());
    EXPECT_EQ(whole.data()[page - 1], 'x');
    EXPECT_FALSE(whole.lostPages());
    ::close(fd);
}

// Once a view is unmapped its addresses may go to another mapping at once.
// A SIGBUS there must reach whoever handled SIGBUS before the guard; a guard
// slot still claiming the range would put zeros over the other mapping's page
// and pass the fault off as this view's.
TEST(FileMapping, AFaultAtAnUnmappedViewsAddressIsNotTakenForTheView)
{
    test::TempTree tree;
    const std::size_t page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    const int fd = ::open(tree.write("f.txt", std::string(page, 'x')).c_str(), O_RDONLY | O_CLOEXEC);
    const int empty = ::open(tree.write("empty", "").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    ASSERT_GE(empty, 0);

    struct sigaction foreign {
    }, before{};
    foreign.sa_handler = &onForeignBusError;
    sigemptyset(&foreign.sa_mask);
    ASSERT_EQ(::sigaction(SIGBUS, &foreign, &before), 0);

    FileMapping view;
    ASSERT_EQ(view.map(fd, 0, page), std::error_code());
    bool remapped = false, forwarded = false;
    char read = 'x';
    void* const address = const_cast<char*>(view.data());
    g_watchedAddress = address;
    g_unmapped = [&] {
        // A file with no bytes at the same address: reading it raises SIGBUS.
        void* at = ::mmap(address, page, PROT_READ, MAP_SHARED | MAP_FIXED_NOREPLACE, empty, 0);
        remapped = at == address;
        if (!remapped) return;
        if (sigsetjmp(g_jump, 1) == 0) {
            g_jumpReady = 1;
            read = *static_cast<volatile const char*>(at);
        } else {
            forwarded = true;
        }
        g_jumpReady = 0;
        ::syscall(SYS_munmap, at, page);
    };
    view.unmap();
    g_unmapped = nullptr;
    ::sigaction(SIGBUS, &before, nullptr);
    ::close(fd);
    ::close(empty);

    ASSERT_TRUE(remapped);
    EXPECT_TRUE(forwarded) << "read " << int(read) << " through the view's guard";
}

}  // namespace tarnwick
