#pragma once
// Plain binary file access for the export: the bytes go out exactly as given.
// Writes go through FileOps so that tests can make them fail. Not thread-safe.
#include <sys/types.h>

#include <string>
#include <string_view>

namespace tarnwick {

class ExportFile {
public:
    ExportFile() = default;
    ~ExportFile();
    ExportFile(const ExportFile&) = delete;
    ExportFile& operator=(const ExportFile&) = delete;

    // Creates the file or truncates an existing one. Returns 0 or the errno.
    int create(const std::string& path);
    // Appends all of `data`. Returns 0 or the errno.
    int write(std::string_view data);
    // Returns 0 or the errno of a failed close (a delayed write error).
    int close();

private:
    int m_fd = -1;
    off_t m_offset = 0;
};

// Reads a whole file into `out`. Returns 0 or the errno.
int ReadWholeFile(const std::string& path, std::string& out);

}  // namespace tarnwick
