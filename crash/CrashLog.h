#pragma once
// The crash log: an XML description of a crash, built by the reporter
// program (never inside the signal handler) from what the crashed process
// left in /proc while it waited, the processor and the kernel:
//
//   <Exception>
//     <ExceptionRecord ModuleName ExceptionCode ExceptionDescription ExceptionAddress/>
//     <Processor Architecture Level NumberOfProcessors/>
//     <OperatingSystem MajorVersion MinorVersion BuildNumber CSDVersion/>
//     <Modules><Module FullPath BaseAddress Size TimeStamp FileVersion ProductVersion/>...</Modules>
//   </Exception>
//
// The parts are separate functions so tests can feed them text instead of
// the machine's own /proc.
#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "crash/ReporterArguments.h"

namespace tarnwick::crash {

// One file mapped into the process: from its lowest to its highest mapped
// address.
struct MappedModule {
    std::string path;
    std::uint64_t base = 0;
    std::uint64_t size = 0;
    bool operator==(const MappedModule&) const = default;
};

// Every loaded module of a /proc/<pid>/maps text (a file with at least one
// executable mapping), in the order of first appearance; data files mapped
// for reading (fonts, caches), anonymous and kernel mappings ("[heap]",
// "[vdso]") are left out.
std::vector<MappedModule> ParseMappedModules(std::string_view maps);

// "6.4.2.0" for ".../libQt6Core.so.6.4.2": the version numbers after ".so."
// in the file name, at most four; "0.0.0.0" when the name carries none.
std::string ModuleVersion(std::string_view path);

// A file time in local time as "MM/DD/YYYY hh:mm:ss".
std::string FormatModuleTime(std::time_t time);

struct OperatingSystemVersion {
    unsigned major = 0;
    unsigned minor = 0;
    unsigned build = 0;
    std::string csdVersion;
};
// From uname's release ("6.1.0-13-amd64": 6, 1, 0) and version text.
OperatingSystemVersion ParseKernelRelease(std::string_view release, std::string_view version);

// "PROCESSOR_ARCHITECTURE_AMD64" for x86_64 and so on, else
// "PROCESSOR_ARCHITECTURE_UNKNOWN".
std::string ProcessorArchitecture(std::string_view machine);
// The first "model name" of /proc/cpuinfo, else "Unknown".
std::string ProcessorLevel(std::string_view cpuinfo);
// The "processor" entries of /proc/cpuinfo; 0 when it lists none.
unsigned CountProcessors(std::string_view cpuinfo);

// The system's symbolic name of the signal ("SIGSEGV"), or
// "EXCEPTION_UNKNOWN" for a signal without one.
std::string ExceptionDescription(int signal);

// Everything the log is built from.
struct CrashFacts {
    std::string programPath;
    int signal = 0;
    std::uint64_t address = 0;
    std::string maps;  // /proc/<pid>/maps
    std::string cpuinfo;  // /proc/cpuinfo
    std::string machine;  // uname
    std::string release;
    std::string version;
    unsigned onlineProcessors = 0;  // used when cpuinfo lists no processor
};

// Reads the facts of the crashed process `arguments.pid` below `procRoot`.
// A file that cannot be read leaves its part empty.
CrashFacts CollectCrashFacts(const ReporterArguments& arguments, const std::string& procRoot = "/proc");

// The XML text of the crash log.
std::string BuildCrashLog(const CrashFacts& facts);

}  // namespace tarnwick::crash
