// A program with a known sequence of file-changing calls, for the tests of
// the crash-point shim:
//   crashpoints-probe sequence DIR   twelve counted calls, between calls
//                                    that must not count
//   crashpoints-probe threads DIR    two opens, then two threads writing
//                                    one byte at a time, 200 each
// $CRASHPROBE_EARLY names a file created before main, which must not count.
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

namespace {

struct EarlyFile {
    EarlyFile()
    {
        if (const char* path = std::getenv("CRASHPROBE_EARLY")) ::close(::open(path, O_WRONLY | O_CREAT | O_TRUNC, 0644));
    }
} g_early;

void uncounted(const std::string& dir)
{
    (void)::write(STDOUT_FILENO, "probe\n", 6);
    const int null = ::open("/dev/null", O_WRONLY);
    (void)::write(null, "x", 1);
    ::close(null);
    int ends[2];
    if (::pipe(ends) == 0) {
        (void)::write(ends[1], "x", 1);
        ::close(ends[0]);
        ::close(ends[1]);
    }
    ::close(::open((dir + "/a").c_str(), O_RDONLY));
}

int sequence(const std::string& dir)
{
    const std::string a = dir + "/a";
    int fd = ::open(a.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);  // 1
    (void)::write(fd, "old", 3);  // 2
    ::fsync(fd);  // 3
    ::close(fd);
    uncounted(dir);
    std::string temp = a + ".XXXXXX.tmp";
    fd = ::mkostemps(temp.data(), 4, O_CLOEXEC);  // 4
    (void)::pwrite(fd, "new", 3, 0);  // 5
    ::close(fd);
    ::rename(temp.c_str(), a.c_str());  // 6
    const std::string sub = dir + "/sub";
    ::mkdir(sub.c_str(), 0755);  // 7
    fd = ::open(sub.c_str(), O_TMPFILE | O_WRONLY, 0644);  // 8
    (void)::write(fd, "x", 1);  // 9
    const std::string fdPath = "/proc/self/fd/" + std::to_string(fd);
    ::linkat(AT_FDCWD, fdPath.c_str(), AT_FDCWD, (sub + "/b").c_str(), AT_SYMLINK_FOLLOW);  // 10
    ::close(fd);
    ::unlink((sub + "/b").c_str());  // 11
    ::rmdir(sub.c_str());  // 12
    return 0;
}

int threads(const std::string& dir)
{
    const int x = ::open((dir + "/x").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int y = ::open((dir + "/y").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const auto writeBytes = [](int fd) {
        for (int i = 0; i < 200; ++i) (void)::write(fd, "1", 1);
    };
    std::thread first(writeBytes, x);
    std::thread second(writeBytes, y);
    first.join();
    second.join();
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "sequence") == 0) return sequence(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "threads") == 0) return threads(argv[2]);
    std::fprintf(stderr, "usage: crashpoints-probe sequence|threads DIR\n");
    return 2;
}
