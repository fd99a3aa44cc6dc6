// The crash log from given /proc texts: modules, versions, processor and
// kernel, and the whole XML document byte for byte.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <ctime>

#include "crash/CrashLog.h"
#include "tests/support/TempTree.h"

namespace tarnwick::crash {
namespace {

// Local time is UTC while a test that formats time stamps runs.
class UtcZone {
public:
    UtcZone()
    {
        const char* previous = std::getenv("TZ");
        m_had = previous != nullptr;
        if (m_had) m_previous = previous;
        ::setenv("TZ", "UTC", 1);
        ::tzset();
    }
    ~UtcZone()
    {
        if (m_had)
            ::setenv("TZ", m_previous.c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }

private:
    std::string m_previous;
    bool m_had = false;
};

TEST(CrashLogModules, EachLoadedFileOnceFromItsLowestToItsHighestAddress)
{
    const std::string maps = "55d0c0a00000-55d0c0a10000 r--p 00000000 08:01 1234 /usr/bin/tarnwick\n"
                             "55d0c0a10000-55d0c0b00000 r-xp 00010000 08:01 1234 /usr/bin/tarnwick\n"
                             "55d0c2000000-55d0c2100000 rw-p 00000000 00:00 0          [heap]\n"
                             "7f1000000000-7f1000001000 rw-p 00000000 00:00 0 \n"
                             "7f2000000000-7f2000020000 r--p 00000000 08:01 99         /opt/my libs/libfoo.so.1.2\n"
                             "7f2000020000-7f2000030000 r-xp 00020000 08:01 99         /opt/my libs/libfoo.so.1.2\n"
                             "7f3000000000-7f3000050000 r--s 00000000 08:01 7          /usr/share/fonts/DejaVuSans.ttf\n"
                             "55d0c0b00000-55d0c0b08000 rw-p 000f0000 08:01 1234 /usr/bin/tarnwick\n"
                             "7ffc00000000-7ffc00002000 r-xp 00000000 00:00 0          [vdso]\n"
                             "broken line\n";
    const std::vector<MappedModule> modules = ParseMappedModules(maps);
    ASSERT_EQ(modules.size(), 2u);
    EXPECT_EQ(modules[0], (MappedModule{"/usr/bin/tarnwick", 0x55d0c0a00000, 0x108000}));
    EXPECT_EQ(modules[1], (MappedModule{"/opt/my libs/libfoo.so.1.2", 0x7f2000000000, 0x30000}));
}

TEST(CrashLogModules, VersionsComeFromTheSharedObjectName)
{
    EXPECT_EQ(ModuleVersion("/usr/lib/x86_64-linux-gnu/libQt6Core.so.6.4.2"), "6.4.2.0");
    EXPECT_EQ(ModuleVersion("/lib/x86_64-linux-gnu/libc.so.6"), "6.0.0.0");
    EXPECT_EQ(ModuleVersion("/usr/lib/libx.so.1.2.3.4.5"), "1.2.3.4");
    EXPECT_EQ(ModuleVersion("/usr/lib/libplain.so"), "0.0.0.0");
    EXPECT_EQ(ModuleVersion("/usr/bin/tarnwick"), "0.0.0.0");
    // A suffix that is no number ends the version.
    EXPECT_EQ(ModuleVersion("/usr/lib/libodd.so.2.x"), "2.0.0.0");
    EXPECT_EQ(ModuleVersion("/usr/lib/libodd.so.beta"), "0.0.0.0");
}

TEST(CrashLogSystem, KernelProcessorAndSignalNames)
{
    const OperatingSystemVersion os = ParseKernelRelease("6.1.0-13-amd64", "#1 SMP PREEMPT_DYNAMIC Debian 6.1.55-1");
    EXPECT_EQ(os.major, 6u);
    EXPECT_EQ(os.minor, 1u);
    EXPECT_EQ(os.build, 0u);
    EXPECT_EQ(os.csdVersion, "#1 SMP PREEMPT_DYNAMIC Debian 6.1.55-1");
    const OperatingSystemVersion short_ = ParseKernelRelease("5.10", "");
    EXPECT_EQ(short_.minor, 10u);
    EXPECT_EQ(short_.build, 0u);

    EXPECT_EQ(ProcessorArchitecture("x86_64"), "PROCESSOR_ARCHITECTURE_AMD64");
    EXPECT_EQ(ProcessorArchitecture("i686"), "PROCESSOR_ARCHITECTURE_INTEL");
    EXPECT_EQ(ProcessorArchitecture("aarch64"), "PROCESSOR_ARCHITECTURE_ARM64");
    EXPECT_EQ(ProcessorArchitecture("riscv64"), "PROCESSOR_ARCHITECTURE_UNKNOWN");

    const std::string cpuinfo = "processor\t: 0\nvendor_id\t: GenuineIntel\nmodel name\t: Intel(R) Xeon(R) CPU @ 2.20GHz\n\n"
                                "processor\t: 1\nmodel name\t: Intel(R) Xeon(R) CPU @ 2.20GHz\n\n";
    EXPECT_EQ(ProcessorLevel(cpuinfo), "Intel(R) Xeon(R) CPU @ 2.20GHz");
    EXPECT_EQ(CountProcessors(cpuinfo), 2u);
    EXPECT_EQ(ProcessorLevel("processor : 0\nCPU part : 0xd08\n"), "Unknown");

    EXPECT_EQ(ExceptionDescription(SIGSEGV), "SIGSEGV");
    EXPECT_EQ(ExceptionDescription(SIGFPE), "SIGFPE");
    EXPECT_EQ(ExceptionDescription(0), "EXCEPTION_UNKNOWN");
}

TEST(CrashLogDocument, TheWholeDocument)
{
    const UtcZone utc;
    test::TempTree tree;
    const std::string program = tree.write("bin/tarnwick", "program");
    const std::string library = tree.write("lib/libQt6Core.so.6.4.2", "library");
    tree.setTimes("bin/tarnwick", 0, 1'700'000'000);  // 11/14/2023 22:13:20 UTC
    tree.setTimes("lib/libQt6Core.so.6.4.2", 0, 946'684'799);  // 12/31/1999 23:59:59 UTC

    CrashFacts facts;
    facts.programPath = program;
    facts.signal = SIGSEGV;
    facts.address = 0x10;
    facts.maps = "00400000-00452000 r-xp 00000000 08:01 1 " + program + "\n" +
        "7f0000000000-7f0000600000 r-xp 00000000 08:01 2 " + library + "\n" +
        "7f0000700000-7f0000701000 r-xp 00000000 08:01 3 /gone/libold.so.3 (deleted)\n";
    facts.cpuinfo = "processor\t: 0\nmodel name\t: Test CPU <fast> & \"cheap\"\n";
    facts.machine = "x86_64";
    facts.release = "6.1.0-13-amd64";
    facts.version = "#1 SMP Debian";
    facts.onlineProcessors = 8;

    const std::string expected = "<?xml version=\"1.0\"?>\n"
                                 "<Exception>\n"
                                 "\t<ExceptionRecord ModuleName=\"" +
        program +
        "\" ExceptionCode=\"0xb\" ExceptionDescription=\"SIGSEGV\" ExceptionAddress=\"0x10\" />\n"
        "\t<Processor Architecture=\"PROCESSOR_ARCHITECTURE_AMD64\" Level=\"Test CPU &lt;fast> &amp; &quot;cheap&quot;\" "
        "NumberOfProcessors=\"1\" />\n"
        "\t<OperatingSystem MajorVersion=\"6\" MinorVersion=\"1\" BuildNumber=\"0\" CSDVersion=\"#1 SMP Debian\" />\n"
        "\t<Modules>\n"
        "\t\t<Module FullPath=\"" +
        program +
        "\" BaseAddress=\"0x00400000\" Size=\"0x00052000\" TimeStamp=\"11/14/2023 22:13:20\" FileVersion=\"0.0.0.0\" "
        "ProductVersion=\"0.0.0.0\" />\n"
        "\t\t<Module FullPath=\"" +
        library +
        "\" BaseAddress=\"0x7f0000000000\" Size=\"0x00600000\" TimeStamp=\"12/31/1999 23:59:59\" "
        "FileVersion=\"6.4.2.0\" ProductVersion=\"6.4.2.0\" />\n"
        "\t\t<Module FullPath=\"/gone/libold.so.3 (deleted)\" BaseAddress=\"0x7f0000700000\" Size=\"0x00001000\" "
        "TimeStamp=\"\" FileVersion=\"3.0.0.0\" ProductVersion=\"3.0.0.0\" />\n"
        "\t</Modules>\n"
        "</Exception>\n";
    EXPECT_EQ(BuildCrashLog(facts), expected);

    // Without processors in cpuinfo the count comes from the system.
    facts.cpuinfo.clear();
    EXPECT_NE(BuildCrashLog(facts).find("Level=\"Unknown\" NumberOfProcessors=\"8\""), std::string::npos);
}

TEST(CrashLogFacts, ReadFromTheGivenProcDirectory)
{
    test::TempTree tree;
    tree.write("proc/4242/maps", "00400000-00401000 r-xp 00000000 08:01 1 /usr/bin/tarnwick\n");
    tree.write("proc/cpuinfo", "processor : 0\n");
    ReporterArguments arguments;
    arguments.pid = 4242;
    arguments.signal = SIGBUS;
    arguments.address = 0xdead;
    arguments.programPath = "/usr/bin/tarnwick";
    const CrashFacts facts = CollectCrashFacts(arguments, tree.path("proc"));
    EXPECT_EQ(facts.maps, "00400000-00401000 r-xp 00000000 08:01 1 /usr/bin/tarnwick\n");
    EXPECT_EQ(facts.cpuinfo, "processor : 0\n");
    EXPECT_EQ(facts.signal, SIGBUS);
    EXPECT_EQ(facts.address, 0xdeadu);
    EXPECT_FALSE(facts.release.empty());
    EXPECT_GT(facts.onlineProcessors, 0u);

    arguments.pid = 1;  // not below the fake root: nothing to read, nothing thrown
    EXPECT_TRUE(CollectCrashFacts(arguments, tree.path("proc")).maps.empty());
}

}  // namespace
}  // namespace tarnwick::crash
