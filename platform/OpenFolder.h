#pragma once
// A folder kept open so that the files in it can be opened by their names
// in it (openat) rather than by their paths, which makes the system look up
// every folder of the path again for each file. For a thread that is given
// files folder by folder: the folder stays open while the files are in it.
// Not thread-safe; one per thread.
#include <string>
#include <string_view>

namespace tarnwick {

class OpenFolder {
public:
    OpenFolder() = default;
    ~OpenFolder();
    OpenFolder(const OpenFolder&) = delete;
    OpenFolder& operator=(const OpenFolder&) = delete;

    // The descriptor of `folder`, opened when it is another folder than the
    // last one; -1 when it cannot be opened (its files are then opened by
    // their paths, which report why).
    int descriptorOf(std::string_view folder);
    // Closes the folder: for a process that has no descriptor left for a
    // file in it.
    void close();

private:
    std::string m_folder;
    int m_fd = -1;
};

}  // namespace tarnwick
