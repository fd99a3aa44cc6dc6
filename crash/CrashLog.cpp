#include "crash/CrashLog.h"

#include <pugixml.hpp>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <charconv>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "crash/SignalNames.h"

namespace tarnwick::crash {
namespace {

std::string_view NextField(std::string_view& line)
{
    const std::size_t start = line.find_first_not_of(' ');
    if (start == std::string_view::npos) {
        line = {};
        return {};
    }
    line.remove_prefix(start);
    const std::size_t end = line.find(' ');
    const std::string_view field = line.substr(0, end);
    line.remove_prefix(end == std::string_view::npos ? line.size() : end);
    return field;
}

bool ParseHex(std::string_view text, std::uint64_t& value)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

std::string Printf(const char* format, auto... values)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, values...);
    return buffer;
}

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The value after the colon of the first line starting with `key`.
std::string_view CpuinfoValue(std::string_view cpuinfo, std::string_view key)
{
    while (!cpuinfo.empty()) {
        const std::size_t end = cpuinfo.find('\n');
        std::string_view line = cpuinfo.substr(0, end);
        cpuinfo.remove_prefix(end == std::string_view::npos ? cpuinfo.size() : end + 1);
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) continue;
        std::string_view name = line.substr(0, colon);
        while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) name.remove_suffix(1);
        if (name != key) continue;
        std::string_view value = line.substr(colon + 1);
        while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
        return value;
    }
    return {};
}

}  // namespace

std::vector<MappedModule> ParseMappedModules(std::string_view maps)
{
    std::vector<MappedModule> modules;
    std::vector<bool> hasCode;  // per module: one of its mappings is executable
    while (!maps.empty()) {
        const std::size_t end = maps.find('\n');
        std::string_view line = maps.substr(0, end);
        maps.remove_prefix(end == std::string_view::npos ? maps.size() : end + 1);

        // start-end perms offset device inode path
        const std::string_view range = NextField(line);
        const bool executable = NextField(line).find('x') != std::string_view::npos;
        for (int skipped = 0; skipped < 3; ++skipped) NextField(line);
        const std::size_t pathStart = line.find_first_not_of(' ');
        if (pathStart == std::string_view::npos || line[pathStart] != '/') continue;
        const std::string_view path = line.substr(pathStart);
        const std::size_t dash = range.find('-');
        std::uint64_t start = 0;
        std::uint64_t stop = 0;
        if (dash == std::string_view::npos || !ParseHex(range.substr(0, dash), start) ||
            !ParseHex(range.substr(dash + 1), stop) || stop < start)
            continue;

        MappedModule* known = nullptr;
        for (MappedModule& module : modules)
            if (module.path == path) known = &module;
        if (!known) {
            modules.push_back({std::string(path), start, stop - start});
            hasCode.push_back(executable);
            continue;
        }
        const std::uint64_t knownEnd = known->base + known->size;
        known->base = std::min(known->base, start);
        known->size = std::max(knownEnd, stop) - known->base;
        if (executable) hasCode[static_cast<std::size_t>(known - modules.data())] = true;
    }
    // Fonts, caches and data files mapped for reading are no modules.
    std::vector<MappedModule> loaded;
    for (std::size_t i = 0; i < modules.size(); ++i)
        if (hasCode[i]) loaded.push_back(std::move(modules[i]));
    return loaded;
}

std::string ModuleVersion(std::string_view path)
{
    const std::size_t slash = path.rfind('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    int parts[4] = {0, 0, 0, 0};
    const std::size_t so = name.find(".so.");
    if (so != std::string_view::npos) {
        const char* at = name.data() + so + 4;
        const char* const end = name.data() + name.size();
        for (int& part : parts) {
            const auto [next, error] = std::from_chars(at, end, part);
            if (error != std::errc()) {
                part = 0;
                break;
            }
            at = next;
            if (at == end || *at != '.') break;
            ++at;
        }
    }
    return Printf("%d.%d.%d.%d", parts[0], parts[1], parts[2], parts[3]);
}

std::string FormatModuleTime(std::time_t time)
{
    std::tm local{};
    if (!::localtime_r(&time, &local)) return {};
    return Printf("%02u/%02u/%04u %02u:%02u:%02u", unsigned(local.tm_mon + 1), unsigned(local.tm_mday),
                  unsigned(local.tm_year + 1900), unsigned(local.tm_hour), unsigned(local.tm_min), unsigned(local.tm_sec));
}

OperatingSystemVersion ParseKernelRelease(std::string_view release, std::string_view version)
{
    OperatingSystemVersion os;
    os.csdVersion = version;
    unsigned* targets[] = {&os.major, &os.minor, &os.build};
    const char* at = release.data();
    const char* const end = release.data() + release.size();
    for (unsigned* target : targets) {
        const auto [next, error] = std::from_chars(at, end, *target);
        if (error != std::errc()) break;
        at = next;
        if (at == end || *at != '.') break;
        ++at;
    }
    return os;
}

std::string ProcessorArchitecture(std::string_view machine)
{
    if (machine == "x86_64") return "PROCESSOR_ARCHITECTURE_AMD64";
    if (machine.size() == 4 && machine[0] == 'i' && machine.substr(2) == "86") return "PROCESSOR_ARCHITECTURE_INTEL";
    if (machine == "aarch64" || machine == "arm64") return "PROCESSOR_ARCHITECTURE_ARM64";
    if (machine.starts_with("arm")) return "PROCESSOR_ARCHITECTURE_ARM";
    if (machine == "ia64") return "PROCESSOR_ARCHITECTURE_IA64";
    return "PROCESSOR_ARCHITECTURE_UNKNOWN";
}

std::string ProcessorLevel(std::string_view cpuinfo)
{
    const std::string_view model = CpuinfoValue(cpuinfo, "model name");
    return model.empty() ? std::string("Unknown") : std::string(model);
}

unsigned CountProcessors(std::string_view cpuinfo)
{
    unsigned count = 0;
    while (!cpuinfo.empty()) {
        const std::size_t end = cpuinfo.find('\n');
        std::string_view line = cpuinfo.substr(0, end);
        cpuinfo.remove_prefix(end == std::string_view::npos ? cpuinfo.size() : end + 1);
        if (!line.starts_with("processor")) continue;
        line.remove_prefix(9);
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
        if (line.starts_with(':')) ++count;
    }
    return count;
}

std::string ExceptionDescription(int signal)
{
    const char* name = SignalName(signal);
    return name ? std::string(name) : std::string("EXCEPTION_UNKNOWN");
}

CrashFacts CollectCrashFacts(const ReporterArguments& arguments, const std::string& procRoot)
{
    CrashFacts facts;
    facts.programPath = arguments.programPath;
    facts.signal = arguments.signal;
    facts.address = arguments.address;
    facts.maps = ReadWholeFile(procRoot + "/" + std::to_string(arguments.pid) + "/maps");
    facts.cpuinfo = ReadWholeFile(procRoot + "/cpuinfo");
    struct utsname system {};
    if (::uname(&system) == 0) {
        facts.machine = system.machine;
        facts.release = system.release;
        facts.version = system.version;
    }
    const long online = ::sysconf(_SC_NPROCESSORS_ONLN);
    facts.onlineProcessors = online > 0 ? static_cast<unsigned>(online) : 0;
    return facts;
}

std::string BuildCrashLog(const CrashFacts& facts)
{
    pugi::xml_document document;
    pugi::xml_node root = document.append_child("Exception");

    pugi::xml_node record = root.append_child("ExceptionRecord");
    record.append_attribute("ModuleName") = facts.programPath.c_str();
    record.append_attribute("ExceptionCode") = Printf("%#x", unsigned(facts.signal)).c_str();
    record.append_attribute("ExceptionDescription") = ExceptionDescription(facts.signal).c_str();
    record.append_attribute("ExceptionAddress") = Printf("%#llx", static_cast<unsigned long long>(facts.address)).c_str();

    pugi::xml_node processor = root.append_child("Processor");
    processor.append_attribute("Architecture") = ProcessorArchitecture(facts.machine).c_str();
    processor.append_attribute("Level") = ProcessorLevel(facts.cpuinfo).c_str();
    const unsigned listed = CountProcessors(facts.cpuinfo);
    processor.append_attribute("NumberOfProcessors") = listed != 0 ? listed : facts.onlineProcessors;

    const OperatingSystemVersion os = ParseKernelRelease(facts.release, facts.version);
    pugi::xml_node system = root.append_child("OperatingSystem");
    system.append_attribute("MajorVersion") = os.major;
    system.append_attribute("MinorVersion") = os.minor;
    system.append_attribute("BuildNumber") = os.build;
    system.append_attribute("CSDVersion") = os.csdVersion.c_str();

    pugi::xml_node modules = root.append_child("Modules");
    for (const MappedModule& mapped : ParseMappedModules(facts.maps)) {
        pugi::xml_node module = modules.append_child("Module");
        module.append_attribute("FullPath") = mapped.path.c_str();
        module.append_attribute("BaseAddress") = Printf("0x%08llx", static_cast<unsigned long long>(mapped.base)).c_str();
        module.append_attribute("Size") = Printf("0x%08llx", static_cast<unsigned long long>(mapped.size)).c_str();
        struct stat info {};
        // A file replaced or removed since it was loaded has no time stamp.
        const bool exists = ::stat(mapped.path.c_str(), &info) == 0;
        module.append_attribute("TimeStamp") = exists ? FormatModuleTime(info.st_mtime).c_str() : "";
        const std::string version = ModuleVersion(mapped.path);
        module.append_attribute("FileVersion") = version.c_str();
        module.append_attribute("ProductVersion") = version.c_str();
    }

    std::ostringstream text;
    document.save(text, "\t", pugi::format_default, pugi::encoding_utf8);
    return text.str();
}

}  // namespace tarnwick::crash
