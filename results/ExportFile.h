#pragma once
// Plain binary file access for the export: the bytes go out exactly as given.
// Writes go through FileOps so that tests can make them fail. Not thread-safe.
#include <sys/types.h>

#include <string>
#include <string_view>
#include <system_error>

namespace tarnwick {

class ExportFile {
public:
    ExportFile() = default;
    ~ExportFile();
    ExportFile(const ExportFile&) = delete;
    ExportFile& operator=(const ExportFile&) = delete;

    // Creates the file or truncates an existing one.
    std::error_code create(const std::string& path);
    // Appends all of `data`.
    std::error_code write(std::string_view data);
    // Fails when the close reports a delayed write error.
    std::error_code close();

private:
    int m_fd = -1;
    off_t m_offset = 0;
};

// Reads a whole file into `out`.
std::error_code ReadWholeFile(const std::string& path, std::string& out);

}  // namespace tarnwick
